// The engine changes no sample: graphs of chains, fan-ins and send/return
// loops built from the drum machines, the effects and the mixer render with
// a fixed seed, and every output sample goes into a checksum that must equal
// the figure stored here. The figures came from the engine that ran every
// upstream machine on its own worker; any scheduling change that reorders a
// sum, skips a glide step or runs a machine twice shows here.
//
// After a deliberate change of a machine's sound, regenerate the figures:
//   CORVANE_PRINT_RENDER_CHECKSUMS=1 build-test/tests/stockpack/engine_render_checksum_test
// and paste the printed lines over kExpected below.
//
// Only one machine of each graph draws from the program's random generator
// (VUziD8's noise), so the order in which parallel branches run cannot
// change the figures. The graphs play nine of the kit's sounds; the kit
// alone plays all eleven, cymbals included, while its knobs turn, so that
// a faster formula in any of its sounds must still give the same samples.

#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/Connection.h"
#include "framework/ControlEvent.h"
#include "stockpack/davarorodir/DavarorOdir.h"
#include "stockpack/drumkit/DrumKit.h"
#include "stockpack/drumkit/DrumKitParameters.h"
#include "stockpack/dovodorez/Echo.h"
#include "stockpack/zazud/Kick.h"
#include "stockpack/mixer/Mixer.h"
#include "stockpack/redoruviz/RedoRuvizFilter.h"
#include "tests/host/TestMachines.h"

using namespace engine_test;

namespace {

constexpr int kBlock = 256;
constexpr int kBlocks = 160;

struct Expected {
    const char* graph;
    std::uint64_t checksum;
};

constexpr Expected kExpected[] = {
    {"chains", 0x54067c63e056222eull},
    {"fan_in", 0x91ebcb88441876ddull},
    {"send_return", 0x18eecf73a95f9160ull},
    {"kit_every_sound", 0xb3a291e74cbfdd3eull},
};

/// FNV-1a over the bytes of every sample, frame by frame, left then right.
std::uint64_t Checksum(const std::vector<std::vector<double>>& channels)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    const std::size_t frames = channels.empty() ? 0 : channels[0].size();
    for (std::size_t s = 0; s < frames; ++s) {
        for (const auto& channel : channels) {
            unsigned char bytes[sizeof(double)];
            std::memcpy(bytes, &channel[s], sizeof bytes);
            for (unsigned char byte : bytes) {
                hash ^= byte;
                hash *= 0x100000001b3ull;
            }
        }
    }
    return hash;
}

bool Printing()
{
    const char* flag = std::getenv("CORVANE_PRINT_RENDER_CHECKSUMS");
    return flag != nullptr && flag[0] != '\0' && std::strcmp(flag, "0") != 0;
}

/// Renders the graph (warm-up blocks included, so the fade-in counts) and
/// compares or prints its checksum.
void Check(const char* graph, CEngineStudio& engine, const std::vector<CConnection*>& gliding)
{
    std::vector<std::vector<double>> all(2);
    for (int part = 0; part < 2; ++part) {
        const auto samples = engine.Render(kBlocks / 2);
        for (std::size_t c = 0; c < 2; ++c)
            all[c].insert(all[c].end(), samples[c].begin(), samples[c].end());
        // Halfway the cable sliders move, so every cable gain glides.
        for (CConnection* cable : gliding)
            cable->volume = cable->volume * 0.5 + 0.3;
    }
    double energy = 0.0;
    for (const auto& channel : all)
        for (double sample : channel)
            energy += sample * sample;
    EXPECT_GT(energy, 1e-3) << graph << " renders silence, which proves nothing";

    const std::uint64_t checksum = Checksum(all);
    if (Printing()) {
        std::printf("    {\"%s\", 0x%016" PRIx64 "ull},\n", graph, checksum);
        return;
    }
    for (const Expected& expected : kExpected) {
        if (std::string(expected.graph) == graph) {
            EXPECT_EQ(checksum, expected.checksum) << graph << ": the rendered samples differ from the stored figure";
            return;
        }
    }
    ADD_FAILURE() << "no stored figure for " << graph;
}

class RenderChecksum : public ::testing::Test {
protected:
    void SetUp() override { setenv("CORVANE_SEED", "7", 1); }

    /// Hits on a few sounds of VUziD8 (bass drum, snare, toms, clap,
    /// hi-hats) and notes for Zazud, at uneven times.
    static void Schedule(CControlSource* control, int firstSound)
    {
        for (int block = 1; block < kBlocks; block += 3) {
            const int sound = (firstSound + block) % 9;
            control->EmitInBlock(block, MakeControlEvent(kEventNoteOn, (block * 37) % kBlock, sound, 0.8, 0.0));
        }
    }

