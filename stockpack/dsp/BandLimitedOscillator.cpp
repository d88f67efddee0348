#include "stockpack/dsp/BandLimitedOscillator.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "stockpack/dsp/Pitch.h"

namespace {

/// A delay computed from a modulated width can fall a little outside the
/// sample it belongs to; the correction is placed at the nearest end.
double ClampDelay(double delay)
{
    if (!(delay > 0.0))
        return 0.0;
    return delay < 0.999999 ? delay : 0.999999;
}

double Clamp01(double v)
{
    if (!(v > 0.0))
        return 0.0;
    return v < 1.0 ? v : 1.0;
}

double Wrap01(double v)
{
    return v - std::floor(v);
}

} // namespace

OscillatorShape CBandLimitedOscillator::ShapeFromParameter(double v)
{
    if (v < 1.0 / 3.0)
        return OscillatorShape::Saw;
    if (v < 2.0 / 3.0)
        return OscillatorShape::Square;
    return OscillatorShape::TriSquare;
}

CBandLimitedOscillator::CBandLimitedOscillator(const BandLimitedTable& step)
    : stepDelay(DelayOf(step)), step(step)
{
    const double lag = std::clamp(stepDelay - 0.5, 0.0, kResidualLength - 2.0);
    triangleLagWhole = static_cast<int>(lag);
    triangleLagPart = lag - triangleLagWhole;
    increment = IncrementFor(pitch);
    Reset();
}

void CBandLimitedOscillator::SetSampleRate(int rate)
{
    sampleRate = rate > 0 ? rate : 44100;
    increment = IncrementFor(pitch);
    lastModulatedOctaves = std::numeric_limits<double>::quiet_NaN();
}

void CBandLimitedOscillator::SetShape(OscillatorShape newShape)
{
    shape = newShape;
    Reset();
}

void CBandLimitedOscillator::SetPitch(double octaves)
{
    pitch = octaves;
    increment = IncrementFor(pitch);
}

void CBandLimitedOscillator::SetPulseWidth(double value)
{
    width = value;
}

void CBandLimitedOscillator::Reset() noexcept
{
    pulse.residual.fill(0.0);
    slope.residual.fill(0.0);
    rampResidual.fill(0.0);
    residualIndex = 0;
    phase = 0.0;
    const double w = Clamp01((width + 1.0) * 0.5);
    pulse.high = HighAt(0.0, 0.0, w);
    slope.high = HighAt(0.0, Wrap01(w * 0.5 + 0.5), 0.5);
    triangle = 0.0;
    restarted = true;
}

double CBandLimitedOscillator::DelayOf(const BandLimitedTable& step) noexcept
{
    // The oscillator reads the table by linear interpolation, whose area
    // the trapezoid rule gives exactly; the ideal step is 1 all along.
    const int count = step.table.count;
    if (step.table.Empty() || step.oversampling <= 0)
        return 0.0;
    double missing = 0.0;
    for (int i = 0; i < count; ++i)
        missing += 1.0 - step.table[i];
    missing -= 0.5 * ((1.0 - step.table[0]) + (1.0 - step.table[count - 1]));
    return missing / step.oversampling;
}

double CBandLimitedOscillator::TriangleAt(double phase, double w, double inc, int rate) noexcept
{
    // Rises 4 per period from -1 half a period before w / 2 up to +1 at
    // w / 2, then falls. The leaky integral bows each slope outwards, by
    // 2 x (1/2 - x) / (periods per time constant) at x periods into it.
    const double x = Wrap01(phase - w * 0.5 + 0.5);
    const double bow = 2.0 / (inc * rate);
    if (x < 0.5)
        return -1.0 + 4.0 * x + bow * x * (0.5 - x);
    const double fall = x - 0.5;
    return 1.0 - 4.0 * fall - bow * fall * (0.5 - fall);
}

double CBandLimitedOscillator::IncrementFor(double octaves) const noexcept
{
    double hz = OctavesToHz(octaves);
    if (!(hz >= 1.0))
        hz = 1.0;
    hz = std::min(hz, sampleRate * 0.25);
    return hz / sampleRate;
}

namespace {

/// to[k] += height x ((values[k] + slopes[k] x fraction) - 1) for k < n: a
/// jump's correction added to the pending ones. Built for processors with
/// AVX2 (four at a time) and for any x86-64, chosen when the library loads;
/// the roundings are the same in both (AVX2 brings no fused multiply-add).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
[[gnu::target_clones("avx2", "default")]]
#endif
void AccumulateStep(double* to, const double* values, const double* slopes, double fraction, double height,
                    int n) noexcept
{
    for (int k = 0; k < n; ++k)
        to[k] += height * ((values[k] + slopes[k] * fraction) - 1.0);
}

} // namespace

