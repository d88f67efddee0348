// DovoDorez measured with impulses: where each echo lands (its centroid),
// how much of the impulse it carries (its area, which the unity-DC filter
// leaves to the feedback alone), and the parameters' values and texts.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "stockpack/dovodorez/Echo.h"
#include "tests/stockpack/StockTestSupport.h"

using stock_test::CStockTestHost;

namespace {

constexpr int kBlock = 256;
constexpr int kRate = 44100;
/// The read offset of a new echo starts at the far end of the line and
/// glides to its target; from a whole line away it lands in about 32000
/// samples, so 1.5 s of silence first lets every test measure at rest.
constexpr int kPrerollSamples = 66150;

class CEchoRig {
public:
    CEchoRig()
    {
        host.blockSize = kBlock;
        host.sampleRate = kRate;
        echo = std::make_unique<CEcho>(&host);
    }

    void Set(int tap, int position, double value) { echo->SetParameter(CEcho::ParameterIndex(tap, position), value); }

    /// Renders at least frames samples of in (silence past its end); the
    /// output is appended to left and right.
    void Render(const std::vector<double>& inLeft, const std::vector<double>& inRight, std::size_t frames)
    {
        CAudioBuffer* in = echo->ports[CEcho::kLineInPort]->audio;
        const CAudioBuffer* out = echo->ports[CEcho::kLineOutPort]->audio;
        for (std::size_t start = 0; start < frames; start += kBlock) {
            for (int i = 0; i < kBlock; ++i) {
                const std::size_t n = start + static_cast<std::size_t>(i);
                in->left[i] = n < inLeft.size() ? inLeft[n] : 0.0;
                in->right[i] = n < inRight.size() ? inRight[n] : 0.0;
            }
            echo->Work();
            left.insert(left.end(), out->left, out->left + kBlock);
            right.insert(right.end(), out->right, out->right + kBlock);
        }
    }
    void Silence(std::size_t frames) { Render({}, {}, frames); }
    /// An impulse of 1 on both channels at the next block's first sample;
    /// returns its index in left / right.
    std::size_t Impulse(std::size_t frames)
    {
        const std::size_t at = left.size();
        Render({1.0}, {1.0}, frames);
        return at;
    }

    CStockTestHost host;
    std::unique_ptr<CEcho> echo;
    std::vector<double> left, right;
};

double Area(const std::vector<double>& x, std::size_t begin, std::size_t end)
{
    double sum = 0.0;
    for (std::size_t n = begin; n < end; ++n)
        sum += x[n];
    return sum;
}

/// The centre of mass of x in [begin, end), as an index.
double Centroid(const std::vector<double>& x, std::size_t begin, std::size_t end)
{
    double weighted = 0.0;
    for (std::size_t n = begin; n < end; ++n)
        weighted += static_cast<double>(n) * x[n];
    return weighted / Area(x, begin, end);
}

/// Echo k occupies [at + k D, at + (k + 1) D): the filtered impulse
/// convolved k + 1 times with the loop filter and delayed k times. Centroids
/// of convolutions add, so echo 1's centroid minus twice echo 0's (relative
/// to the impulse) is the loop delay alone, whatever the filter's own delay.
double MeasuredDelay(const std::vector<double>& x, std::size_t at, std::size_t window)
{
    const double c0 = Centroid(x, at, at + window) - static_cast<double>(at);
    const double c1 = Centroid(x, at + window, at + 2 * window) - static_cast<double>(at);
    return c1 - 2.0 * c0;
}

/// The delay the read offset of a line of L samples gives for d seconds.
double ExpectedDelaySamples(double seconds, int length = kRate)
{
    return length - (1.0 - seconds) * (length - 1);
}

} // namespace

