// The shared oscillator tables: the waveform tables' defining points, the
// step table as the build generates it into the library's resource, the
// fallback when that resource is missing or damaged, and the properties that
// make the step table do its job (band-limited, minimum-phase, ending at 1).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>

#include "platform/Resources.h"
#include "stockpack/common/StepTableFormat.h"
#include "stockpack/common/WaveTables.h"
#include "stockpack/dsp/BandLimitedStep.h"
#include "stockpack/dsp/Fft.h"
#include "tests/stockpack/StockTestSupport.h"

using stock_test::Db;

namespace {

std::vector<unsigned char> ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// The step table file the build wrote for the library's resource.
const std::vector<unsigned char>& GeneratedResource()
{
    static const std::vector<unsigned char> bytes = ReadFile(CORVANE_STEP_TABLE_FILE);
    return bytes;
}

/// One set of tables for the whole suite: building them is the expensive
/// part of these tests.
const WaveTables& Tables()
{
    static const WaveTables tables(platform::ResourceView{GeneratedResource().data(), GeneratedResource().size()});
    return tables;
}

std::vector<std::complex<double>> NaiveDft(const std::vector<std::complex<double>>& x)
{
    const std::size_t n = x.size();
    std::vector<std::complex<double>> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<double> sum;
        for (std::size_t i = 0; i < n; ++i)
            sum += x[i] * std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(k * i % n) / n);
        out[k] = sum;
    }
    return out;
}

} // namespace

TEST(WaveTables, WaveformTablesHitTheirDefiningPoints)
{
    const WaveTables& tables = Tables();
    const CountedTable sine = SineTable(), cosine = CosineTable();
    ASSERT_EQ(sine.count, 8192);
    ASSERT_EQ(cosine.count, 8192);
    ASSERT_EQ(tables.Triangle().count, 8192);
    ASSERT_EQ(tables.Saw().count, 8192);
    ASSERT_EQ(tables.Square().count, 8192);

    EXPECT_EQ(sine[0], 0.0);
    EXPECT_EQ(cosine[0], 1.0);
    EXPECT_NEAR(sine[2048], 1.0, 1e-15);
    EXPECT_NEAR(cosine[4096], -1.0, 1e-15);
    EXPECT_EQ(tables.Triangle()[0], 0.0);
    EXPECT_EQ(tables.Triangle()[2048], 1.0);
    EXPECT_EQ(tables.Triangle()[4096], 0.0);
    EXPECT_EQ(tables.Triangle()[6144], -1.0);
    EXPECT_EQ(tables.Saw()[0], 1.0);
    EXPECT_EQ(tables.Saw()[4096], 0.0);
    EXPECT_EQ(tables.Saw()[8191], 1.0 - 2.0 * 8191 / 8192);
    EXPECT_EQ(tables.Square()[0], 1.0);
    EXPECT_EQ(tables.Square()[4095], 1.0);
    EXPECT_EQ(tables.Square()[4096], -1.0);
    EXPECT_EQ(tables.Square()[8191], -1.0);

    // The triangle is linear between its corners: steps of 4 / 8192.
    for (int i = 1; i < 2048; ++i)
        EXPECT_NEAR(tables.Triangle()[i] - tables.Triangle()[i - 1], 4.0 / 8192, 1e-12) << i;
}

TEST(WaveTables, StepTableComesFromTheGeneratedResource)
{
    const auto parsed = ParseStepTable(GeneratedResource().data(), GeneratedResource().size());
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->zeroCrossings, 32);
    EXPECT_EQ(parsed->oversampling, 256);
    ASSERT_EQ(parsed->values.size(), 16385u);
    EXPECT_EQ(GeneratedResource().size(), 12u + 8u * 16385u);

    const WaveTables& tables = Tables();
    EXPECT_TRUE(tables.StepFromResource());
    const BandLimitedTable& step = tables.Step();
    ASSERT_EQ(step.table.count, 16385);
    EXPECT_EQ(step.zeroCrossings, 32);
    EXPECT_EQ(step.oversampling, 256);
    EXPECT_EQ(step.table[16384], 1.0);
    EXPECT_TRUE(std::equal(parsed->values.begin(), parsed->values.end(), step.table.values));

    // Tables built the way the library builds them find the resource in
    // the module's own table (this program carries a copy).
    const WaveTables fromModule;
    EXPECT_TRUE(fromModule.StepFromResource());
    EXPECT_EQ(fromModule.Step().table[8000], step.table[8000]);

    // Rising from about 0, overshooting on the way, ending at exactly 1.
    EXPECT_LT(std::fabs(step.table[0]), 1e-3);
    EXPECT_GT(*std::max_element(step.table.values, step.table.values + step.table.count), 1.0);
}

TEST(WaveTables, ResourceMatchesTheGenerationRoutine)
{
    // What the build ships is what start-up would compute.
    const std::vector<double> generated = GenerateBandLimitedTable(32, 256, true);
    const BandLimitedTable& step = Tables().Step();
    ASSERT_EQ(generated.size(), 16385u);
    for (std::size_t i = 0; i < generated.size(); i += 97)
        EXPECT_EQ(generated[i], step.table[static_cast<int>(i)]) << i;
    EXPECT_EQ(generated.back(), 1.0);
}

