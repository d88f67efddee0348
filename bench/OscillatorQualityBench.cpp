// The band-limited oscillator's sound and cost, before and after its step
// table came from a padded cepstrum and its ramp started waiting for the
// step's delay, in one run.
//
// Sound: a saw and a square at MIDI 72, 84, 96 and 103 at 44.1 kHz, each
// as four signals: the exact additive wave (every harmonic below Nyquist,
// nothing else: the measurement's own floor), the naive wave (no
// band-limiting at all), the oscillator as it was (the table generated here
// by the old recipe, the cepstrum on a transform of the table's length) and
// the oscillator as it is. Per signal: the energy away from the harmonics
// against the energy at them (20 Hz - 20 kHz) and the strongest alias
// against the fundamental, through a 7-term Blackman-Harris window over
// 65536 samples; for the two oscillators also the DC and the peak.
//
// Cost: ns of the rendering thread's processor time per output sample,
// before and after, interleaved and the best of many rounds, so that other
// programs on a shared machine count as little as possible. The oscillator
// may not get more than 5 % slower.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "bench/BenchHost.h"
#include "bench/PreviousBandLimitedOscillator.h"
#include "stockpack/common/StepTableFormat.h"
#include "stockpack/dsp/BandLimitedOscillator.h"
#include "stockpack/dsp/BandLimitedStep.h"
#include "tests/stockpack/dsp/OscillatorSpectrum.h"

namespace {

constexpr int kRate = 44100;
constexpr std::size_t kSettle = 2048;
constexpr std::size_t kAnalysed = 65536;
constexpr int kNotes[] = {72, 84, 96, 103};

struct Tables {
    std::vector<double> before = GenerateBandLimitedTable(kStepZeroCrossings, kStepOversampling, true, 1);
    std::vector<double> after = GenerateBandLimitedTable(kStepZeroCrossings, kStepOversampling, true);

    static BandLimitedTable View(const std::vector<double>& values)
    {
        return {{values.data(), static_cast<std::int32_t>(values.size())}, kStepZeroCrossings, kStepOversampling};
    }
};

const Tables& SharedTables()
{
    static const Tables tables;
    return tables;
}

double PitchOf(double hz)
{
    return std::log2(hz / 440.0) + 5.0;
}

template <class Oscillator>
std::vector<double> RenderOscillator(const BandLimitedTable& step, OscillatorShape shape, double hz,
                                     std::size_t length)
{
    Oscillator oscillator(step);
    oscillator.SetSampleRate(kRate);
    oscillator.SetShape(shape);
    oscillator.SetPitch(PitchOf(hz));
    std::vector<double> out(length);
    for (std::size_t at = 0; at < length; at += bench::kBlock)
        oscillator.Render(out.data() + at, static_cast<int>(std::min<std::size_t>(bench::kBlock, length - at)));
    return out;
}

/// The saw rises from -1 to +1 and the square is high for the first half
/// of each period, as the oscillator draws them.
std::vector<double> Additive(OscillatorShape shape, double hz, std::size_t length)
{
    std::vector<double> out(length, 0.0);
    for (int k = 1; k * hz < kRate / 2.0; ++k) {
        if (shape == OscillatorShape::Square && k % 2 == 0)
            continue;
        const double amplitude = shape == OscillatorShape::Saw ? -2.0 / (std::numbers::pi * k)
                                                               : 4.0 / (std::numbers::pi * k);
        const double step = 2.0 * std::numbers::pi * k * hz / kRate;
        for (std::size_t i = 0; i < length; ++i)
            out[i] += amplitude * std::sin(step * static_cast<double>(i + 1));
    }
    return out;
}

std::vector<double> Naive(OscillatorShape shape, double hz, std::size_t length)
{
    std::vector<double> out(length);
    double phase = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        phase += hz / kRate;
        phase -= std::floor(phase);
        out[i] = shape == OscillatorShape::Saw ? 2.0 * phase - 1.0 : (phase < 0.5 ? 1.0 : -1.0);
    }
    return out;
}

spectrum::ToneFigures Measure(const std::vector<double>& x, double hz)
{
    return spectrum::MeasureTone(x.data() + kSettle, kAnalysed, hz, kRate);
}