    CDrumKit* AddKit(CEngineStudio& engine, const char* name)
    {
        auto* kit = new CDrumKit(&engine.host);
        engine.studio->AddMachine(kit, &engine.testInfo, name, 0, 0);
        return kit;
    }
    template <class Machine>
    Machine* AddStock(CEngineStudio& engine, const char* name)
    {
        Machine* machine = nullptr;
        if constexpr (std::is_constructible_v<Machine, CHost*, CMachineInfo*>)
            machine = new Machine(&engine.host, nullptr);
        else
            machine = new Machine(&engine.host);
        engine.studio->AddMachine(machine, &engine.testInfo, name, 0, 0);
        return machine;
    }
    static CControlSource* AddZazudNotes(CEngineStudio& engine, const char* name, int note)
    {
        auto* control = engine.Add<CControlSource>(name);
        for (int block = 2; block < kBlocks; block += 5)
            control->EmitInBlock(block, MakeControlEvent(kEventNoteOn, (block * 53) % kBlock, note, 1.0,
                                                         440.0 * std::exp2((note - 69) / 12.0)));
        return control;
    }
};

} // namespace

// Two chains of effects into the master: drums through the filter, the echo
// and the reverb; a kick through a second filter.
TEST_F(RenderChecksum, Chains)
{
    CEngineStudio engine(kBlock);
    auto* control = engine.Add<CControlSource>("Control");
    Schedule(control, 0);
    CDrumKit* kit = AddKit(engine, "Drums");
    auto* filter = AddStock<CRedoRuvizFilter>(engine, "Filter");
    auto* echo = AddStock<CEcho>(engine, "Echo");
    auto* reverb = AddStock<CDavarorOdir>(engine, "Reverb");
    auto* kickNotes = AddZazudNotes(engine, "Kick Notes", 36);
    auto* kick = AddStock<CKick>(engine, "Kick");
    auto* kickFilter = AddStock<CRedoRuvizFilter>(engine, "Kick Filter");

    std::vector<CConnection*> gliding;
    ASSERT_NE(engine.Connect(control, 0, kit, CDrumKit::kControlInPort), nullptr);
    gliding.push_back(engine.Connect(kit, CDrumKit::kLineOutPort, filter, CRedoRuvizFilter::kLineInPort, 0.7));
    gliding.push_back(engine.Connect(filter, CRedoRuvizFilter::kLineOutPort, echo, CEcho::kLineInPort));
    gliding.push_back(engine.Connect(echo, CEcho::kLineOutPort, reverb, CDavarorOdir::kLineInPort, 0.9));
    gliding.push_back(engine.ConnectToMaster(reverb, CDavarorOdir::kLineOutPort));
    ASSERT_NE(engine.Connect(kickNotes, 0, kick, CKick::kControlInPort), nullptr);
    gliding.push_back(engine.Connect(kick, CKick::kLineOutPort, kickFilter, CRedoRuvizFilter::kLineInPort));
    gliding.push_back(engine.ConnectToMaster(kickFilter, CRedoRuvizFilter::kLineOutPort, 0, 0.6));
    for (CConnection* cable : gliding)
        ASSERT_NE(cable, nullptr);
    Check("chains", engine, gliding);
}

// Many sources meeting at one input, each also feeding a second consumer:
// drums and three kicks straight into the master and into mixer tracks.
TEST_F(RenderChecksum, FanIn)
{
    CEngineStudio engine(kBlock);
    auto* control = engine.Add<CControlSource>("Control");
    Schedule(control, 4);
    CDrumKit* kit = AddKit(engine, "Drums");
    auto* mixer = AddStock<CMixer>(engine, "Mixer");
    std::vector<CConnection*> gliding;
    ASSERT_NE(engine.Connect(control, 0, kit, CDrumKit::kControlInPort), nullptr);
    gliding.push_back(engine.ConnectToMaster(kit, CDrumKit::kLineOutPort, 0, 0.5));
    gliding.push_back(engine.Connect(kit, CDrumKit::kLineOutPort, mixer, CMixer::TrackInputPort(0)));
    const char* names[] = {"Kick 1", "Kick 2", "Kick 3"};
    const char* noteNames[] = {"Notes 1", "Notes 2", "Notes 3"};
    for (int i = 0; i < 3; ++i) {
        auto* notes = AddZazudNotes(engine, noteNames[i], 30 + 7 * i);
        auto* kick = AddStock<CKick>(engine, names[i]);
        ASSERT_NE(engine.Connect(notes, 0, kick, CKick::kControlInPort), nullptr);
        gliding.push_back(engine.ConnectToMaster(kick, CKick::kLineOutPort, 0, 0.3 + 0.1 * i));
        gliding.push_back(engine.Connect(kick, CKick::kLineOutPort, mixer, CMixer::TrackInputPort(1 + i), 0.8));
    }
    gliding.push_back(engine.ConnectToMaster(mixer, CMixer::kOutputPort, 0, 0.4));
    for (CConnection* cable : gliding)
        ASSERT_NE(cable, nullptr);
    Check("fan_in", engine, gliding);
}