TEST(WaveTables, ImpulseAndIntegratedStepTables)
{
    const WaveTables& tables = Tables();
    const BandLimitedTable& impulse = tables.Impulse();
    EXPECT_EQ(impulse.zeroCrossings, 8);
    EXPECT_EQ(impulse.oversampling, 16);
    ASSERT_EQ(impulse.table.count, 257);
    // Not integrated: a minimum-phase impulse, whose energy sits in its
    // first half (the linear-phase one has half of it there) and whose
    // values sum to the oversampling factor (unit area per sample).
    double sum = 0.0, energy = 0.0, firstHalf = 0.0;
    for (int i = 0; i < impulse.table.count; ++i) {
        sum += impulse.table[i];
        energy += impulse.table[i] * impulse.table[i];
        if (i < 128)
            firstHalf += impulse.table[i] * impulse.table[i];
    }
    EXPECT_NEAR(sum, 16.0, 0.05);
    EXPECT_GT(firstHalf / energy, 0.99);

    const BandLimitedTable& integrated = tables.IntegratedStep();
    ASSERT_EQ(integrated.table.count, 16385);
    EXPECT_EQ(integrated.zeroCrossings, 32);
    EXPECT_EQ(integrated.oversampling, 256);
    EXPECT_EQ(integrated.table[16384], 1.0);
    double running = 0.0;
    const BandLimitedTable& step = tables.Step();
    for (int i = 0; i < step.table.count; ++i)
        running += step.table[i];
    for (int i : {0, 1000, 8000, 16000})
        EXPECT_NEAR(integrated.table[i] * running, [&] {
            double s = 0.0;
            for (int j = 0; j <= i; ++j)
                s += step.table[j];
            return s;
        }(), 1e-9 * running) << i;
}

TEST(WaveTables, StepIsBandLimitedAndMinimumPhase)
{
    // The step's derivative is the band-limited impulse: its spectrum passes
    // the audio band of the output rate (below 0.45 fs) and stops what lies
    // above the output rate's Nyquist frequency, where aliases come from.
    const BandLimitedTable& step = Tables().Step();
    const int n = step.table.count;
    std::vector<std::complex<double>> impulse(static_cast<std::size_t>(n));
    impulse[0] = step.table[0];
    for (int i = 1; i < n; ++i)
        impulse[static_cast<std::size_t>(i)] = step.table[i] - step.table[i - 1];
    CFft fft(n);
    fft.Forward(impulse.data());
    // Bin k is k / n of the oversampled rate, k * 256 / n of the output rate.
    auto magnitudeAt = [&](double ofOutputRate) {
        const int k = static_cast<int>(std::lround(ofOutputRate * n / 256.0));
        return std::abs(impulse[static_cast<std::size_t>(k)]);
    };
    const double dc = std::abs(impulse[0]);
    EXPECT_NEAR(dc, 1.0, 1e-9);
    EXPECT_GT(Db(magnitudeAt(0.25) / dc), -0.5);
    double worstStop = 0.0;
    for (double f = 0.6; f < 10.0; f += 0.01)
        worstStop = std::max(worstStop, magnitudeAt(f));
    EXPECT_LT(Db(worstStop / dc), -60.0);

    // Minimum phase: nothing rises before the discontinuity, and the step is
    // within 1% of its final value a few output samples after the delay of
    // the rise.
    for (int i = 0; i < 256; ++i)
        EXPECT_LT(std::fabs(step.table[i]), 0.01) << i;
    EXPECT_GT(step.table[4 * 256], 0.9);
    for (int i = 48 * 256; i < n; ++i)
        EXPECT_LT(std::fabs(step.table[i] - 1.0), 0.01) << i;
}

TEST(WaveTables, DamagedOrMissingResourceIsGeneratedInstead)
{
    const auto& good = GeneratedResource();
    auto header = [](std::int32_t z, std::int32_t s, std::int32_t count) {
        StepTableData table;
        table.zeroCrossings = z;
        table.oversampling = s;
        table.values.assign(static_cast<std::size_t>(count), 0.5);
        return SerializeStepTable(table);
    };
    std::vector<std::vector<unsigned char>> damaged = {
        {},
        {good.begin(), good.begin() + 11},
        {good.begin(), good.end() - 1},     // one byte short of the last value
        header(32, 256, 16384),             // count disagrees with the header
        header(33, 256, 2 * 33 * 256 + 1),  // a span the oscillators cannot correct
        header(0, 256, 1),
        header(8, -16, 1),
    };
    auto nan = good;
    nan[12 + 8 * 100 + 7] = 0x7f;
    nan[12 + 8 * 100 + 6] = 0xf8;
    damaged.push_back(nan);

    for (const auto& bytes : damaged) {
        EXPECT_FALSE(ParseStepTable(bytes.data(), bytes.size()).has_value()) << bytes.size();
    }
    // Truncations at every 4-byte boundary of the header, and a random
    // sample of cuts in the values.
    for (std::size_t cut = 0; cut < 12; ++cut)
        EXPECT_FALSE(ParseStepTable(good.data(), cut).has_value()) << cut;
    std::mt19937 random(7);
    for (int trial = 0; trial < 50; ++trial) {
        const std::size_t cut = 12 + random() % (good.size() - 12);
        EXPECT_FALSE(ParseStepTable(good.data(), cut).has_value()) << cut;
    }

    // A library whose resource is damaged still gets the full table.
    const WaveTables fallback(platform::ResourceView{damaged[2].data(), damaged[2].size()});
    EXPECT_FALSE(fallback.StepFromResource());
    ASSERT_EQ(fallback.Step().table.count, 16385);
    EXPECT_EQ(fallback.Step().table[16384], 1.0);
    EXPECT_EQ(fallback.Step().table[5000], Tables().Step().table[5000]);
}

