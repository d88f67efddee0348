#pragma once
// The kit's hi-hats: the shared noise through a band-pass at 8 kHz (the
// open hat then through a high-pass at 4 kHz), under one envelope whose
// decay its "Decay" parameter sets. CHiHat is what both share; the closed
// and the open hat differ only in their decay law, their curve and the
// extra high-pass. Neither chokes the other. Audio thread only once
// rendering starts.

#include "stockpack/drumkit/DrumKitVoice.h"
#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/ZazudEnvelope.h"

class CHiHat : public CDrumKitVoice {
public:
    void SetSampleRate(int sampleRate) override;

protected:
    struct Settings {
        int decayParameter;
        double decaySecondsPerUnit;
        double decayOffsetSeconds;
        double decayCurve;
        bool highPass;
    };
    CHiHat(const Settings& settings, int sampleRate, int blockSize);

    void Trigger() noexcept override;
    void ApplyParameter(int index, double value) noexcept override;
    void RenderSound(double* out, const double* noise, int frames) noexcept override;
    bool EnvelopesIdle() const noexcept override;

private:
    Settings settings;
    CBiquadFilter bandPass, highPass;
    ZazudEnvelope envelope;
};

class CHiHatClosed : public CHiHat {
public:
    CHiHatClosed(int sampleRate, int blockSize);
};

class CHiHatOpen : public CHiHat {
public:
    CHiHatOpen(int sampleRate, int blockSize);
};
