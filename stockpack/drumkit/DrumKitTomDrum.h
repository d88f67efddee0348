#pragma once
// CTomDrum: the kit's low, mid and high tom. Two sine/triangle tones at
// the tom's pair of frequencies, bent down onto their pitch by a short
// pitch envelope, under the body envelope ("Decay"); the third unit is a
// band-pass at the tom's skin frequency that colours a burst of the shared
// noise under the pitch envelope. All three frequencies scale with the
// tuning t = 1 + "Tune". Audio thread only once rendering starts.

#include "stockpack/drumkit/DrumKitVoice.h"
#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/SineTriangleOscillator.h"
#include "stockpack/dsp/ZazudEnvelope.h"

class CTomDrum : public CDrumKitVoice {
public:
    /// tom: 0 low, 1 mid, 2 high.
    CTomDrum(int tom, int sampleRate, int blockSize);
    void SetSampleRate(int sampleRate) override;

protected:
    void Trigger() noexcept override;
    void ApplyParameter(int index, double value) noexcept override;
    void RenderSound(double* out, const double* noise, int frames) noexcept override;
    bool EnvelopesIdle() const noexcept override;

private:
    void Tune(double v) noexcept;

    int tom;
    CSineTriangleOscillator tone1, tone2;
    CBiquadFilter skin;
    ZazudEnvelope bodyEnvelope, pitchEnvelope;
    double pitch1 = 0.0, pitch2 = 0.0;   // octaves
};