// The mixer's two send/return loops (echo and reverb), its output through a
// filter, and a kick fed both to a track and straight to the echo.
TEST_F(RenderChecksum, SendReturn)
{
    CEngineStudio engine(kBlock);
    auto* control = engine.Add<CControlSource>("Control");
    Schedule(control, 2);
    CDrumKit* kit = AddKit(engine, "Drums");
    auto* kickNotes = AddZazudNotes(engine, "Kick Notes", 40);
    auto* kick = AddStock<CKick>(engine, "Kick");
    auto* mixer = AddStock<CMixer>(engine, "Mixer");
    auto* echo = AddStock<CEcho>(engine, "Echo");
    auto* reverb = AddStock<CDavarorOdir>(engine, "Reverb");
    auto* filter = AddStock<CRedoRuvizFilter>(engine, "Filter");
    for (int track = 0; track < 2; ++track) {
        mixer->SetParameter(CMixer::ParameterIndex(track, CMixer::kAux1), 0.7 - 0.3 * track);
        mixer->SetParameter(CMixer::ParameterIndex(track, CMixer::kAux2), 0.4 + 0.3 * track);
    }

    std::vector<CConnection*> gliding;
    ASSERT_NE(engine.Connect(control, 0, kit, CDrumKit::kControlInPort), nullptr);
    ASSERT_NE(engine.Connect(kickNotes, 0, kick, CKick::kControlInPort), nullptr);
    gliding.push_back(engine.Connect(kit, CDrumKit::kLineOutPort, mixer, CMixer::TrackInputPort(0)));
    gliding.push_back(engine.Connect(kick, CKick::kLineOutPort, mixer, CMixer::TrackInputPort(1), 0.9));
    gliding.push_back(engine.Connect(mixer, CMixer::SendPort(0), echo, CEcho::kLineInPort));
    gliding.push_back(engine.Connect(kick, CKick::kLineOutPort, echo, CEcho::kLineInPort, 0.2));
    gliding.push_back(engine.Connect(echo, CEcho::kLineOutPort, mixer, CMixer::ReturnPort(0), 0.8));
    gliding.push_back(engine.Connect(mixer, CMixer::SendPort(1), reverb, CDavarorOdir::kLineInPort));
    gliding.push_back(engine.Connect(reverb, CDavarorOdir::kLineOutPort, mixer, CMixer::ReturnPort(1)));
    gliding.push_back(engine.Connect(mixer, CMixer::kOutputPort, filter, CRedoRuvizFilter::kLineInPort));
    gliding.push_back(engine.ConnectToMaster(filter, CRedoRuvizFilter::kLineOutPort, 0, 0.7));
    for (CConnection* cable : gliding)
        ASSERT_NE(cable, nullptr);
    Check("send_return", engine, gliding);
}

// The kit alone: every sound struck in turn, overlapping, while the tune and
// decay knobs of the sounds move and the levels glide.
TEST_F(RenderChecksum, KitEverySound)
{
    CEngineStudio engine(kBlock);
    auto* control = engine.Add<CControlSource>("Control");
    for (int block = 1; block < kBlocks; block += 2) {
        const int sound = (block / 2) % drumkit::kSoundCount;
        control->EmitInBlock(block, MakeControlEvent(kEventTriggerOn, (block * 37) % kBlock, sound, 1.0));
        if (block % 7 == 0) {
            const int knob = (block / 7) % drumkit::kParameterCount;
            control->EmitInBlock(block, MakeControlEvent(kEventParameter, (block * 53) % kBlock, knob,
                                                         0.1 * ((block * 13) % 11)));
        }
    }
    CDrumKit* kit = AddKit(engine, "Drums");
    std::vector<CConnection*> gliding;
    ASSERT_NE(engine.Connect(control, 0, kit, CDrumKit::kControlInPort), nullptr);
    gliding.push_back(engine.ConnectToMaster(kit, CDrumKit::kLineOutPort, 0, 0.5));
    ASSERT_NE(gliding.back(), nullptr);
    Check("kit_every_sound", engine, gliding);
}
