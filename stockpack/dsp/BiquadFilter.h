#pragma once
// CBiquadFilter: the two-pole (12 dB per octave) resonant filter of the stock
// machines, with low-pass, high-pass, band-pass and band-stop responses and a
// cascaded four-pole form (the same section twice).
//
// Cutoff is given in octaves: f = 440 * 2^(octaves - 5) Hz, limited to
// 1 Hz .. a quarter of the sample rate. Resonance r sets the damping
// d = 1.4142135 * 10^(-r/10) (Butterworth at r = 0) and scales the output by
// 10^(-r/20). Band-pass and band-stop use d / 1.4142135 as 1/Q, so their
// bandwidth equals the centre frequency at r = 0.
//
// With modulation inputs the coefficients follow them every 4 samples;
// otherwise they change only with the settings. Audio thread only, except
// for the setters called before rendering starts.

#include <cstdint>
#include <limits>

#include "stockpack/dsp/RecentRun.h"

enum class FilterMode : std::int32_t { LowPass = 0, HighPass = 1, BandPass = 2, BandStop = 3 };

class CBiquadFilter {
public:
    static constexpr int kModulationInterval = 4;

    void SetSampleRate(int sampleRate);
    void SetMode(FilterMode mode);          // clears the histories
    void SetCutoff(double octaves);
    void SetResonance(double resonance);
    void SetFourPole(bool fourPole);        // clears the histories
    void SetOutputGain(double gainLinear);  // extra gain after the resonance's own
    /// Clears the histories.
    void Reset() noexcept;

    /// in and out may be the same array. cutoffModulation (octaves) and
    /// resonanceModulation are added to the settings per sample; null means
    /// none.
    void Process(const double* in, double* out, int frames, const double* cutoffModulation = nullptr,
                 const double* resonanceModulation = nullptr) noexcept;

    /// a.Process(inA, outA, frames, cutoffModulationA) and the same of b, in
    /// one pass: each recursion waits on its own last output, and two of
    /// them side by side overlap in the processor. inB may be outA (b then
    /// filters what a gives, sample by sample). The results are those of the
    /// two calls.
    static void ProcessPair(CBiquadFilter& a, const double* inA, double* outA, CBiquadFilter& b, const double* inB,
                            double* outB, int frames, const double* cutoffModulationA = nullptr,
                            const double* cutoffModulationB = nullptr) noexcept;

    /// Keeps the coefficients of the last count (a power of two) settings a
    /// modulation asked for, in the order they came: a drum's sweep asks
    /// for the same ones on every hit and then reads them back instead of
    /// computing them. Not for the audio thread.
    void RememberCoefficients(int count);

    FilterMode Mode() const { return mode; }
    /// The frequency the coefficients were last computed for, after limits.
    double EffectiveCutoffHz() const { return lastHz; }

private:
    struct Section {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;   // histories, unscaled
    };

    void UpdateCoefficients(double octaves, double r) noexcept
    {
        // Modulation that holds still (a steady formant band, a filter
        // envelope in sustain) costs a comparison.
        if (coefficientsValid && octaves == lastOctaves && r == lastResonance)
            return;
        ComputeCoefficients(octaves, r);
    }
    void ComputeCoefficients(double octaves, double resonance) noexcept;
    void ComputeFreshCoefficients(double octaves, double resonance) noexcept;
    /// Sets the coefficients kept for (octaves, r), if there are any.
    bool RecallCoefficients(double octaves, double r) noexcept;
    /// One section over frames samples with the current coefficients.
    void Run(Section& section, const double* in, double* out, int frames) const noexcept;
    /// Both sections over frames samples, the second on the first's output.
    void RunFourPole(const double* in, double* out, int frames) noexcept;

    Section first, second;                            // state
    double a0 = 1, a1 = 0, a2 = 0, b1 = 0, b2 = 0;    // coefficients
    double gain = 1;                                  // 10^(-r/20) * outputGain
    double lastHz = -1, lastResonance = 0;            // what the coefficients are for
    double lastOctaves = 0;
    bool coefficientsValid = false;
    double damping = 1.4142135, resonanceGain = 1;    // from the resonance alone
    double dampingResonance = 0;
    bool dampingValid = false;
    double cutoffOctaves = 5;                         // settings
    double resonance = 0;
    double outputGain = 1;
    FilterMode mode = FilterMode::LowPass;
    bool fourPole = false;
    int sampleRate = 44100;

    struct CoefficientKey {
        double octaves, r;
    };
    struct KeptCoefficients {
        CoefficientKey key{std::numeric_limits<double>::quiet_NaN(), 0.0};   // NaN matches nothing
        double a0 = 0, a1 = 0, a2 = 0, b1 = 0, b2 = 0, gain = 0, hz = 0;
        bool Matches(const CoefficientKey& k) const { return key.octaves == k.octaves && key.r == k.r; }
    };
    CRecentRun<KeptCoefficients, CoefficientKey> memory;   // empty unless asked for
};
