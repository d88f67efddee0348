// Rendering through the studio graph: what reaches the driver's buffers, and
// what each machine's input holds after the cables are mixed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "framework/Connection.h"
#include "tests/host/TestMachines.h"

using namespace engine_test;

namespace {

constexpr int kBlock = 256;

// The master's glide reaches its target 1.0 from 0.0 after 5994 steps and
// applies each step after the sample, so sample 5994 is the first at full
// gain.
constexpr int kFadeInSamples = 5994;

int FirstIndexOf(const std::vector<double>& samples, double value)
{
    const auto found = std::find(samples.begin(), samples.end(), value);
    return found == samples.end() ? -1 : static_cast<int>(found - samples.begin());
}

bool NonDecreasing(const std::vector<double>& samples)
{
    return std::is_sorted(samples.begin(), samples.end());
}

} // namespace

TEST(StudioRender, WithoutMasterEveryOutputSampleIsZero)
{
    CEngineStudio engine(kBlock, 2, /*withMaster=*/false);
    auto* source = engine.Add<CConstantSource>("Loud", true, 1.0, -1.0);
    // Leave something in the driver's buffers that silence must overwrite.
    for (int c = 0; c < 2; ++c)
        std::fill(engine.driver->Buffers()[c], engine.driver->Buffers()[c] + kBlock, 0.5);

    const auto out = engine.Render(3);
    for (const auto& channel : out) {
        ASSERT_EQ(channel.size(), 3u * kBlock);
        EXPECT_TRUE(std::all_of(channel.begin(), channel.end(), [](double v) { return v == 0.0; }));
    }
    // Nothing reaches the missing master, so the source ran as an unreached
    // machine.
    EXPECT_EQ(source->workCount, 3);
}

TEST(StudioRender, CallbackWithoutStudioWritesSilence)
{
    double left[8], right[8];
    std::fill(std::begin(left), std::end(left), 1.0);
    std::fill(std::begin(right), std::end(right), 1.0);
    double* buffers[2] = {left, right};
    CStudio::AudioCallback(nullptr, 2, buffers, 8);
    EXPECT_TRUE(std::all_of(std::begin(left), std::end(left), [](double v) { return v == 0.0; }));
    EXPECT_TRUE(std::all_of(std::begin(right), std::end(right), [](double v) { return v == 0.0; }));
}

TEST(StudioRender, FadeInReachesUnityExactlyAtSample5994)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CConstantSource>("One", true, 1.0, 1.0);
    ASSERT_NE(engine.ConnectToMaster(source, 0), nullptr);
    EXPECT_EQ(engine.studio->GetMasterGain(), 0.0);

    const auto out = engine.Render(25);   // 6400 samples
    for (const auto& channel : out) {
        EXPECT_EQ(channel[0], 0.0);
        // The second sample carries one step with the single-precision 0.1
        // widened to double.
        EXPECT_EQ(channel[1], (1.0 + static_cast<double>(0.1f)) * 0.0004);
        EXPECT_TRUE(NonDecreasing(channel));
        EXPECT_EQ(FirstIndexOf(channel, 1.0), kFadeInSamples);
        EXPECT_LT(channel[kFadeInSamples - 1], 1.0);
        EXPECT_TRUE(std::all_of(channel.begin() + kFadeInSamples, channel.end(), [](double v) { return v == 1.0; }));
    }
    EXPECT_EQ(engine.studio->GetMasterGain(), 1.0);
}

TEST(StudioRender, MasterGainGlidesToANewTargetWithoutOvershoot)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CConstantSource>("One", false, 1.0);
    ASSERT_NE(engine.ConnectToMaster(source, 0), nullptr);
    engine.RenderQuietly(24);
    ASSERT_EQ(engine.studio->GetMasterGain(), 1.0);

    engine.studio->SetMasterVolume(0.25);
    const auto down = engine.Render(24);
    const std::vector<double>& left = down[0];
    // The first sample of the block still has the old gain; the step
    // follows it.
    EXPECT_EQ(left[0], 1.0);
    EXPECT_EQ(left[1], 1.0 - (0.75 + static_cast<double>(0.1f)) * 0.0004);
    EXPECT_TRUE(std::is_sorted(left.rbegin(), left.rend()));
    EXPECT_EQ(*std::min_element(left.begin(), left.end()), 0.25);
    EXPECT_EQ(left.back(), 0.25);
    EXPECT_EQ(engine.studio->GetMasterGain(), 0.25);
    // A mono source reaches both sides of the stereo master.
    EXPECT_EQ(down[0], down[1]);
}