TEST(Echo, ParameterNamesDefaultsAndTexts)
{
    CStockTestHost host;
    CEcho echo(&host);
    const int count = echo.parameterCount;
    ASSERT_EQ(count, 32);
    EXPECT_TRUE(stock_test::HasPorts(echo, {{0x111, "Line In"}, {0x121, "Line Out"}}));
    EXPECT_EQ(echo.programCount, 0);
    EXPECT_EQ(echo.triggerCount, 0);
    EXPECT_FALSE(echo.IsInstrument());

    char text[64];
    const char* names[8] = {"Delay Time 2", "Feedback 2", "Filter Frequency 2", "Filter Bandwidth 2",
                            "LFO Amount 2", "LFO Rate 2", "Wet Level 2", "Dry Level 2"};
    for (int p = 0; p < 8; ++p) {
        echo.GetParameterName(CEcho::ParameterIndex(1, p), text);
        EXPECT_STREQ(text, names[p]);
    }
    echo.GetParameterName(31, text);
    EXPECT_STREQ(text, "Dry Level 4");
    echo.GetParameterName(32, text);
    EXPECT_STREQ(text, "");

    const double defaults[8][4] = {{0.1, 0.2, 0.3, 0.4}, {0.5, 0.5, 0.5, 0.5}, {0.0, 0.1, 0.2, 0.3},
                                   {0.5, 0.5, 0.5, 0.5}, {0.0, 0.0, 0.0, 0.0}, {0.5, 0.5, 0.5, 0.5},
                                   {1.0, 0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 0.0}};
    for (int tap = 0; tap < 4; ++tap) {
        for (int p = 0; p < 8; ++p)
            EXPECT_EQ(echo.GetParameter(CEcho::ParameterIndex(tap, p)), defaults[p][tap]) << tap << " " << p;
    }
    EXPECT_EQ(echo.GetParameter(32), 0.0);
    echo.SetParameter(32, 0.7);
    EXPECT_EQ(echo.GetParameter(32), 0.0);

    echo.FormatParameter(0, 0.0, text);
    EXPECT_STREQ(text, "10ms");
    echo.FormatParameter(8, 1.0, text);
    EXPECT_STREQ(text, "1000ms");
    echo.FormatParameter(0, 0.1, text);   // (2^0.1 - 1) * 0.99 + 0.01 = 0.08105 s
    EXPECT_STREQ(text, "81ms");
    echo.FormatParameter(1, 0.5, text);
    EXPECT_STREQ(text, "50%");
    echo.FormatParameter(6, 0.0, text);
    EXPECT_STREQ(text, "-oo dB");
    echo.FormatParameter(6, 1.0, text);
    EXPECT_STREQ(text, "16.00dB");
    echo.FormatParameter(15, 0.5, text);
    EXPECT_STREQ(text, "-24.00dB");
    echo.FormatParameter(33, 0.5, text);
    EXPECT_STREQ(text, "");
}

TEST(Echo, DefaultsSoundOnlyTapOneWithHalvingEchoes)
{
    // Tap 1 alone: wet 1/16 of a line whose loop filter (165 Hz low-pass,
    // unity at DC) keeps the impulse's area, so echo k carries 0.5^k / 16.
    CEchoRig rig;
    rig.Silence(kPrerollSamples);
    const double delay = ExpectedDelaySamples(CEcho::DelaySeconds(0.1));
    const auto window = static_cast<std::size_t>(delay);
    const std::size_t at = rig.Impulse(4 * window);
    for (const auto* channel : {&rig.left, &rig.right}) {
        for (int k = 0; k < 3; ++k) {
            const double area = Area(*channel, at + k * window, at + (k + 1) * window);
            EXPECT_NEAR(area, std::pow(0.5, k) / 16.0, 1e-9) << k;
        }
        EXPECT_NEAR(MeasuredDelay(*channel, at, window), delay, 0.01);
    }
    // 81 ms: the displayed delay is the line's.
    EXPECT_NEAR(delay / kRate, 0.08105, 1e-4);
}

TEST(Echo, DryLevelPassesTheInputAtAQuarter)
{
    CEchoRig rig;
    rig.Set(1, CEcho::kDryLevel, 1.0);
    rig.Silence(kPrerollSamples);
    const std::size_t at = rig.Impulse(kBlock);
    // The low-pass's first output sample is its a0 (tiny at 165 Hz).
    const double a0 = rig.echo->Line(0, 0).FilterCoefficients().a0;
    EXPECT_NEAR(rig.left[at], 0.25 + a0 / 16.0, 1e-12);
    EXPECT_NEAR(rig.right[at], 0.25 + a0 / 16.0, 1e-12);
}

TEST(Echo, DelayTimesSpanTenMillisecondsToTheWholeLine)
{
    for (const double value : {0.0, 0.5, 1.0}) {
        CEchoRig rig;
        rig.Set(0, CEcho::kFilterFrequency, 1.0);   // fs / 4: a short filter
        rig.Set(0, CEcho::kDelayTime, value);
        rig.Silence(kPrerollSamples);
        const double seconds = CEcho::DelaySeconds(value);
        const double delay = ExpectedDelaySamples(seconds);
        const auto window = static_cast<std::size_t>(delay);
        const std::size_t at = rig.Impulse(2 * window + kBlock);
        EXPECT_NEAR(MeasuredDelay(rig.left, at, window), delay, 0.01) << value;
        EXPECT_NEAR(MeasuredDelay(rig.right, at, window), delay, 0.01) << value;
        // Within one sample of the time the parameter shows.
        EXPECT_NEAR(delay, seconds * kRate, 1.0) << value;
    }
    EXPECT_NEAR(ExpectedDelaySamples(CEcho::DelaySeconds(1.0)), 44100.0, 1e-9);
}

