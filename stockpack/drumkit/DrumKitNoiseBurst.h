#pragma once
// The kit's clap and rim shot, which share one structure: the shared noise,
// amplified, through a low-pass and then a band-pass whose centre a second
// envelope sweeps (in octaves), under the body envelope and the amplifier.
// The clap's sweep envelope repeats, so one hit is four quick bursts; the
// rim shot's is a single snap round a narrow, ringing band. CNoiseBurst is
// what both share. Audio thread only once rendering starts.

#include "stockpack/drumkit/DrumKitVoice.h"
#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/ZazudEnvelope.h"

class CNoiseBurst : public CDrumKitVoice {
public:
    void SetSampleRate(int sampleRate) override;

protected:
    struct EnvelopeSettings {
        double attackSeconds, decaySeconds, decayCurve;
        int repeats;
    };
    struct Settings {
        double noiseGain;
        double lowPassOctaves;
        bool fourPoleLowPass;
        double bandOctaves;
        double bandResonance;
        double bandGain;       // after the band-pass's own resonance gain
        double sweepOctaves;   // band-pass centre shift at full sweep envelope
        EnvelopeSettings body, sweep;
    };
    CNoiseBurst(const Settings& settings, int sampleRate, int blockSize);

    void Trigger() noexcept override;
    void RenderSound(double* out, const double* noise, int frames) noexcept override;
    bool EnvelopesIdle() const noexcept override;

private:
    Settings settings;
    CBiquadFilter lowPass, bandPass;
    ZazudEnvelope bodyEnvelope, sweepEnvelope;
};

class CClap : public CNoiseBurst {
public:
    CClap(int sampleRate, int blockSize);
};

class CRimShot : public CNoiseBurst {
public:
    CRimShot(int sampleRate, int blockSize);
};
