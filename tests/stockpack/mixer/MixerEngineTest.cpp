// The mixer in a real studio: a track sent to an effect whose output comes
// back on the aux return, rendered through the engine's two stages within
// each block.

#include <gtest/gtest.h>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "stockpack/mixer/Mixer.h"
#include "tests/host/TestMachines.h"

using namespace engine_test;

namespace {

constexpr int kBlock = 256;

} // namespace

TEST(MixerEngine, SendEffectAndReturnMixWithinOneBlock)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CConstantSource>("Source", true, 1.0, 1.0);
    auto* effect = engine.Add<CGain>("Effect", true, true, 0.5);
    auto* mixer = new CMixer(&engine.host);
    ASSERT_NE(engine.studio->AddMachine(mixer, &engine.testInfo, "Mixer", 0, 0), nullptr);

    // Flat unity strips: track 1 and return 1 at Level 0.8, all bands 1.0,
    // track 1 sent whole to AUX1 and not at all to AUX2.
    for (int strip : {0, CMixer::kTracks}) {
        mixer->SetParameter(CMixer::ParameterIndex(strip, CMixer::kLevel), 0.8);
        for (int band : {CMixer::kLow, CMixer::kMid, CMixer::kHigh})
            mixer->SetParameter(CMixer::ParameterIndex(strip, band), 1.0);
    }
    mixer->SetParameter(CMixer::ParameterIndex(0, CMixer::kAux1), 1.0);
    mixer->SetParameter(CMixer::ParameterIndex(0, CMixer::kAux2), 0.0);

    ASSERT_NE(engine.Connect(source, 0, mixer, CMixer::TrackInputPort(0)), nullptr);
    ASSERT_NE(engine.Connect(mixer, CMixer::SendPort(0), effect, 0), nullptr);
    ASSERT_NE(engine.Connect(effect, 1, mixer, CMixer::ReturnPort(0)), nullptr);
    ASSERT_NE(engine.ConnectToMaster(mixer, CMixer::kOutputPort), nullptr);

    engine.RenderQuietly(1);
    EXPECT_EQ(effect->workCount, 1);
    // The first block's send already came back in the same block.
    const double firstReturnPeak = mixer->Peak(CMixer::kTracks, 0);
    EXPECT_GT(firstReturnPeak, 0.0);

    // Past every glide: the track gives 0.5 a side (Balance 0.5), the
    // return half of the send's 1.0, again halved by its balance. Were the
    // return ports not cleared in Work, the return would grow every block.
    engine.RenderQuietly(40);
    const CAudioBuffer* out = mixer->ports[CMixer::kOutputPort]->audio;
    const CAudioBuffer* send = mixer->ports[CMixer::SendPort(0)]->audio;
    const CAudioBuffer* ret = mixer->ports[CMixer::ReturnPort(0)]->audio;
    for (int i = 0; i < kBlock; ++i) {
        ASSERT_NEAR(send->left[i], 1.0, 1e-9);
        ASSERT_NEAR(ret->right[i], 0.5, 1e-9);
        ASSERT_NEAR(out->left[i], 0.5 + 0.25, 1e-6);
        ASSERT_NEAR(out->right[i], 0.5 + 0.25, 1e-6);
    }
    // AUX2 carries only the unfed tracks' rounding residue of the
    // equalisers' anti-denormal offset.
    EXPECT_NEAR(mixer->ports[CMixer::SendPort(1)]->audio->left[kBlock - 1], 0.0, 1e-15);
}