TEST(StudioRender, CableGainStepsBeforeEachSampleAndSettles)
{
    CEngineStudio engine(kBlock);
    auto* source = engine.Add<CConstantSource>("One", false, 1.0);
    auto* probe = engine.Add<CProbe>("Probe", false);
    probe->Capture(30 * kBlock);
    CConnection* cable = engine.Connect(source, 0, probe, 0, 0.0);
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(cable->gain, 0.0);

    cable->volume = 1.0;   // as the cable slider writes it
    engine.RenderQuietly(25);
    const std::vector<double>& up = probe->capturedLeft;
    ASSERT_EQ(up.size(), 25u * kBlock);
    // Stepped before use, with 0.1 in double precision.
    EXPECT_EQ(up[0], (1.0 + 0.1) * 0.0004);
    EXPECT_TRUE(NonDecreasing(up));
    // Also 5994 steps, but the first one already shapes sample 0, so the
    // cable lands one sample earlier than the master's fade-in. The gain is
    // carried from block to block in the cable.
    EXPECT_EQ(FirstIndexOf(up, 1.0), kFadeInSamples - 1);
    EXPECT_EQ(cable->gain, 1.0);

    probe->capturedLeft.clear();
    cable->volume = 0.0;
    engine.RenderQuietly(25);
    const std::vector<double>& down = probe->capturedLeft;
    EXPECT_EQ(down[0], 1.0 - (1.0 + 0.1) * 0.0004);
    EXPECT_TRUE(std::is_sorted(down.rbegin(), down.rend()));
    EXPECT_GE(*std::min_element(down.begin(), down.end()), 0.0);
    EXPECT_EQ(FirstIndexOf(down, 0.0), kFadeInSamples - 1);
}

TEST(StudioRender, StereoIntoMonoAveragesAndMonoIntoStereoFeedsBothSides)
{
    CEngineStudio engine(kBlock);
    auto* stereo = engine.Add<CConstantSource>("Stereo", true, 0.75, 0.25);
    auto* mono = engine.Add<CConstantSource>("Mono", false, 0.375);
    auto* toMono = engine.Add<CProbe>("Mono In", false);
    auto* toStereo = engine.Add<CProbe>("Stereo In", true);
    auto* stereoToStereo = engine.Add<CProbe>("Stereo Pair", true);
    auto* monoToMono = engine.Add<CProbe>("Mono Pair", false);
    ASSERT_NE(engine.Connect(stereo, 0, toMono, 0), nullptr);
    ASSERT_NE(engine.Connect(mono, 0, toStereo, 0), nullptr);
    ASSERT_NE(engine.Connect(stereo, 0, stereoToStereo, 0), nullptr);
    ASSERT_NE(engine.Connect(mono, 0, monoToMono, 0, 0.5), nullptr);

    // Several blocks: inputs are zeroed before mixing, never accumulated.
    engine.RenderQuietly(3);
    for (int s = 0; s < kBlock; ++s) {
        ASSERT_EQ(toMono->Audio(0).left[s], 0.5) << s;
        ASSERT_EQ(toStereo->Audio(0).left[s], 0.375) << s;
        ASSERT_EQ(toStereo->Audio(0).right[s], 0.375) << s;
        ASSERT_EQ(stereoToStereo->Audio(0).left[s], 0.75) << s;
        ASSERT_EQ(stereoToStereo->Audio(0).right[s], 0.25) << s;
        ASSERT_EQ(monoToMono->Audio(0).left[s], 0.1875) << s;
    }
}

TEST(StudioRender, CablesIntoOneInputAreSummed)
{
    CEngineStudio engine(kBlock);
    auto* a = engine.Add<CConstantSource>("A", false, 0.25);
    auto* b = engine.Add<CConstantSource>("B", true, 0.5, -0.5);
    auto* probe = engine.Add<CProbe>("Sum", true);
    ASSERT_NE(engine.Connect(a, 0, probe, 0, 1.0), nullptr);
    ASSERT_NE(engine.Connect(b, 0, probe, 0, 0.5), nullptr);
    engine.RenderQuietly(2);
    EXPECT_EQ(probe->Audio(0).left[0], 0.25 + 0.25);
    EXPECT_EQ(probe->Audio(0).right[0], 0.25 - 0.25);
    EXPECT_EQ(probe->Audio(0).left[kBlock - 1], 0.5);
}