TEST(Echo, FeedbackIsTheRatioOfSuccessiveEchoes)
{
    for (const double feedback : {0.25, 0.9}) {
        CEchoRig rig;
        rig.Set(0, CEcho::kFilterFrequency, 1.0);
        rig.Set(0, CEcho::kDelayTime, 0.0);
        rig.Set(0, CEcho::kFeedback, feedback);
        rig.Silence(kPrerollSamples);
        const auto window = static_cast<std::size_t>(ExpectedDelaySamples(0.01));
        const std::size_t at = rig.Impulse(7 * window);
        double previous = Area(rig.left, at, at + window);
        EXPECT_NEAR(previous, 1.0 / 16.0, 1e-9);
        for (int k = 1; k < 6; ++k) {
            const double area = Area(rig.left, at + k * window, at + (k + 1) * window);
            EXPECT_NEAR(area / previous, feedback, 1e-6) << feedback << " " << k;
            previous = area;
        }
    }
}

TEST(Echo, SettingTheCurrentValueChangesNothing)
{
    // With the LFO on, the running coefficients follow it; setting the
    // frequency anew would reset them to the unmodulated design.
    CEchoRig rig;
    CEchoRig twin;
    for (CEchoRig* r : {&rig, &twin}) {
        r->Set(0, CEcho::kLfoAmount, 1.0);
        r->Set(0, CEcho::kLfoRate, 1.0);
    }
    std::vector<double> noise(4 * kBlock);
    for (std::size_t n = 0; n < noise.size(); ++n)
        noise[n] = std::sin(0.37 * static_cast<double>(n * n % 1000));
    rig.Render(noise, noise, 2 * kBlock);
    twin.Render(noise, noise, 2 * kBlock);

    const CEchoDelayLine::Coefficients before = rig.echo->Line(0, 1).FilterCoefficients();
    for (int i = 0; i < CEcho::kParameterCount; ++i)
        rig.echo->SetParameter(i, rig.echo->GetParameter(i));
    EXPECT_TRUE(rig.echo->Line(0, 1).FilterCoefficients() == before);

    const std::vector<double> rest(noise.begin() + 2 * kBlock, noise.end());
    rig.Render(rest, rest, 2 * kBlock);
    twin.Render(rest, rest, 2 * kBlock);
    EXPECT_EQ(rig.left, twin.left);
    EXPECT_EQ(rig.right, twin.right);

    // A different value does apply.
    rig.Set(0, CEcho::kFilterFrequency, 0.5);
    EXPECT_FALSE(rig.echo->Line(0, 1).FilterCoefficients() == before);
}

TEST(Echo, LfoSweepsTheLoopFilter)
{
    CEchoRig rig;
    rig.Set(0, CEcho::kLfoAmount, 0.5);
    rig.Set(0, CEcho::kLfoRate, 1.0);   // 0.86 Hz
    double lowest = 1e9;
    double highest = 0.0;
    for (int b = 0; b < kRate / kBlock; ++b) {
        rig.Silence(kBlock);
        const double a0 = rig.echo->Line(0, 0).FilterCoefficients().a0;
        lowest = std::fmin(lowest, a0);
        highest = std::fmax(highest, a0);
        // The right line is swept with the left.
        EXPECT_TRUE(rig.echo->Line(0, 1).FilterCoefficients() == rig.echo->Line(0, 0).FilterCoefficients()) << b;
    }
    // m from 0.5 to 1.5: the cutoff moves 82 .. 248 Hz, a0 (about the
    // square of the cutoff) by nearly a factor of nine.
    EXPECT_GT(highest / lowest, 5.0);

    CEchoRig still;
    still.Silence(kBlock);
    const auto fixed = still.echo->Line(0, 0).FilterCoefficients();
    still.Silence(20 * kBlock);
    EXPECT_TRUE(still.echo->Line(0, 0).FilterCoefficients() == fixed);

    // With the LFO still the running coefficients are kept between
    // samples; a new filter setting must still reach them.
    CEchoRig fresh;
    fresh.Set(0, CEcho::kFilterFrequency, 0.5);
    fresh.Silence(kBlock);
    still.Set(0, CEcho::kFilterFrequency, 0.5);
    still.Silence(kBlock);
    EXPECT_TRUE(still.echo->Line(0, 0).FilterCoefficients() == fresh.echo->Line(0, 0).FilterCoefficients());
    still.Set(0, CEcho::kFilterFrequency, 0.0);
    still.Silence(kBlock);
    EXPECT_TRUE(still.echo->Line(0, 0).FilterCoefficients() == fixed);
}

