// libFuzzer target for one machine type's LoadState, the reader of the
// state block a project file carries for each machine. The type is chosen
// at build time (CORVANE_FUZZ_MACHINE, a type identifier), so that each
// type is a target of its own with its own figures. Any bytes, in the
// host's format or the machine's own, must load without a crash or a read
// past them; the machine must then render finite audio from what it read,
// and a state saved from it must load back into the same state.
//
// Seeds, written into an empty CORVANE_FUZZ_SEEDS folder: the states the
// demo's machines of this type save, states the type saves fresh and after
// its parameters are set to their ends and middles, and the inputs that
// once failed it (regressions/<target name>-*).
//
// The first input byte says which format the rest is in (even: the host's
// parameter block, odd: the machine's own bytes), as a project stores a
// flag beside each state.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/ControlEvent.h"
#include "framework/Error.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/PlugInit.h"
#include "framework/StateBlock.h"
#include "framework/Port.h"
#include "project/ProjectCommands.h"
#include "project/ProjectReader.h"
#include "tests/sequencing/SequencingRig.h"

#ifdef CORVANE_FUZZ_VST_PLUGIN
#include "plugins/vst/VSTAdapterInfo.h"
#endif

#ifndef CORVANE_FUZZ_MACHINE
#error "CORVANE_FUZZ_MACHINE names the machine type to fuzz"
#endif

extern "C" void CorvPlugInit(ModuleHandle module, CHost* host);

namespace {

constexpr int kBlock = 64;

std::unique_ptr<sequencing_test::CSequencingRig> rig;
CMachineInfo* descriptor = nullptr;
// The machine each input is loaded into, and the one its saved state is
// loaded back into. Machines that keep the host's parameter block serve
// every input, as making one per input would cost far more than reading
// its state (delay lines of a second, sixteen voices); a later block sets
// every value the earlier one did. Machines with bytes of their own are
// made fresh for each input, as a project makes them: the control change
// mapper adds a loaded block's pairs to those it has.
CMachine* subject = nullptr;
CMachine* reloaded = nullptr;
bool freshPerInput = false;

struct SavedState {
    std::vector<std::uint8_t> bytes;
    bool hostFormat = true;
};

SavedState Save(CMachine& machine)
{
    void* data = nullptr;
    int length = 0;
    bool hostFormat = true;
    machine.SaveState(&data, &length, &hostFormat);
    SavedState saved;
    saved.hostFormat = hostFormat;
    if (data != nullptr && length > 0)
        saved.bytes.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + length);
    std::free(data);
    return saved;
}

void WriteSeed(const std::string& path, const SavedState& state)
{
    std::ofstream file(path, std::ios::binary);
    const char flag = state.hostFormat ? 0 : 1;
    file.write(&flag, 1);
    file.write(reinterpret_cast<const char*>(state.bytes.data()), static_cast<std::streamsize>(state.bytes.size()));
}

void WriteSeeds(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(folder, error) || !fs::is_empty(folder, error))
        return;
    int written = 0;
    // Inputs that once failed this type, kept as regression seeds.
    for (const auto& entry : fs::directory_iterator(CORVANE_FUZZ_REGRESSIONS, error)) {
        if (entry.path().filename().string().rfind(CORVANE_FUZZ_NAME "-", 0) == 0)
            fs::copy_file(entry.path(), folder + "/" + entry.path().filename().string(), error);
    }
    // The demo's machines of this type, as the reader leaves them.
    std::ifstream demo(CORVANE_DEMO_PROJECT, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(demo)), std::istreambuf_iterator<char>());
    try {
        ReadProjectData(*rig->project, bytes.data(), bytes.size(), "demo.cvx");
        for (CMachineContainer* container : rig->studio->Containers()) {
            if (container->identifier == CORVANE_FUZZ_MACHINE)
                WriteSeed(folder + "/demo" + std::to_string(written++), Save(*container->machine));
        }
    } catch (const CError& failure) {
        std::fprintf(stderr, "demo not read: %s\n", failure.what());
    }
    ClearProject(*rig->project);

    // Fresh, and with every parameter at 0, 1 and the middle.
    CMachine* machine = subject;
    WriteSeed(folder + "/fresh", Save(*machine));
    for (const double value : {0.0, 1.0, 0.5}) {
        for (int i = 0; i < machine->parameterCount; ++i)
            machine->SetParameter(i, value);
        WriteSeed(folder + "/all-" + std::to_string(value), Save(*machine));
    }
    // Its parameters in the host's two block forms, for machines (plug-ins)
    // that save bytes of their own but read the host's blocks too.
    std::vector<double> values;
    for (int i = 0; i < machine->parameterCount; ++i)
        values.push_back(machine->GetParameter(i));
    int length = 0;
    void* doubles = EncodeStateBlock(values.data(), static_cast<int>(values.size()), &length);
    SavedState block;
    block.bytes.assign(static_cast<std::uint8_t*>(doubles), static_cast<std::uint8_t*>(doubles) + length);
    std::free(doubles);
    // Machines that save the host's block wrote this one already.
    if (!Save(*machine).hostFormat)
        WriteSeed(folder + "/parameters-46HP", block);
    block.bytes = {'h', 'P', 'v', 'C'};
    const auto count = static_cast<std::uint32_t>(values.size());
    block.bytes.insert(block.bytes.end(), {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
                                           static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24)});
    for (const double value : values) {
        const float single = static_cast<float>(value);
        std::uint8_t bytes[4];
        std::memcpy(bytes, &single, 4);
        block.bytes.insert(block.bytes.end(), bytes, bytes + 4);
    }
    WriteSeed(folder + "/parameters-hPvC", block);
}

