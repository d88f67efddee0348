#pragma once
// Shared by the VST tests: copies of the test plug-ins in scratch folders
// (each copy is its own library, so its probe starts clean), the probe of a
// loaded copy, a scan of a folder into a rig's registry, and a program run
// with its output caught.

#include <string>
#include <vector>

#include "plugins/vst/VSTScanner.h"
#include "tests/host/HostTestSupport.h"
#include "tests/vst/TestPluginProbe.h"

class CMachineRegistry;
class CHost;
class CVSTAdapterInfo;

namespace vst_test {

/// Copies the test plug-in built as name + ".so" to folder/fileName
/// (default: the same name); returns the new path.
std::string CopyTestPlugin(const std::string& name, const std::string& folder, const std::string& fileName = "");

/// The probe of the loaded library at path (it must be loaded already).
TestPluginProbe* ProbeOf(const std::string& path);

/// Scans folder into registry with a cache in cacheFolder.
VSTScanReport ScanInto(const std::string& folder, const std::string& cacheFile, CHost* host,
                       CMachineRegistry* registry, std::vector<std::string>* status = nullptr,
                       double timeoutSeconds = 10.0);

/// The first VST type of the registry with this display name, or null.
CVSTAdapterInfo* FindType(const CMachineRegistry& registry, const std::string& name);

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

/// Runs the program with arguments and extra "NAME=value" environment
/// entries on top of this process's.
ProgramResult RunProgram(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                         const host_test::ScratchFolder& scratch);

std::vector<std::string> Lines(const std::string& text);

} // namespace vst_test