TEST(EchoDelayLine, PairedLinesSoundAsEachLineAlone)
{
    // Two taps' worth of lines: one pair run together, its twin line by
    // line. The second case gives the pair's lines different filters, which
    // must not share a design.
    for (bool sameFilter : {true, false}) {
        std::array<CEchoDelayLine, 2> paired;
        std::array<CEchoDelayLine, 2> alone;
        for (std::array<CEchoDelayLine, 2>* lines : {&paired, &alone}) {
            for (CEchoDelayLine& line : *lines) {
                line.SetDelay(0.003);
                line.SetFeedback(0.7);
                line.SetFrequency(6.0);
                line.SetBandwidth(500.0);
            }
            if (!sameFilter)
                (*lines)[1].SetFrequency(8.0);
        }
        std::vector<double> left(kBlock), right(kBlock), m(kBlock);
        std::vector<double> pairLeft(kBlock), pairRight(kBlock), aloneLeft(kBlock), aloneRight(kBlock);
        for (int b = 0; b < 40; ++b) {
            for (int i = 0; i < kBlock; ++i) {
                const double n = b * kBlock + i;
                left[i] = std::sin(0.37 * std::fmod(n * n, 1000.0));
                right[i] = std::cos(0.11 * n);
                // Swept for two blocks, then still for two.
                m[i] = b % 4 >= 2 ? 1.0 : 1.0 + 0.5 * std::sin(0.001 * n);
            }
            if (b == 18) {
                // One block apart, the right line left at another m: the
                // pair no longer stands at one m, whatever its settings,
                // and the still block after must bring the right line back
                // to m = 1.
                std::vector<double> other(m);
                other.back() = 0.75;
                paired[0].Process(left.data(), pairLeft.data(), m.data(), kBlock);
                paired[1].Process(right.data(), pairRight.data(), other.data(), kBlock);
                alone[0].Process(left.data(), aloneLeft.data(), m.data(), kBlock);
                alone[1].Process(right.data(), aloneRight.data(), other.data(), kBlock);
                continue;
            }
            CEchoDelayLine::ProcessPair(paired[0], paired[1], left.data(), right.data(), pairLeft.data(),
                                        pairRight.data(), m.data(), kBlock);
            alone[0].Process(left.data(), aloneLeft.data(), m.data(), kBlock);
            alone[1].Process(right.data(), aloneRight.data(), m.data(), kBlock);
            ASSERT_EQ(pairLeft, aloneLeft) << sameFilter << " " << b;
            ASSERT_EQ(pairRight, aloneRight) << sameFilter << " " << b;
            ASSERT_TRUE(paired[0].FilterCoefficients() == alone[0].FilterCoefficients());
            ASSERT_TRUE(paired[1].FilterCoefficients() == alone[1].FilterCoefficients());
        }
        EXPECT_EQ(paired[0].FilterCoefficients() == paired[1].FilterCoefficients(), sameFilter);
    }
}

TEST(Echo, SampleRateChangeKeepsContentOnlyWithTheLength)
{
    CEchoRig rig;
    rig.Set(0, CEcho::kFilterFrequency, 1.0);
    rig.Silence(kPrerollSamples);
    const double delay = ExpectedDelaySamples(CEcho::DelaySeconds(0.1));
    const auto window = static_cast<std::size_t>(delay);

    std::size_t at = rig.Impulse(kBlock);
    rig.echo->SetSampleRate(kRate);   // unchanged: the impulse stays in the line
    rig.Silence(2 * window);
    EXPECT_NEAR(Area(rig.left, at + window, at + 2 * window), 0.5 / 16.0, 1e-9);

    at = rig.Impulse(kBlock);
    rig.echo->SetSampleRate(48000);
    EXPECT_EQ(rig.echo->Line(0, 0).Length(), 48000);
    EXPECT_NEAR(rig.echo->Line(3, 1).TargetDelaySamples(),
                ExpectedDelaySamples(CEcho::DelaySeconds(0.4), 48000), 1e-9);
    rig.Silence(2 * window);
    // The new line starts silent: nothing of the impulse comes back.
    EXPECT_NEAR(Area(rig.left, at + kBlock, at + 2 * window), 0.0, 1e-12);
}
