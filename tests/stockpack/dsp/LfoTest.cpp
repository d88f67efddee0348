// The LFO shapes against their definitions: the table shapes read the shared
// tables at the phase, the random shapes hold or glide between draws of the
// 15-bit generator, one draw per period.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "stockpack/common/WaveTables.h"
#include "stockpack/razuzuri/RazuZuriParameters.h"
#include "stockpack/dsp/Lfo.h"

namespace {

constexpr int kRate = 1000;   // slow enough that periods are easy to count

const WaveTables& Tables()
{
    static const WaveTables tables;   // from this program's copy of the library's resource
    return tables;
}

/// A generator that returns the values of a script in turn.
const int kScript[] = {0, 32767, 16384, 8192, 24576, 1000};
int scriptPosition = 0;
int Scripted() noexcept
{
    const int value = kScript[scriptPosition % 6];
    ++scriptPosition;
    return value;
}

double Drawn(int r)
{
    return static_cast<double>(2.0f * (static_cast<float>(r) / 32767.0f - 0.5f));
}

std::vector<double> Render(CLfo& lfo, int frames)
{
    std::vector<double> out(static_cast<std::size_t>(frames));
    lfo.Render(out.data(), frames);
    return out;
}

} // namespace

TEST(Lfo, TableShapesFollowTheirDefinitions)
{
    CLfo lfo(Tables().ForLfo(), Scripted);
    lfo.SetSampleRate(kRate);
    lfo.SetRate(4.0);   // 250 samples per period
    for (LfoShape shape : {LfoShape::Sine, LfoShape::Triangle, LfoShape::Saw, LfoShape::Pulse}) {
        lfo.SetShape(shape);
        const double start = lfo.Phase();
        const auto out = Render(lfo, 500);
        for (std::size_t i = 0; i < out.size(); ++i) {
            double p = start + static_cast<double>(i) * 4.0 / kRate;
            p -= std::floor(p);
            double expected = 0.0;
            switch (shape) {
            case LfoShape::Sine:
                expected = std::sin(2.0 * std::numbers::pi * p);
                break;
            case LfoShape::Triangle:
                expected = p < 0.5 ? 1.0 - std::fabs(p - 0.25) * 4.0 : -(1.0 - std::fabs(p - 0.75) * 4.0);
                break;
            case LfoShape::Saw:
                expected = 1.0 - 2.0 * p;
                break;
            case LfoShape::Pulse:
                expected = p < 0.5 ? 1.0 : -1.0;
                break;
            default:
                break;
            }
            // Linear interpolation between 8192 points, and the one table
            // step where the saw and the pulse jump.
            const double tolerance = 1e-6;
            const bool atJump = (shape == LfoShape::Saw && (p < 1e-3 || p > 1 - 1e-3)) ||
                                (shape == LfoShape::Pulse && (std::fabs(p - 0.5) < 1e-3 || p > 1 - 1e-3));
            if (!atJump) {
                EXPECT_NEAR(out[i], expected, tolerance) << static_cast<int>(shape) << " " << i;
            }
        }
    }
}

TEST(Lfo, SampleAndHoldDrawsOncePerPeriod)
{
    scriptPosition = 0;
    CLfo lfo(Tables().ForLfo(), Scripted);
    lfo.SetSampleRate(kRate);
    lfo.SetRate(10.0);   // 100 samples per period
    lfo.SetShape(LfoShape::SampleAndHold);
    const auto out = Render(lfo, 400);
    // The phase starts at 0: the first wrap comes after 100 samples, each
    // wrap holds the next draw for one period.
    for (int i = 0; i < 99; ++i)
        EXPECT_EQ(out[static_cast<std::size_t>(i)], 0.0);
    int changes = 0;
    for (std::size_t i = 1; i < out.size(); ++i)
        changes += out[i] != out[i - 1] ? 1 : 0;
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(out[150], Drawn(0));
    EXPECT_EQ(out[250], Drawn(32767));
    EXPECT_EQ(out[350], Drawn(16384));
    EXPECT_EQ(Drawn(0), -1.0);
    EXPECT_EQ(Drawn(32767), 1.0);
}

TEST(Lfo, SampleAndGlideMovesLinearlyBetweenDraws)
{
    scriptPosition = 0;
    CLfo lfo(Tables().ForLfo(), Scripted);
    lfo.SetSampleRate(kRate);
    lfo.SetRate(10.0);
    lfo.SetShape(LfoShape::SampleAndGlide);
    const auto out = Render(lfo, 400);
    // Both ends start at 0; each wrap moves the end to the start and draws
    // a new end. So period 3 glides from the first draw (-1) to the second
    // (+1), period 4 from +1 to the third.
    const double a = Drawn(0), b = Drawn(32767), c = Drawn(16384);
    EXPECT_NEAR(out[50], 0.0, 1e-12);
    EXPECT_NEAR(out[150], a * 0.5, 0.03);
    EXPECT_NEAR(out[200], a, 0.03);
    EXPECT_NEAR(out[250], a + (b - a) * 0.5, 0.03);
    EXPECT_NEAR(out[300], b, 0.03);
    EXPECT_NEAR(out[350], b + (c - b) * 0.5, 0.03);
    for (std::size_t i = 201; i < 299; ++i)
        EXPECT_GE(out[i], out[i - 1] - 1e-12) << i;
}

TEST(Lfo, SkippingKeepsThePhaseAndTheDraws)
{
    scriptPosition = 0;
    CLfo rendered(Tables().ForLfo(), Scripted);
    rendered.SetSampleRate(kRate);
    rendered.SetRate(7.0);
    rendered.SetShape(LfoShape::Sine);
    Render(rendered, 333);
    CLfo skipped(Tables().ForLfo(), Scripted);
    skipped.SetSampleRate(kRate);
    skipped.SetRate(7.0);
    skipped.Skip(333);
    EXPECT_NEAR(skipped.Phase(), rendered.Phase(), 1e-12);
}

TEST(Lfo, RateParameterSpansTheDocumentedRange)
{
    EXPECT_NEAR(razuzuri::LfoRateHz(0.0), 440.0 / 131072.0, 1e-12);   // about 0.0034 Hz
    EXPECT_NEAR(razuzuri::LfoRateHz(1.0), 27.5, 1e-12);
    EXPECT_NEAR(razuzuri::LfoRateHz(0.5), 440.0 * std::exp2(-10.5), 1e-12);
}