[[gnu::always_inline]] inline void CBandLimitedOscillator::AddStep(Residual& residual, double height, double delay) noexcept
{
    if (height == 0.0 || step.table.Empty() || step.oversampling <= 0)
        return;
    // The table is sampled oversampling times per output sample, so sample k
    // after the jump reads the same fraction between two entries for every
    // k: only the base index moves.
    const double position = delay * step.oversampling;
    const int base = static_cast<int>(position);
    const double fraction = position - base;
    const double* values = step.table.values;
    const int count = step.table.count;
    // Sample k reads entries base + k x oversampling and the next; past the
    // table's end it has reached its final 1.0 and there is nothing left to
    // correct. Counting the samples first, and splitting the ring where it
    // wraps, leaves two plain loops without a test per sample.
    const int last = count - 2 - base;
    if (last < 0)
        return;
    const int samples = std::min(kResidualLength, last / step.oversampling + 1);
    const int firstPart = std::min(samples, kResidualLength - residualIndex);
    double* ring = residual.data();
    const double* entry = values + base;
    const int stride = step.oversampling;
    double* slot = ring + residualIndex;
    if (step.rowValues != nullptr && base < stride && samples <= step.SpanSamples()) {
        // The same entries and differences, side by side: two loops the
        // compiler vectorizes, with the arithmetic below unchanged.
        const std::size_t row = static_cast<std::size_t>(base) * static_cast<std::size_t>(step.SpanSamples());
        const double* rowValues = step.rowValues + row;
        const double* rowSlopes = step.rowSlopes + row;
        AccumulateStep(slot, rowValues, rowSlopes, fraction, height, firstPart);
        AccumulateStep(ring, rowValues + firstPart, rowSlopes + firstPart, fraction, height, samples - firstPart);
        return;
    }
    for (int k = 0; k < firstPart; ++k, entry += stride) {
        const double value = entry[0] + (entry[1] - entry[0]) * fraction;
        slot[k] += height * (value - 1.0);
    }
    for (int k = 0; k < samples - firstPart; ++k, entry += stride) {
        const double value = entry[0] + (entry[1] - entry[0]) * fraction;
        ring[k] += height * (value - 1.0);
    }
}

bool CBandLimitedOscillator::HighAt(double phase, double rise, double duty) noexcept
{
    if (duty <= 0.0)
        return false;
    if (duty >= 1.0)
        return true;
    double since = phase - rise;
    if (since < 0.0)
        since += 1.0;
    return since < duty;
}

void CBandLimitedOscillator::TrackEdges(PulseTrack& track, double height, double rise, double duty,
                                        double previousPhase, double inc) noexcept
{
    if (duty > 0.0 && duty < 1.0) {
        // How far along this sample's step of the phase each edge lies; an
        // edge further than the step was not passed.
        double fall = rise + duty;
        if (fall >= 1.0)
            fall -= 1.0;
        double toRise = rise - previousPhase;
        if (toRise <= 0.0)
            toRise += 1.0;
        double toFall = fall - previousPhase;
        if (toFall <= 0.0)
            toFall += 1.0;
        const bool passRise = toRise <= inc;
        const bool passFall = toFall <= inc;
        if (passRise || passFall) {
            // At most one of each per sample (the step is at most a quarter
            // period); the earlier acts first.
            const bool riseFirst = passRise && (!passFall || toRise < toFall);
            for (int e = 0; e < 2; ++e) {
                const bool rising = (e == 0) == riseFirst;
                if (!(rising ? passRise : passFall) || rising == track.high)
                    continue;
                const double distance = rising ? toRise : toFall;
                AddStep(track.residual, rising ? height : -height, ClampDelay((inc - distance) / inc));
                track.high = rising;
            }
        }
    }
    // A modulated width can move an edge across the phase without the phase
    // crossing it; the pulse then follows at this sample.
    const bool high = HighAt(phase, rise, duty);
    if (high != track.high) {
        AddStep(track.residual, high ? height : -height, 0.0);
        track.high = high;
    }
}

double CBandLimitedOscillator::StepAt(double samples) const noexcept
{
    if (samples < 0.0)
        return 0.0;
    const double position = samples * step.oversampling;
    const int base = static_cast<int>(position);
    if (base + 1 >= step.table.count)
        return 1.0;
    const double* values = step.table.values;
    return values[base] + (values[base + 1] - values[base]) * (position - base);
}