TEST(StudioRender, MixingStopsAtTheShorterBuffer)
{
    CEngineStudio engine(kBlock);
    auto* shortSource = engine.Add<CConstantSource>("Short", false, 1.0);
    auto* longSource = engine.Add<CConstantSource>("Long", true, 1.0, 1.0);
    auto* longProbe = engine.Add<CProbe>("Long In", false);
    auto* shortProbe = engine.Add<CProbe>("Short In", true);
    ASSERT_NE(engine.Connect(shortSource, 0, longProbe, 0), nullptr);
    ASSERT_NE(engine.Connect(longSource, 0, shortProbe, 0), nullptr);
    // Mid-way through a block-size change some buffers already have the new
    // length.
    engine.studio->Lock().Lock();
    shortSource->ResizePortBuffers(100);
    shortProbe->ResizePortBuffers(100);
    engine.studio->Lock().Unlock();

    engine.RenderQuietly(2);
    const CAudioBuffer& longIn = longProbe->Audio(0);
    ASSERT_EQ(longIn.length, kBlock);
    for (int s = 0; s < kBlock; ++s)
        ASSERT_EQ(longIn.left[s], s < 100 ? 1.0 : 0.0) << s;
    const CAudioBuffer& shortIn = shortProbe->Audio(0);
    ASSERT_EQ(shortIn.length, 100);
    for (int s = 0; s < 100; ++s) {
        ASSERT_EQ(shortIn.left[s], 1.0);
        ASSERT_EQ(shortIn.right[s], 1.0);
    }
}

TEST(StudioRender, ChainPassesTheSignalThroughEachMachine)
{
    CEngineStudio engine(kBlock);
    auto* sine = engine.Add<CSineSource>("Sine", true, 441.0, 0.5);
    auto* first = engine.Add<CGain>("Half", true, true, 0.5);
    auto* second = engine.Add<CGain>("Quadruple", false, false, 4.0);
    ASSERT_NE(engine.Connect(sine, 0, first, 0), nullptr);
    ASSERT_NE(engine.Connect(first, 1, second, 0), nullptr);
    ASSERT_NE(engine.ConnectToMaster(second, 1), nullptr);
    engine.RenderQuietly(24);   // past the fade-in

    const auto out = engine.Render(4);
    // Left is a sine, right a cosine of amplitude 0.5; halved, averaged into
    // the mono input (amplitude 0.25 x sqrt(2) / 2) and multiplied by 4 that
    // is 0.5 x sqrt(2). 441 Hz gives exactly 100 samples per period; the
    // sampled maximum misses the crest by half a sample at most (3.5e-4).
    const double expectedPeak = 0.5 * std::sqrt(2.0);
    const double peak = std::fabs(*std::max_element(out[0].begin(), out[0].end(),
                                                    [](double a, double b) { return std::fabs(a) < std::fabs(b); }));
    EXPECT_NEAR(peak, expectedPeak, 1e-3);
    for (std::size_t s = 0; s + 100 < out[0].size(); ++s)
        ASSERT_NEAR(out[0][s], out[0][s + 100], 1e-9) << s;
    EXPECT_EQ(out[0], out[1]);
}

TEST(StudioRender, SampleCounterAdvancesByTheBlockLength)
{
    CEngineStudio engine(kBlock);
    const int before = engine.host.GetSampleCounter();
    engine.RenderQuietly(5);
    EXPECT_EQ(engine.host.GetSampleCounter() - before, 5 * kBlock);
}

TEST(StudioRender, MasterChannelsFollowTheDriver)
{
    // One channel: a mono "Line In" whose left samples are the output.
    {
        CEngineStudio engine(kBlock, 1);
        auto* source = engine.Add<CConstantSource>("Stereo", true, 0.75, 0.25);
        ASSERT_NE(engine.ConnectToMaster(source, 0), nullptr);
        engine.RenderQuietly(24);
        const auto out = engine.Render(1);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_TRUE(std::all_of(out[0].begin(), out[0].end(), [](double v) { return v == 0.5; }));
    }
    // Four channels: port k is channel k.
    {
        CEngineStudio engine(kBlock, 4);
        const double levels[4] = {0.125, -0.25, 0.5, -1.0};
        for (int c = 0; c < 4; ++c) {
            auto* source = engine.Add<CConstantSource>("Channel Source", false, levels[c]);
            ASSERT_NE(engine.ConnectToMaster(source, 0, c), nullptr);
        }
        engine.RenderQuietly(24);
        const auto out = engine.Render(1);
        ASSERT_EQ(out.size(), 4u);
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(std::all_of(out[c].begin(), out[c].end(), [&](double v) { return v == levels[c]; })) << c;
    }
}
