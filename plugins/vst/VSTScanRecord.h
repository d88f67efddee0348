#pragma once
// What the scan knows about one plug-in file: the file's identity (path,
// size, modification time) and either what examining it found or why it
// failed.

#include <cstdint>
#include <string>

#include "plugins/vst/VSTAdapterInfo.h"

struct VSTScanRecord {
    std::string path;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;   // modification time, ns since the epoch

    bool ok = false;
    std::string reason;            // why it failed, when not ok
    /// The failure was ours (the helper could not be started), not the
    /// file's: it is not remembered, and the next start tries again.
    bool retry = false;

    VSTEntryKind entry = VSTEntryKind::PluginMain;
    std::int32_t uniqueId = 0;
    std::int32_t inputs = 0;
    std::int32_t outputs = 0;
    std::int32_t parameters = 0;
    std::int32_t programs = 0;
    std::int32_t flags = 0;
    bool midi = false;             // answered "receiveVstMidiEvent"
    std::string effectName;
    std::string vendor;
};

/// Size and modification time of a file; false when it cannot be read.
bool ReadFileIdentity(const std::string& path, std::int64_t* size, std::int64_t* modifiedNs);