void CBandLimitedOscillator::StartTriangle(double w, double slopeRise) noexcept
{
    // The triangle the slope's running sum draws stands, in the steady
    // state, where the ideal triangle with its edges delayed by the step
    // would stand half a sample later, apart from the edges still being
    // smoothed. Those the phase passed within the step's span before the
    // first sample get their pending corrections, and the integral starts
    // with what their smoothed slope had summed to against the ideal one.
    // Any other start leaves an offset that only the leak removes, over
    // seconds.
    const double inc = increment;
    increments.fill(inc);
    steadyIncrement = inc;
    catchingUp = 0;
    double ahead = 0.0;   // slope x samples
    for (const double edge : {slopeRise, Wrap01(slopeRise + 0.5)}) {
        const double jump = edge == slopeRise ? 2.0 : -2.0;
        for (double back = Wrap01(-edge);; back += 1.0) {
            const double before = (inc + back) / inc;   // samples before the first sample
            if (before >= step.SpanSamples())
                break;
            AddStep(slope.residual, jump, before);
            double smoothed = 0.0;
            for (double x = before - 1.0; x >= 0.0; x -= 1.0)
                smoothed += StepAt(x);
            ahead += jump * (smoothed - std::max(0.0, before - stepDelay - 0.5));
        }
    }
    triangle = TriangleAt((0.5 - stepDelay) * inc, w, inc, sampleRate) + 4.0 * inc * ahead;
}

// Called for every sample of the pulse shapes: a call per sample cost more
// than the work it does in the common case of no edge.
[[gnu::always_inline]] inline void CBandLimitedOscillator::TrackPulse(double previousPhase, double inc, double w, bool wrapped) noexcept
{
    // The pulse rises at phase 0 and falls at w: the general tracker's
    // work with the wrap as the only rise, written out for the common case.
    if (w > 0.0 && w < 1.0) {
        if (wrapped) {
            if (pulse.high) {
                // It fell at w before the wrap.
                AddStep(pulse.residual, -1.0, ClampDelay((phase + 1.0 - w) / inc));
                pulse.high = false;
            }
            AddStep(pulse.residual, 1.0, ClampDelay(phase / inc));
            pulse.high = true;
        }
        if (pulse.high && phase >= w && (wrapped || previousPhase < w)) {
            AddStep(pulse.residual, -1.0, ClampDelay((phase - w) / inc));
            pulse.high = false;
        }
    }
    const bool high = phase < w;
    if (high != pulse.high) {
        AddStep(pulse.residual, high ? 1.0 : -1.0, 0.0);
        pulse.high = high;
    }
}

void CBandLimitedOscillator::Render(double* out, int frames, const double* pitchModulation,
                                    const double* widthModulation, const double* syncIn, double* syncOut) noexcept
{
    // Without sync or width modulation (a drum's squares, most synth
    // patches) the per-sample tests for them are compiled out.
    const bool plain = widthModulation == nullptr && syncIn == nullptr && syncOut == nullptr;
    switch (shape) {
    case OscillatorShape::Saw:
        if (plain)
            RenderShape<OscillatorShape::Saw, true>(out, frames, pitchModulation, nullptr, nullptr, nullptr);
        else
            RenderShape<OscillatorShape::Saw, false>(out, frames, pitchModulation, widthModulation, syncIn, syncOut);
        break;
    case OscillatorShape::Square:
        if (plain)
            RenderShape<OscillatorShape::Square, true>(out, frames, pitchModulation, nullptr, nullptr, nullptr);
        else
            RenderShape<OscillatorShape::Square, false>(out, frames, pitchModulation, widthModulation, syncIn,
                                                        syncOut);
        break;
    case OscillatorShape::TriSquare:
        if (plain)
            RenderShape<OscillatorShape::TriSquare, true>(out, frames, pitchModulation, nullptr, nullptr, nullptr);
        else
            RenderShape<OscillatorShape::TriSquare, false>(out, frames, pitchModulation, widthModulation, syncIn,
                                                           syncOut);
        break;
    }
}

