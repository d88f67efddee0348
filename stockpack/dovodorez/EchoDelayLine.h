#pragma once
// CEchoDelayLine: one channel of one DovoDorez tap: a one-second ring buffer
// read at a smoothed offset, with feedback through a two-pole filter inside
// the loop. What the line outputs is what it writes: the input plus the
// fed-back delayed signal, filtered.
//
// The read offset glides toward its target (the same glide as the mixer's
// gains), so a change of delay time bends the pitch of what is in the line
// instead of jumping and clicking.
//
// The filter's cutoff follows a modulation value per sample (the tap's LFO),
// so its coefficients are recomputed for every sample Process is given a
// modulation buffer for. The two lines of a tap share their settings and
// their modulation: ProcessPair runs them together and designs the filter
// once per sample for both.
//
// Threads: Process on the audio thread; the setters under the owning
// machine's lock. Only SetSampleRate allocates.

#include <vector>

class CEchoDelayLine {
public:
    enum class FilterMode { LowPass, HighPass, BandPass, None };

    struct Coefficients {
        double a0 = 0, a1 = 0, a2 = 0, b1 = 0, b2 = 0;
        bool operator==(const Coefficients&) const = default;
    };

    explicit CEchoDelayLine(int sampleRate = 44100);

    /// A new zeroed buffer of one second when the length changes; the
    /// content survives a rate that keeps the length.
    void SetSampleRate(int sampleRate);
    /// Delay in seconds, 0 .. 1 (clamped); the read offset glides there.
    void SetDelay(double seconds);
    void SetFeedback(double gain) { feedback = gain; }
    void SetFilterMode(FilterMode mode);
    /// Cutoff value in octaves: 12 * m * 440 * 2^(F - 5) Hz for modulation m.
    void SetFrequency(double octaves);
    void SetBandwidth(double hz);

    /// out[i] = the line's output for in[i]; modulation (may be null) sets
    /// the filter's m per sample.
    void Process(const double* in, double* out, const double* modulation, int frames) noexcept;
    /// Process on both lines with the same modulation, with the output
    /// Process would give each; one line's output buffer must not be the
    /// other's input. While the two filters have the same design and stand
    /// at the same m (always, for lines given the same settings) each m is
    /// designed once and copied to the second line; otherwise each line
    /// designs its own.
    static void ProcessPair(CEchoDelayLine& first, CEchoDelayLine& second, const double* firstIn,
                            const double* secondIn, double* firstOut, double* secondOut, const double* modulation,
                            int frames) noexcept;

    int Length() const { return static_cast<int>(buffer.size()); }
    double TargetOffset() const { return targetOffset; }
    double SmoothedOffset() const { return smoothedOffset; }
    /// Samples between writing a value and reading it back at the target.
    double TargetDelaySamples() const { return Length() - targetOffset; }
    const Coefficients& FilterCoefficients() const { return coefficients; }

private:
    /// Whether other's filter gives exactly this one's coefficients for
    /// every m from now on.
    bool SharesFilterWith(const CEchoDelayLine& other) const noexcept;
    /// One sample through the line with the current coefficients.
    double Step(double in, int length) noexcept;
    void UpdateCoefficients(double modulation) noexcept;
    void UpdateTargetOffset() noexcept;

    std::vector<double> buffer;          // state
    int writeIndex = 0;
    double smoothedOffset = 0.0;
    double s1 = 0, s2 = 0, y1 = 0, y2 = 0;
    Coefficients coefficients;           // derived
    double appliedModulation = 0.0;      // the m they were computed for
    double targetOffset = 0.0;
    double baseFrequencyHz = 0.0;        // 12 * 440 * 2^(F - 5), F in single precision
    double bandPassC = 0.0;
    double delaySeconds = 0.0;           // settings
    double feedback = 0.0;
    double bandwidthHz = 10.0;
    FilterMode mode = FilterMode::LowPass;
    int sampleRate = 0;
};
