// RedoRuviz: the sizes of its five designs, the value texts, unity DC gain
// once the 17 taps are filled, and the response it really has at the top of
// the band, measured with tones.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "stockpack/redoruviz/RedoRuvizFilter.h"
#include "stockpack/dsp/MinimumPhaseLowPass.h"
#include "stockpack/dsp/TapUnit.h"
#include "tests/stockpack/StockTestSupport.h"

using stock_test::CStockTestHost;

namespace {

constexpr int kBlock = 256;
constexpr int kRate = 44100;

/// The value that selects filter k (0 .. 4).
double ValueFor(int k)
{
    return k / 4.0;
}

/// Runs in through the filter; both channels carry the same signal.
std::vector<double> Filtered(CRedoRuvizFilter& filter, const std::vector<double>& in)
{
    CAudioBuffer* input = filter.ports[CRedoRuvizFilter::kLineInPort]->audio;
    const CAudioBuffer* output = filter.ports[CRedoRuvizFilter::kLineOutPort]->audio;
    std::vector<double> out;
    for (std::size_t start = 0; start < in.size(); start += kBlock) {
        for (int i = 0; i < kBlock; ++i) {
            const std::size_t n = start + static_cast<std::size_t>(i);
            input->left[i] = n < in.size() ? in[n] : 0.0;
            input->right[i] = input->left[i];
        }
        filter.Work();
        for (int i = 0; i < kBlock; ++i)
            EXPECT_EQ(output->left[i], output->right[i]);
        out.insert(out.end(), output->left, output->left + kBlock);
    }
    out.resize(in.size());
    return out;
}

} // namespace

TEST(RedoRuvizFilter, DesignsHave16MPlus1CoefficientsAnd17Taps)
{
    CStockTestHost host;
    CRedoRuvizFilter filter(&host, nullptr);
    const int expected[5] = {33, 65, 129, 257, 513};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(filter.Design(k).size(), static_cast<std::size_t>(expected[k])) << k;
        EXPECT_EQ(filter.Filter(k).TapCount(), 17) << k;
    }
    EXPECT_FALSE(filter.IsInstrument());
    const int count = filter.parameterCount;
    EXPECT_EQ(count, 1);
}

TEST(RedoRuvizFilter, StereoLineInAndOutWithoutProgramsOrTriggers)
{
    CStockTestHost host;
    CRedoRuvizFilter filter(&host, nullptr);
    EXPECT_TRUE(stock_test::HasPorts(filter, {{0x111, "Line In"}, {0x121, "Line Out"}}));
    EXPECT_EQ(filter.programCount, 0);
    EXPECT_EQ(filter.triggerCount, 0);
}

TEST(RedoRuvizFilter, MinimumPhaseDesignLeadsWithItsEnergy)
{
    // The windowed sinc is symmetric, its energy around the middle; the
    // minimum-phase version holds most of it in its first quarter. Its DC
    // gain stays near the sinc's (the cepstrum over only n points aliases a
    // little, which the machine's normalisation takes out).
    for (const int factor : {2, 8, 32}) {
        const std::vector<double> h = DesignMinimumPhaseLowPass(factor);
        const int n = static_cast<int>(h.size());
        double linearSum = 0.0;
        double sum = 0.0;
        double energy = 0.0;
        double firstQuarterEnergy = 0.0;
        for (int i = 0; i < n; ++i) {
            const double x = 16.0 * i / (16.0 * factor) - 8.0;
            const double sinc = x == 0.0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x);
            const double window =
                0.42 - 0.5 * std::cos(2 * M_PI * i / (16.0 * factor)) + 0.08 * std::cos(4 * M_PI * i / (16.0 * factor));
            linearSum += sinc * window;
            const double v = h[static_cast<std::size_t>(i)];
            sum += v;
            energy += v * v;
            if (i < n / 4)
                firstQuarterEnergy += v * v;
        }
        EXPECT_NEAR(std::fabs(sum) / std::fabs(linearSum), 1.0, 0.1) << factor;
        EXPECT_GT(firstQuarterEnergy / energy, 0.85) << factor;
    }
}