TEST(WaveTables, SerializedTableReadsBack)
{
    StepTableData table;
    table.zeroCrossings = 2;
    table.oversampling = 3;
    table.values = {0.0, -0.25, 1e-300, 0.5, 1.5, 0.75, 0.875, 0.9375, -0.0, 0.99, 1.0, 1.0, 1.0};
    const auto bytes = SerializeStepTable(table);
    ASSERT_EQ(bytes.size(), 12u + 8u * 13u);
    // Little-endian header.
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(bytes[4], 3);
    EXPECT_EQ(bytes[8], 13);
    EXPECT_EQ(bytes[9], 0);
    const auto back = ParseStepTable(bytes.data(), bytes.size());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->values, table.values);
}

TEST(BandLimitedGeneration, FftMatchesDirectSumForEveryKindOfLength)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (int n : {1, 2, 3, 8, 17, 64, 257, 1000}) {
        std::vector<std::complex<double>> x(static_cast<std::size_t>(n));
        for (auto& v : x)
            v = {value(random), value(random)};
        const auto expected = NaiveDft(x);
        auto actual = x;
        CFft fft(n);
        fft.Forward(actual.data());
        for (int k = 0; k < n; ++k)
            EXPECT_LT(std::abs(actual[static_cast<std::size_t>(k)] - expected[static_cast<std::size_t>(k)]), 1e-9)
                << n << " " << k;
        fft.Inverse(actual.data());
        for (int k = 0; k < n; ++k)
            EXPECT_LT(std::abs(actual[static_cast<std::size_t>(k)] - x[static_cast<std::size_t>(k)]), 1e-12)
                << n << " " << k;
    }
}

TEST(BandLimitedGeneration, MinimumPhaseKeepsTheMagnitudeSpectrum)
{
    const std::vector<double> sinc = WindowedSinc(8, 16);
    ASSERT_EQ(sinc.size(), 257u);
    EXPECT_NEAR(sinc[128], 1.0, 1e-15);   // t = 0
    EXPECT_NEAR(sinc[0], 0.0, 1e-15);     // the window's ends
    EXPECT_NEAR(sinc[144], 0.0, 1e-15);   // a zero crossing, t = 1

    const std::vector<double> minimum = MinimumPhase(sinc);
    // On a grid 16 times finer than the sequence's own: a cepstrum taken on
    // the sequence's own grid keeps the magnitudes exactly there and misses
    // them in between (by over 10 dB at -60 dB), which is where aliases come
    // from.
    auto spectrum = [](const std::vector<double>& x) {
        std::vector<std::complex<double>> c(16 * 256);
        std::copy(x.begin(), x.end(), c.begin());
        CFft(static_cast<int>(c.size())).Forward(c.data());
        return c;
    };
    const auto a = spectrum(sinc), b = spectrum(minimum);
    const double peak = std::abs(a[0]);
    for (std::size_t k = 0; k < a.size() / 2; ++k) {
        // Equal magnitudes wherever the response matters: within 0.1 dB
        // above -60 dB, within 2 dB down to -100 dB.
        const double level = std::abs(a[k]) / peak;
        const double error = std::fabs(Db(std::abs(b[k]) / std::abs(a[k])));
        if (level > 1e-3) {
            EXPECT_LT(error, 0.1) << k;
        } else if (level > 1e-5) {
            EXPECT_LT(error, 2.0) << k;
        }
    }
    // The linear-phase sinc peaks in its middle (8 samples in); its
    // minimum-phase twin within the first 4.
    const auto peakAt = std::max_element(minimum.begin(), minimum.end()) - minimum.begin();
    EXPECT_LT(peakAt, 64);

    const std::vector<double> unit = IntegrateToUnit({0.1, 0.2, 0.3, 0.4, 0.1});
    EXPECT_EQ(unit.back(), 1.0);
    EXPECT_EQ(IntegrateToUnit({0.0, 0.0}), (std::vector<double>{0.0, 0.0}));
}
