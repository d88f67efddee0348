// corvane-vstscan: examines one VST 2 plug-in file for the studio's scan, in
// a process of its own so that a plug-in that crashes or hangs while loading
// takes only this process down. It loads the file, creates and opens one
// instance as the studio would, and writes one JSON line with what the
// machine registry needs to its standard output.
//
// Exit codes: 0 examined; 2 the library could not be loaded; 3 no entry
// point; 4 the entry point gave no instance. Anything else (a signal, a
// time limit) is the parent's to interpret.
//
// Built without the sanitizers even in the sanitizer build: the plug-ins it
// loads are not instrumented, and their own leaks and allocator habits are
// not ours to report.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <nlohmann/json.hpp>
#include <string>
#include <unistd.h>

#include "plugins/vst/VstAbi.h"

namespace {

constexpr int kExitNotLoadable = 2;
constexpr int kExitNoEntry = 3;
constexpr int kExitNoInstance = 4;
constexpr int kSampleRate = 44100;
constexpr int kBlockLength = 512;

int resultFd = 1;
vst::VstTimeInfo timeInfo{};

constexpr const char* kCapabilities[] = {"sendVstEvents",       "sendVstMidiEvent", "sendVstTimeInfo",
                                         "receiveVstEvents",    "receiveVstMidiEvent", "receiveVstTimeInfo",
                                         "supplyIdle"};

std::intptr_t Callback(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float)
{
    switch (opcode) {
    case vst::audioMasterVersion:
        return 2400;
    case vst::audioMasterGetSampleRate:
        return kSampleRate;
    case vst::audioMasterGetBlockSize:
        return kBlockLength;
    case vst::audioMasterGetVendorString:
        if (ptr != nullptr)
            std::strcpy(static_cast<char*>(ptr), "Mossgrove");
        return 1;
    case vst::audioMasterCanDo:
        for (const char* known : kCapabilities) {
            if (ptr != nullptr && std::strcmp(static_cast<const char*>(ptr), known) == 0)
                return 1;
        }
        return 0;
    case vst::audioMasterGetTime:
        timeInfo = vst::VstTimeInfo{};
        timeInfo.sampleRate = kSampleRate;
        return reinterpret_cast<std::intptr_t>(&timeInfo);
    default:
        return 0;
    }
}

[[noreturn]] void Finish(const nlohmann::json& result, int code)
{
    const std::string line = result.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = write(resultFd, line.data() + written, line.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    // Plug-ins' static destructors have crashed hosts at exit; the answer
    // is out, so nothing else runs.
    _exit(code);
}

std::string Text(vst::AEffect* effect, std::int32_t opcode)
{
    char text[vst::kHostTextRoom] = {};
    effect->dispatcher(effect, opcode, 0, 0, text, 0.0f);
    text[sizeof text - 1] = '\0';
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvane-vstscan PLUGIN.so\n");
        return 64;
    }
    // Plug-ins print to standard output; the answer goes to the original
    // output, and everything else to standard error.
    resultFd = dup(1);
    dup2(2, 1);

    nlohmann::json result;
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = dlerror();
        result["error"] = std::string("cannot be loaded: ") + (error != nullptr ? error : "unknown error");
        Finish(result, kExitNotLoadable);
    }
    std::string entryName = "VSTPluginMain";
    void* symbol = dlsym(library, "VSTPluginMain");
    if (symbol == nullptr) {
        entryName = "main";
        symbol = dlsym(library, "main");
    }
    if (symbol == nullptr) {
        result["error"] = "no entry point (VSTPluginMain or main)";
        Finish(result, kExitNoEntry);
    }
    auto entry = reinterpret_cast<vst::EntryFunction>(symbol);
    vst::AEffect* effect = entry(&Callback);
    if (effect == nullptr || effect->magic != vst::kEffectMagic || effect->dispatcher == nullptr) {
        result["error"] = "the entry point gave no plug-in instance";
        Finish(result, kExitNoInstance);
    }

    // The same creation as the studio's, so that a plug-in that fails there
    // fails here first.
    effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
    effect->dispatcher(effect, vst::effSetBlockSize, 0, kBlockLength, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effSetPanLaw, 0, 0, nullptr, 0.70710677f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effStartProcess, 0, 0, nullptr, 0.0f);
    char receive[] = "receiveVstMidiEvent";
    const bool midi = effect->dispatcher(effect, vst::effCanDo, 0, 0, receive, 0.0f) != 0;

    result["entry"] = entryName;
    result["uniqueId"] = effect->uniqueID;
    result["inputs"] = effect->numInputs;
    result["outputs"] = effect->numOutputs;
    result["parameters"] = effect->numParams;
    result["programs"] = effect->numPrograms;
    result["flags"] = effect->flags;
    result["midi"] = midi;
    result["effectName"] = Text(effect, vst::effGetEffectName);
    result["vendor"] = Text(effect, vst::effGetVendorString);

    effect->dispatcher(effect, vst::effStopProcess, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    Finish(result, 0);
}