TEST(RedoRuvizFilter, ValueTextsAndFilterChoice)
{
    CStockTestHost host;
    CRedoRuvizFilter filter(&host, nullptr);
    char text[32];
    const double values[5] = {0.0, 0.3, 0.6, 0.8, 1.0};
    const char* texts[5] = {"2x", "4x", "8x", "16x", "32x"};
    for (int i = 0; i < 5; ++i) {
        filter.FormatParameter(0, values[i], text);
        EXPECT_STREQ(text, texts[i]);
    }
    EXPECT_EQ(CRedoRuvizFilter::FilterIndex(0.2499), 0);
    EXPECT_EQ(CRedoRuvizFilter::FilterIndex(0.25), 1);
    EXPECT_EQ(CRedoRuvizFilter::FilterIndex(0.9999), 3);
    filter.FormatParameter(1, 0.5, text);
    EXPECT_STREQ(text, "");
    filter.GetParameterName(0, text);
    EXPECT_STREQ(text, "Oversampling");
    filter.GetParameterName(1, text);
    EXPECT_STREQ(text, "");

    EXPECT_EQ(filter.GetParameter(0), 0.0);
    filter.SetParameter(0, 0.6);
    filter.SetParameter(1, 0.9);
    EXPECT_EQ(filter.GetParameter(0), 0.6);
    EXPECT_EQ(filter.GetParameter(1), 0.0);
}

TEST(RedoRuvizFilter, ConstantInputSettlesToUnityAfter17Samples)
{
    for (int k = 0; k < 5; ++k) {
        CStockTestHost host;
        CRedoRuvizFilter filter(&host, nullptr);
        filter.SetParameter(0, ValueFor(k));
        const std::vector<double> out = Filtered(filter, std::vector<double>(2 * kBlock, 1.0));
        for (std::size_t n = 16; n < out.size(); ++n)
            ASSERT_NEAR(out[n], 1.0, 1e-12) << k << " " << n;
        // Before the line is full the sum is partial.
        EXPECT_GT(std::fabs(out[15] - 1.0), 1e-6) << k;
    }
}

TEST(RedoRuvizFilter, DecimatedDesignPassesTheWholeBand)
{
    // Each design cuts off at half the oversampled rate over M, the base
    // rate's Nyquist frequency, so taking every M-th coefficient folds its
    // images into a near-flat response: the machine colours the sound by a
    // ripple of no more than about 2 dB up to 20 kHz, and leaves the low
    // band untouched.
    for (int k = 0; k < 5; ++k) {
        CStockTestHost host;
        CRedoRuvizFilter filter(&host, nullptr);
        filter.SetParameter(0, ValueFor(k));
        auto gainDb = [&filter](double hz) {
            const std::vector<double> in = stock_test::Sine(hz, kRate, 16384);
            const std::vector<double> out = Filtered(filter, in);
            return stock_test::Db(stock_test::ToneAmplitude(out, hz, kRate, 4096, 8192));
        };
        EXPECT_NEAR(gainDb(100.0), 0.0, 0.05) << k;
        for (double hz : {1000.0, 5000.0, 10000.0, 15000.0, 18000.0, 20000.0})
            EXPECT_NEAR(gainDb(hz), 0.0, 2.5) << k << " " << hz;
    }
}

TEST(RedoRuvizFilter, DesignsStopWhatLiesAboveTheBaseBand)
{
    // At the oversampled rate M x fs each design is the anti-image filter of
    // the zero-stuffed stream: it passes the base band, is 6 dB down at the
    // base rate's Nyquist frequency and stops the images above it. Run each
    // whole design at its own rate with tones and measure. (The stop band
    // is some 15 dB short of a Blackman window's because the cepstrum over
    // only n points aliases.)
    CStockTestHost host;
    CRedoRuvizFilter filter(&host, nullptr);
    for (int k = 0; k < 5; ++k) {
        const int factor = CRedoRuvizFilter::Factor(k);
        const std::vector<double>& design = filter.Design(k);
        double sum = 0.0;
        for (double h : design)
            sum += h;
        const int rate = kRate * factor;
        auto gainDb = [&](double hz) {
            CTapUnit unit(design, 1.0 / sum);
            constexpr std::size_t kLength = 8192;
            const std::vector<double> in = stock_test::Sine(hz, rate, kLength + 2 * design.size());
            std::vector<double> left(in.size());
            std::vector<double> right(in.size());
            unit.Process(in.data(), in.data(), left.data(), right.data(), static_cast<int>(in.size()));
            return stock_test::Db(stock_test::ToneAmplitude(left, hz, rate, 2 * design.size(), kLength));
        };
        EXPECT_NEAR(gainDb(1000.0), 0.0, 0.5) << factor;
        EXPECT_NEAR(gainDb(10000.0), 0.0, 1.0) << factor;
        EXPECT_NEAR(gainDb(0.5 * kRate), -6.0, 1.0) << factor;
        for (const double relative : {0.75, 1.0, 1.5, 3.0, 7.0}) {
            const double hz = relative * kRate;
            if (hz < rate / 2.0) {
                EXPECT_LT(gainDb(hz), -50.0) << factor << " " << hz;
            }
        }
    }
}
