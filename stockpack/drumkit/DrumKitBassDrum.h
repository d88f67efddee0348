#pragma once
// CBassDrum: the kit's bass drum. A sine/triangle body swept from
// 108 * "BD Tune" + 142 Hz down to about 50 Hz by its pitch envelope, under
// a body envelope with hold, limited to +-0.9, plus a beater click: a unit
// impulse at the hit through two filters and a touch of filtered noise,
// under a short click envelope. Its gains glide (a level change never
// clicks the low end). Audio thread only once rendering starts.

#include "stockpack/drumkit/DrumKitVoice.h"
#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/SineTriangleOscillator.h"
#include "stockpack/dsp/ZazudEnvelope.h"

class CBassDrum : public CDrumKitVoice {
public:
    CBassDrum(int sampleRate, int blockSize);
    void SetSampleRate(int sampleRate) override;

protected:
    void Trigger() noexcept override;
    void ApplyParameter(int index, double value) noexcept override;
    void RenderSound(double* out, const double* noise, int frames) noexcept override;
    bool EnvelopesIdle() const noexcept override;

private:
    void RenderClick(double* out, const double* noise, int frames) noexcept;

    CSineTriangleOscillator body;
    ZazudEnvelope pitchEnvelope, bodyEnvelope, clickEnvelope;
    CBiquadFilter clickLowPass, clickBandPass, clickNoiseFilter;
    double pitchDepth = 0.0;   // octaves above the base at full pitch envelope
    bool impulsePending = false;
};