double PeakOf(const std::vector<double>& x)
{
    double peak = 0.0;
    for (std::size_t i = kSettle; i < x.size(); ++i)
        peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

void PrintQuality()
{
    const Tables& tables = SharedTables();
    std::printf("Aliasing at %d Hz: alias ratio / worst alias, dB (7-term Blackman-Harris, %zu samples)\n\n", kRate,
                kAnalysed);
    std::printf("%-6s %4s | %15s | %15s | %15s | %15s | %17s | %17s\n", "shape", "MIDI", "exact additive",
                "naive", "before", "after", "DC before/after", "peak before/after");
    for (OscillatorShape shape : {OscillatorShape::Saw, OscillatorShape::Square}) {
        for (int note : kNotes) {
            const double hz = spectrum::MidiHz(note);
            const std::size_t length = kSettle + kAnalysed;
            const auto exact = Measure(Additive(shape, hz, length), hz);
            const auto naive = Measure(Naive(shape, hz, length), hz);
            const auto beforeWave =
                RenderOscillator<CPreviousBandLimitedOscillator>(Tables::View(tables.before), shape, hz, length);
            const auto afterWave =
                RenderOscillator<CBandLimitedOscillator>(Tables::View(tables.after), shape, hz, length);
            const auto before = Measure(beforeWave, hz);
            const auto after = Measure(afterWave, hz);
            std::printf("%-6s %4d | %6.1f / %6.1f | %6.1f / %6.1f | %6.1f / %6.1f | %6.1f / %6.1f | %+7.4f / %+7.0e "
                        "| %7.3f / %7.3f\n",
                        shape == OscillatorShape::Saw ? "saw" : "square", note, exact.aliasRatioDb,
                        exact.worstAliasDb, naive.aliasRatioDb, naive.worstAliasDb, before.aliasRatioDb,
                        before.worstAliasDb, after.aliasRatioDb, after.worstAliasDb, before.dc, after.dc,
                        PeakOf(beforeWave), PeakOf(afterWave));
        }
    }
    std::printf("\n");
}

template <class Oscillator>
double NsPerSample(Oscillator& oscillator, std::vector<double>& block, int blocks)
{
    const double start = bench::ThreadCpuSeconds();
    for (int b = 0; b < blocks; ++b) {
        oscillator.Render(block.data(), bench::kBlock);
        benchmark::DoNotOptimize(block.data());
    }
    return (bench::ThreadCpuSeconds() - start) * 1e9 / (static_cast<double>(blocks) * bench::kBlock);
}

void PrintCost()
{
    const Tables& tables = SharedTables();
    constexpr int kRounds = 60, kBlocks = 400;
    std::printf("Cost per output sample (thread CPU time, best of %d interleaved rounds of %d blocks)\n\n", kRounds,
                kBlocks);
    std::printf("%-9s %4s | %9s | %9s | %7s\n", "shape", "MIDI", "before ns", "after ns", "change");
    double worstChange = -1.0;
    for (OscillatorShape shape : {OscillatorShape::Saw, OscillatorShape::Square, OscillatorShape::TriSquare}) {
        for (int note : {72, 103}) {
            const double hz = spectrum::MidiHz(note);
            CPreviousBandLimitedOscillator before(Tables::View(tables.before));
            CBandLimitedOscillator after(Tables::View(tables.after));
            before.SetSampleRate(kRate);
            after.SetSampleRate(kRate);
            before.SetShape(shape);
            after.SetShape(shape);
            before.SetPitch(PitchOf(hz));
            after.SetPitch(PitchOf(hz));
            std::vector<double> block(bench::kBlock);
            double bestBefore = 1e300, bestAfter = 1e300;
            for (int round = 0; round < kRounds; ++round) {
                bestBefore = std::min(bestBefore, NsPerSample(before, block, kBlocks));
                bestAfter = std::min(bestAfter, NsPerSample(after, block, kBlocks));
            }
            const double change = bestAfter / bestBefore - 1.0;
            worstChange = std::max(worstChange, change);
            const char* name = shape == OscillatorShape::Saw      ? "saw"
                               : shape == OscillatorShape::Square ? "square"
                                                                  : "trisquare";
            std::printf("%-9s %4d | %9.2f | %9.2f | %+6.1f%%\n", name, note, bestBefore, bestAfter, 100.0 * change);
        }
    }
    std::printf("\nslowest change %+.1f%% (allowed +5.0%%)\n\n", 100.0 * worstChange);
}

void BM_Oscillator(benchmark::State& state)
{
    const bool after = state.range(0) != 0;
    const auto shape = static_cast<OscillatorShape>(state.range(1));
    const Tables& tables = SharedTables();
    CPreviousBandLimitedOscillator previous(Tables::View(tables.before));
    CBandLimitedOscillator current(Tables::View(tables.after));
    previous.SetSampleRate(kRate);
    current.SetSampleRate(kRate);
    previous.SetShape(shape);
    current.SetShape(shape);
    previous.SetPitch(PitchOf(spectrum::MidiHz(84)));
    current.SetPitch(PitchOf(spectrum::MidiHz(84)));
    std::vector<double> block(bench::kBlock);
    for (auto _ : state) {
        if (after)
            current.Render(block.data(), bench::kBlock);
        else
            previous.Render(block.data(), bench::kBlock);
        benchmark::DoNotOptimize(block.data());
    }
    // Seconds per sample, printed with an SI prefix (n for ns).
    state.counters["s_per_sample"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * bench::kBlock,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::OneK::kIs1000);
    state.SetLabel(after ? "after" : "before");
}

} // namespace

// before (0) / after (1) x saw, square, TriSquare, at MIDI 84.
BENCHMARK(BM_Oscillator)->ArgsProduct({{0, 1}, {0, 1, 2}});

int main(int argc, char** argv)
{
    PrintQuality();
    PrintCost();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
