#pragma once
// CSnareDrum: the kit's snare. Two sine/triangle tones a sixth apart
// (f1 = 80 * "SD Tune" + 140 Hz, f2 = f1 * 330/180) that drop 0.12 octave
// with a short pitch envelope, each under its own envelope, limited to
// +-0.8; and the snares: the shared noise through two filters, each under
// its own envelope, mixed by the gliding "SD Snappy" gain. Its output gains
// glide. Audio thread only once rendering starts.

#include "stockpack/drumkit/DrumKitVoice.h"
#include "stockpack/dsp/BiquadFilter.h"
#include "stockpack/dsp/SineTriangleOscillator.h"
#include "stockpack/dsp/ZazudEnvelope.h"

class CSnareDrum : public CDrumKitVoice {
public:
    CSnareDrum(int sampleRate, int blockSize);
    void SetSampleRate(int sampleRate) override;

protected:
    void Trigger() noexcept override;
    void ApplyParameter(int index, double value) noexcept override;
    void RenderSound(double* out, const double* noise, int frames) noexcept override;
    bool EnvelopesIdle() const noexcept override;

private:
    void RenderTone(CSineTriangleOscillator& oscillator, ZazudEnvelope& envelope, double pitch,
                    const double* offset, double* out, int frames) noexcept;
    /// Filtered noise in out, shaped by the envelope's amplifier gains.
    void ShapeNoise(ZazudEnvelope& envelope, double* out, int frames) noexcept;

    CSineTriangleOscillator tone1, tone2;
    ZazudEnvelope pitchEnvelope, toneEnvelope1, toneEnvelope2, noiseEnvelopeA, noiseEnvelopeB;
    CBiquadFilter noiseFilterA, noiseFilterB;
    double pitch1 = 0.0, pitch2 = 0.0;   // octaves
    double snappyTarget = 0.0;
    double snappy = 0.0;
};
