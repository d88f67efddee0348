// What the stock machines share at their edges: the host's rate and block
// size with the library's own values where the host has none yet, what an
// effect renders when a port lacks its samples, and the bounds of their
// parameter arrays.

#include <gtest/gtest.h>

#include "framework/AudioBuffer.h"
#include "stockpack/dovodorez/Echo.h"
#include "stockpack/common/MachinePorts.h"
#include "stockpack/common/ParameterValues.h"
#include "tests/stockpack/StockTestSupport.h"

using stock_test::CStockTestHost;

TEST(MachinePorts, HostSettingsFallBackToTheLibrarysOwn)
{
    EXPECT_EQ(HostSampleRate(nullptr), 44100);
    EXPECT_EQ(HostBlockSize(nullptr), 256);

    CStockTestHost host;
    host.sampleRate = 48000;
    host.blockSize = 64;
    EXPECT_EQ(HostSampleRate(&host), 48000);
    EXPECT_EQ(HostBlockSize(&host), 64);

    // A host that does not know them yet, or reports nonsense.
    for (int unknown : {0, -1}) {
        host.sampleRate = unknown;
        host.blockSize = unknown;
        EXPECT_EQ(HostSampleRate(&host), 44100) << unknown;
        EXPECT_EQ(HostBlockSize(&host), 256) << unknown;
    }
}

TEST(MachinePorts, MachineUnderAHostWithoutARateRunsAt44100)
{
    CStockTestHost host;
    host.sampleRate = 0;
    CEcho echo(&host);
    // One second of line at the fallback rate.
    EXPECT_EQ(echo.Line(0, 0).Length(), 44100);
    EXPECT_EQ(echo.Line(3, 1).Length(), 44100);
}

TEST(MachinePorts, StereoEffectRendersOnlyBetweenTwoStereoBuffers)
{
    CAudioBuffer out(256, true);
    CAudioBuffer in(100, true);
    CAudioBuffer mono(256, false);
    auto fill = [](CAudioBuffer& buffer) {
        for (int i = 0; i < 256; ++i)
            buffer.left[i] = buffer.right[i] = 1.0;
    };
    fill(out);
    EXPECT_EQ(StereoLineFrames(&out, &in), 100);
    EXPECT_EQ(out.left[200], 1.0);   // left for the effect to write

    // No input, or a mono one: silence out.
    EXPECT_EQ(StereoLineFrames(&out, nullptr), 0);
    EXPECT_EQ(out.left[200], 0.0);
    EXPECT_EQ(out.right[0], 0.0);
    fill(out);
    EXPECT_EQ(StereoLineFrames(&out, &mono), 0);
    EXPECT_EQ(out.right[255], 0.0);

    // Nowhere to write: nothing is touched.
    mono.left[0] = 1.0;
    EXPECT_EQ(StereoLineFrames(&mono, &in), 0);
    EXPECT_EQ(StereoLineFrames(nullptr, &in), 0);
    EXPECT_EQ(mono.left[0], 1.0);
    EXPECT_FALSE(HasStereoSamples(&mono));
    EXPECT_TRUE(HasStereoSamples(&in));
}

TEST(ParameterValues, IndicesOutsideTheArrayReadAsZero)
{
    const double values[3] = {0.25, 0.5, 0.75};
    EXPECT_EQ(StoredParameter(values, 0), 0.25);
    EXPECT_EQ(StoredParameter(values, 2), 0.75);
    EXPECT_EQ(StoredParameter(values, 3), 0.0);
    EXPECT_EQ(StoredParameter(values, -1), 0.0);
    EXPECT_TRUE(IsParameterIndex(0, 3));
    EXPECT_TRUE(IsParameterIndex(2, 3));
    EXPECT_FALSE(IsParameterIndex(3, 3));
    EXPECT_FALSE(IsParameterIndex(-1, 3));
    EXPECT_FALSE(IsParameterIndex(0, 0));
}