/// Audio into every audio input, a note and a controller change on every
/// control input, one block of Work, and every audio output must hold
/// numbers.
void Render(CMachine& machine)
{
    for (int p = 0; p < machine.portCount; ++p) {
        CPort* port = machine.ports[p];
        if (port->Is(kPortInput | kPortControl) && port->control != nullptr) {
            port->control->Clear();
            const ControlEvent on = MakeControlEvent(kEventNoteOn, 0, 60, 1.0, 261.63);
            const ControlEvent off = MakeControlEvent(kEventNoteOff, kBlock / 2, 60, 0.0);
            // A controller change, for machines that map or pass them.
            const ControlEvent change = MakeControlEvent(kEventParameter, 1, 7, 0.5);
            port->control->Insert(&on);
            port->control->Insert(&change);
            port->control->Insert(&off);
        }
        if (port->Is(kPortInput | kPortAudio) && port->audio != nullptr) {
            for (int i = 0; i < kBlock; ++i) {
                port->audio->left[i] = std::sin(i * 0.1) * 0.5;
                if (port->audio->right != nullptr)
                    port->audio->right[i] = std::cos(i * 0.1) * 0.5;
            }
        }
        if (port->Is(kPortOutput | kPortControl) && port->control != nullptr)
            port->control->Clear();
    }
    machine.Work();
    for (int p = 0; p < machine.portCount; ++p) {
        CPort* port = machine.ports[p];
        if (!port->Is(kPortOutput | kPortAudio) || port->audio == nullptr)
            continue;
        for (int i = 0; i < kBlock; ++i) {
            if (!std::isfinite(port->audio->left[i]) ||
                (port->audio->right != nullptr && !std::isfinite(port->audio->right[i]))) {
                std::fprintf(stderr, "port '%s' sample %d is not a number after the state was loaded\n", port->name, i);
                std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    rig = std::make_unique<sequencing_test::CSequencingRig>(kBlock, 44100, true);
    // The stock types, registered through the library's own entry point.
    CorvPlugInit(nullptr, rig->host.get());
#ifdef CORVANE_FUZZ_VST_PLUGIN
    const std::string path = CORVANE_FUZZ_VST_PLUGIN;
    const std::string fileName = path.substr(path.rfind('/') + 1);
    descriptor = new CVSTAdapterInfo(rig->host.get(), fileName, path.substr(0, path.rfind('/') + 1), path,
                                     VSTEntryKind::PluginMain, CORVANE_FUZZ_VST_ID);
    rig->registry->Register(descriptor);
#else
    descriptor = rig->registry->FindByIdentifier(CORVANE_FUZZ_MACHINE);
    if (descriptor == nullptr) {
        std::fprintf(stderr, "no machine type %s\n", CORVANE_FUZZ_MACHINE);
        std::abort();
    }
#endif
    subject = descriptor->CreateMachine();
#ifdef CORVANE_FUZZ_VST_PLUGIN
    // A plug-in's instances share its library's globals: one adapter is
    // both.
    reloaded = subject;
#else
    reloaded = descriptor->CreateMachine();
#endif
    if (subject == nullptr || reloaded == nullptr) {
        std::fprintf(stderr, "cannot make a %s\n", CORVANE_FUZZ_MACHINE);
        std::abort();
    }
    // Before the leak check at exit: the machines, then the rig and the
    // registry that owns their descriptor.
    std::atexit([] {
        if (reloaded != subject)
            ReleaseMachine(reloaded);
        ReleaseMachine(subject);
        rig.reset();
    });
    if (const char* seeds = std::getenv("CORVANE_FUZZ_SEEDS"))
        WriteSeeds(seeds);
#ifndef CORVANE_FUZZ_VST_PLUGIN
    freshPerInput = !Save(*subject).hostFormat;
#endif
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 1 << 20)
        return 0;
    const bool hostFormat = (data[0] & 1) == 0;
    // The state in a buffer of its own size, so a read past it is caught.
    const std::vector<std::uint8_t> state(data + 1, data + size);
    if (freshPerInput) {
        ReleaseMachine(subject);
        ReleaseMachine(reloaded);
        subject = descriptor->CreateMachine();
        reloaded = descriptor->CreateMachine();
    }
    subject->LoadState(state.empty() ? nullptr : state.data(), static_cast<int>(state.size()), hostFormat);
    Render(*subject);

    // What it holds now saves, and loads back to the same.
    const SavedState first = Save(*subject);
    reloaded->LoadState(first.bytes.empty() ? nullptr : first.bytes.data(), static_cast<int>(first.bytes.size()),
                        first.hostFormat);
    const SavedState second = Save(*reloaded);
    // Its Work takes the changes the load queued, as the engine's next
    // block would; unplayed they would pile up input after input.
    Render(*reloaded);
    if (first.hostFormat != second.hostFormat || first.bytes != second.bytes) {
        std::fprintf(stderr, "a saved state (%zu bytes) loads back as a different one (%zu bytes)\n",
                     first.bytes.size(), second.bytes.size());
        std::abort();
    }
    return 0;
}
