#pragma once
// CBandLimitedOscillator: the audio oscillator of the stock synthesizers:
// saw, pulse ("Square") and "TriSquare", a pulse with a triangle riding on it
// (half each: the triangle peaks in the middle of the high part and dips in
// the middle of the low part, so the wave crosses zero only at the pulse's
// edges), with pitch and pulse-width modulation and hard sync.
//
// The naive waveform v (0 .. 1) jumps at the phase wrap, at the pulse-width
// crossing and at a sync reset. Each jump is smoothed by the library's
// minimum-phase band-limited step (minBLEP): the step, placed at the jump's
// sub-sample position and scaled by its height, minus the ideal step is
// added to the following samples. The output is 2v - 1 of the corrected
// value. TriSquare's triangle is the running integral of a second, equally
// corrected square, which keeps it band-limited as well.
//
// A minimum-phase step rises late: its correction lags the jump by the
// step's delay (about 3 samples). The parts of the wave that are not jumps
// (the saw's ramp, the triangle) are drawn that many samples late as well,
// so that each jump meets the wave where it is; otherwise the saw would
// carry an offset of twice the delay times the frequency over the rate, and
// the triangle, a running sum, one after every start and change of pitch.
//
// Pitch is in octaves, 440 * 2^(pitch - 5) Hz, limited to 1 Hz .. a quarter
// of the sample rate. With a pitch input the frequency follows it every
// kPitchInterval samples. Audio thread only once rendering starts.

#include <array>
#include <cstdint>
#include <limits>

#include "stockpack/dsp/Tables.h"

enum class OscillatorShape : std::int32_t { Saw, Square, TriSquare };

class CBandLimitedOscillator {
public:
    static constexpr int kPitchInterval = 4;   // a power of two
    /// Output samples the correction of one jump spans; the step table's
    /// span must not exceed it.
    static constexpr int kResidualLength = 64;

    /// The shape a parameter value selects: Saw below 1/3, Square below 2/3,
    /// TriSquare from there (1.0 included).
    static OscillatorShape ShapeFromParameter(double v);

    explicit CBandLimitedOscillator(const BandLimitedTable& step);

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
    /// Output samples by which the step's correction lags a jump: the
    /// area between the ideal step and the table's.
    double StepDelay() const { return stepDelay; }

private:
    using Residual = std::array<double, kResidualLength>;

    /// A square that is high while the phase is within duty of its rise
    /// point (cyclically), with its own pending corrections.
    struct PulseTrack {
        Residual residual{};
        bool high = false;
    };

    static double DelayOf(const BandLimitedTable& step) noexcept;
    /// TriSquare's triangle at a phase, peaking at w / 2, as the leaky
    /// integral draws it in the steady state.
    static double TriangleAt(double phase, double w, double inc, int rate) noexcept;
    double IncrementFor(double octaves) const noexcept;
    /// A jump of height that happened delay samples (0 <= delay; within a
    /// sample except when a restart catches up on earlier edges) before the
    /// sample about to be output.
    void AddStep(Residual& residual, double height, double delay) noexcept;
    /// Corrects the edges a track passed on the way from previousPhase over
    /// inc, and any mismatch left by a moving width at the current phase.
    void TrackEdges(PulseTrack& track, double height, double rise, double duty, double previousPhase,
                    double inc) noexcept;
    /// The step table at a time after its jump, as AddStep reads it.
    double StepAt(double samples) const noexcept;
    /// TriSquare's triangle and its slope's pending corrections at a
    /// restart, as if the wave had been running before it.
    void StartTriangle(double w, double slopeRise) noexcept;
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
    template <OscillatorShape kShape, bool kPlain>
    void RenderShape(double* out, int frames, const double* pitchModulation, const double* widthModulation,
                     const double* syncIn, double* syncOut) noexcept;

    PulseTrack pulse;        // state
    PulseTrack slope;        // TriSquare: the square whose integral is the triangle
    Residual rampResidual{}; // the saw's wrap
    Residual increments{};   // TriSquare: the phase step of each recent sample
    double steadyIncrement = 0.0; // the step since when...
    int catchingUp = 0;           // ...and for how many more samples the triangle looks back
    int residualIndex = 0;
    double phase = 0.0;
    double triangle = 0.0;
    bool restarted = true;   // the tracks and the triangle are set when rendering starts
    double increment = 0.0;  // derived
    double lastModulatedOctaves = std::numeric_limits<double>::quiet_NaN();  // NaN matches nothing
    double lastModulatedIncrement = 0.0;
    double stepDelay = 0.0;
    int triangleLagWhole = 0;     // the triangle's lag behind the phase,
    double triangleLagPart = 0.0; // stepDelay - 1/2 samples, split
    BandLimitedTable step;   // settings
    double pitch = 5.0;
    double width = 0.0;
    OscillatorShape shape = OscillatorShape::Saw;
    int sampleRate = 44100;
};