template <OscillatorShape kShape, bool kPlain>
void CBandLimitedOscillator::RenderShape(double* out, int frames, const double* pitchModulation,
                                         const double* widthModulation, const double* syncIn,
                                         double* syncOut) noexcept
{
    if constexpr (kPlain) {
        widthModulation = nullptr;
        syncIn = nullptr;
        syncOut = nullptr;
    }
    static_assert((kResidualLength & (kResidualLength - 1)) == 0, "the residual rings are indexed with a mask");
    constexpr bool saw = kShape == OscillatorShape::Saw;
    constexpr bool triSquare = kShape == OscillatorShape::TriSquare;
    const double fixedWidth = Clamp01((width + 1.0) * 0.5);
    const double fixedSlopeRise = Wrap01(fixedWidth * 0.5 + 0.5);
    // Long enough not to bend the triangle audibly, short enough to pull
    // rounding drift back to the middle.
    const double leak = 1.0 - 1.0 / sampleRate;
    if (restarted) {
        // The width may have changed since the reset.
        pulse.high = HighAt(0.0, 0.0, fixedWidth);
        slope.high = HighAt(0.0, fixedSlopeRise, 0.5);
        if (triSquare)
            StartTriangle(fixedWidth, fixedSlopeRise);
        restarted = false;
    }

    // The saw's output 2 (phase - delay x inc + correction) - 1, with the
    // constant part folded into one term that changes only with the pitch.
    double sawOffset = 1.0 + 2.0 * stepDelay * increment;

    // With a pitch input the increments of a piece are computed before its
    // samples: the loop over them then calls no library function, whose
    // call would save and restore its state every sample.
    constexpr int kPiece = 64;
    static_assert(kPiece % kPitchInterval == 0, "pieces start on a pitch update");
    double pieceIncrements[kPiece / kPitchInterval];
    for (int i = 0; i < frames; ++i) {
        if (pitchModulation != nullptr && (i & (kPitchInterval - 1)) == 0) {
            if (i % kPiece == 0) {
                const int end = std::min(frames, i + kPiece);
                for (int k = i; k < end; k += kPitchInterval) {
                    // A square or a held value modulates with the same
                    // octaves for many steps in a row: reuse the last one.
                    const double octaves = pitch + pitchModulation[k];
                    if (octaves != lastModulatedOctaves) {
                        lastModulatedOctaves = octaves;
                        lastModulatedIncrement = IncrementFor(octaves);
                    }
                    pieceIncrements[(k - i) / kPitchInterval] = lastModulatedIncrement;
                }
            }
            increment = pieceIncrements[(i % kPiece) / kPitchInterval];
            sawOffset = 1.0 + 2.0 * stepDelay * increment;
        }
        const double inc = increment;
        double w = fixedWidth;
        double slopeRise = fixedSlopeRise;
        if (!saw && widthModulation != nullptr) {
            w = Clamp01((width + widthModulation[i] + 1.0) * 0.5);
            if (triSquare)
                slopeRise = Wrap01(w * 0.5 + 0.5);
        }
        bool wrapped = false;

        if (syncIn != nullptr && syncIn[i] < 0.5) {
            // Restart at phase 0 on this sample; the jump from where the
            // waveform would have gone is smoothed like any other. The
            // triangle, an integral, simply turns.
            if (saw)
                AddStep(rampResidual, -Wrap01(phase + inc), 0.0);
            phase = 0.0;
            if (!saw) {
                const bool high = w > 0.0;
                if (high != pulse.high)
                    AddStep(pulse.residual, high ? 1.0 : -1.0, 0.0);
                pulse.high = high;
            }
            if (triSquare) {
                const bool high = HighAt(0.0, slopeRise, 0.5);
                if (high != slope.high)
                    AddStep(slope.residual, high ? 2.0 : -2.0, 0.0);
                slope.high = high;
            }
        } else {
            const double previous = phase;
            phase += inc;
            if (phase >= 1.0) {
                phase -= 1.0;
                wrapped = true;
                if (saw)
                    AddStep(rampResidual, -1.0, ClampDelay(phase / inc));
            }
            if (!saw)
                TrackPulse(previous, inc, w, wrapped);
            if (triSquare)
                TrackEdges(slope, 2.0, slopeRise, 0.5, previous, inc);
        }

        double value;
        if (saw)
            value = 2.0 * (phase + TakeCorrection(rampResidual)) - sawOffset;
        else
            value = 2.0 * ((pulse.high ? 1.0 : 0.0) + TakeCorrection(pulse.residual)) - 1.0;
        if (triSquare) {
            const double slopeValue = (slope.high ? 1.0 : -1.0) + TakeCorrection(slope.residual);
            // The triangle climbs at the rate the phase had when its slope's
            // corrections were placed, so that a change of pitch reaches
            // both together instead of leaving an offset behind.
            // A steady pitch needs no look back.
            increments[static_cast<std::size_t>(residualIndex)] = inc;
            if (inc != steadyIncrement) {
                steadyIncrement = inc;
                catchingUp = triangleLagWhole + 2;
            }
            double lagged = inc;
            if (catchingUp > 0) {
                --catchingUp;
                const double later =
                    increments[static_cast<std::size_t>((residualIndex - triangleLagWhole) & (kResidualLength - 1))];
                const double earlier = increments[static_cast<std::size_t>((residualIndex - triangleLagWhole - 1) &
                                                                           (kResidualLength - 1))];
                lagged = later + (earlier - later) * triangleLagPart;
            }
            triangle = (triangle + slopeValue * 4.0 * lagged) * leak;
            value = 0.5 * value + 0.5 * triangle;
        }
        out[i] = value;
        residualIndex = (residualIndex + 1) & (kResidualLength - 1);
        if (syncOut != nullptr)
            syncOut[i] = wrapped ? 0.0 : 1.0;
    }
}
