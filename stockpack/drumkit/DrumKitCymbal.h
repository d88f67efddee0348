#pragma once
// The kit's crash and ride cymbals: three band-limited squares at 1047,
// 1109 and 1175 Hz, each rendered once and then again with that first
// output as its pitch modulation, which scatters their partials into a
// metallic cluster. Their sum feeds two paths: a band-pass at 1050 Hz under
// the first envelope that also sweeps its centre, and a high-pass at
// 2049 Hz whose corner the second envelope sweeps; path 1 * 0.5 + path 2
// is shaped by the final envelope ("Decay"). CCymbal is what both share.
// Audio thread only once rendering starts.

#include <array>

#include "stockpack/drumkit/DrumKitVoice.h"
#include "stockpack/dsp/BandLimitedOscillator.h"
#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/ZazudEnvelope.h"

class CCymbal : public CDrumKitVoice {
public:
    void SetSampleRate(int sampleRate) override;

protected:
    struct Settings {
        int decayParameter;
        double decaySecondsPerUnit;
        double decayOffsetSeconds;
        double outputGain;
    };
    CCymbal(const Settings& settings, int sampleRate, int blockSize);

    void Trigger() noexcept override;
    void ApplyParameter(int index, double value) noexcept override;
    void RenderSound(double* out, const double* noise, int frames) noexcept override;
    bool EnvelopesIdle() const noexcept override;

private:
    Settings settings;
    std::array<CBandLimitedOscillator, 3> oscillators;
    CBiquadFilter bandPass, highPass;
    ZazudEnvelope bandEnvelope, highEnvelope, finalEnvelope;
};

class CCrashCymbal : public CCymbal {
public:
    CCrashCymbal(int sampleRate, int blockSize);
};

class CRideCymbal : public CCymbal {
public:
    CRideCymbal(int sampleRate, int blockSize);
};
