#pragma once
// CPreviousBandLimitedOscillator: the stock band-limited oscillator as it
// was before its ramp and triangle waited for the step's delay (its saw
// carries an offset of about 6 f0 / fs). Kept unchanged and used only by the
// oscillator quality benchmark, which sets its sound and its cost per
// sample beside the current oscillator's in one run.

#include <array>
#include <cstdint>

#include "stockpack/dsp/BandLimitedOscillator.h"   // OscillatorShape
#include "stockpack/dsp/Tables.h"

class CPreviousBandLimitedOscillator {
public:
    static constexpr int kPitchInterval = 4;   // a power of two
    /// Output samples the correction of one jump spans; the step table's
    /// span must not exceed it.
    static constexpr int kResidualLength = 64;

    /// The shape a parameter value selects: Saw below 1/3, Square below 2/3,
    /// TriSquare from there (1.0 included).
    static OscillatorShape ShapeFromParameter(double v);

    explicit CPreviousBandLimitedOscillator(const BandLimitedTable& step);

    void SetSampleRate(int sampleRate);
    /// Resets the phase and the pending corrections.
    void SetShape(OscillatorShape shape);
    void SetPitch(double octaves);
    /// Width input -1 .. 1; the pulse is high while the phase is below
    /// (width + 1) / 2.
    void SetPulseWidth(double width);
    void Reset() noexcept;

    /// pitchModulation (octaves) and widthModulation are added per sample;
    /// null means none. With syncIn, the phase restarts on every sample where
    /// syncIn is 0. syncOut, when given, receives 0 on every sample where the
    /// phase wrapped and 1 elsewhere.
    void Render(double* out, int frames, const double* pitchModulation = nullptr,
                const double* widthModulation = nullptr, const double* syncIn = nullptr,
                double* syncOut = nullptr) noexcept;

    OscillatorShape Shape() const { return shape; }
    double FrequencyHz() const { return increment * sampleRate; }

private:
    using Residual = std::array<double, kResidualLength>;

    /// A square that is high while the phase is within duty of its rise
    /// point (cyclically), with its own pending corrections.
    struct PulseTrack {
        Residual residual{};
        bool high = false;
    };

    double IncrementFor(double octaves) const noexcept;
    /// A jump of height that happened delay samples (0 <= delay < 1) before
    /// the sample about to be output.
    void AddStep(Residual& residual, double height, double delay) noexcept;
    /// Corrects the edges a track passed on the way from previousPhase over
    /// inc, and any mismatch left by a moving width at the current phase.
    void TrackEdges(PulseTrack& track, double height, double rise, double duty, double previousPhase,
                    double inc) noexcept;
    /// The main pulse (high below w): TrackEdges for a rise at 0.
    void TrackPulse(double previousPhase, double inc, double w, bool wrapped) noexcept;
    static bool HighAt(double phase, double rise, double duty) noexcept;
    double TakeCorrection(Residual& residual) noexcept
    {
        double& slot = residual[static_cast<std::size_t>(residualIndex)];
        const double value = slot;
        slot = 0.0;
        return value;
    }
    template <OscillatorShape kShape>
    void RenderShape(double* out, int frames, const double* pitchModulation, const double* widthModulation,
                     const double* syncIn, double* syncOut) noexcept;

    PulseTrack pulse;        // state
    PulseTrack slope;        // TriSquare: the square whose integral is the triangle
    Residual rampResidual{}; // the saw's wrap
    int residualIndex = 0;
    double phase = 0.0;
    double triangle = 0.0;
    double increment = 0.0;  // derived
    BandLimitedTable step;   // settings
    double pitch = 5.0;
    double width = 0.0;
    OscillatorShape shape = OscillatorShape::Saw;
    int sampleRate = 44100;
};
