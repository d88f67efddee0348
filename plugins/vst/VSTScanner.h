#pragma once
// The start-up scan of the VST folders: every "*.so" file of a folder, in
// name order (file systems list folders in different orders; names give
// every machine the same registry), then its subfolders in name order,
// depth first. Each file not already known to the per-user cache is
// examined in a child process; each file that examined well becomes a
// CVSTAdapterInfo in the registry. The scan itself loads no plug-in.

#include <functional>
#include <string>
#include <vector>

#include "plugins/vst/VSTExaminer.h"
#include "plugins/vst/VSTScanRecord.h"

class CHost;
class CMachineRegistry;

struct VSTScanSettings {
    std::vector<std::string> folders;
    /// The cache file; "" for CVSTScanCache::DefaultPath().
    std::string cachePath;
    VSTExamineOptions examine;
    /// Examine every file again, whatever the cache holds.
    bool rescan = false;
    /// Examinations run at the same time.
    int parallel = 2;
    /// Gets "Loading VST PlugIn %s..." per file, in scan order.
    std::function<void(const std::string&)> status;
};

struct VSTScanReport {
    std::vector<VSTScanRecord> files;   // in scan order
    int registered = 0;
    int failed = 0;
    int examined = 0;                   // by a child process this time
    double seconds = 0.0;
};

/// The plug-in files of folder and its subfolders, in scan order.
std::vector<std::string> ListVstFiles(const std::string& folder);

/// Scans, registers through registry (attributed to each file's path) and
/// writes the cache back when it changed. host is what the types' machines
/// are created with.
VSTScanReport ScanVstFolders(const VSTScanSettings& settings, CHost* host, CMachineRegistry* registry);
