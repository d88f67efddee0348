#pragma once
// The host callback every plug-in instance receives. It finds the adapter
// through the instance's first reserved field; before that is set (inside
// the entry function) it answers the few questions plug-ins ask there from
// the host of the adapter being constructed.

#include <cstdint>

#include "plugins/vst/VstAbi.h"

class CHost;

std::intptr_t VSTHostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                              void* ptr, float opt);

/// The host whose questions are answered while no adapter is bound, for
/// the lifetime of the scope (the entry call of a new instance).
class VSTEntryScope {
public:
    explicit VSTEntryScope(CHost* host);
    ~VSTEntryScope();
    VSTEntryScope(const VSTEntryScope&) = delete;
    VSTEntryScope& operator=(const VSTEntryScope&) = delete;

private:
    CHost* previous;
};

/// Answers of the callback that need no adapter; also used by the scanner's
/// helper, which has no host: 2400 for the version, "Mossgrove" for the
/// vendor, the capabilities this host has.
namespace vst_host {
constexpr std::intptr_t kVersion = 2400;
constexpr const char* kVendor = "Mossgrove";
/// 1 for the capabilities this host answers yes to, else 0.
std::intptr_t CanDo(const char* capability);
} // namespace vst_host
