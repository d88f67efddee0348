#include "stockpack/dsp/FormantFilter.h"

#include <algorithm>
#include <cmath>

#include "stockpack/dsp/Pitch.h"

CFormantFilter::CFormantFilter()
{
    for (int b = 0; b < kBands; ++b) {
        bands[b].SetMode(FilterMode::BandPass);
        // The band's own cutoff setting is the 0-octave base; its glide
        // unit's pitch, added per sample, carries the whole frequency.
        bands[b].SetCutoff(0.0);
        bands[b].SetResonance(0.0);
        bands[b].SetOutputGain(kBandGain);
        glides[b].SetTimes(0.0, kGlideSecondsPerOctave);
        glides[b].SetCurve(0.0);
    }
}

void CFormantFilter::SetSampleRate(int rate)
{
    for (int b = 0; b < kBands; ++b) {
        bands[b].SetSampleRate(rate);
        glides[b].SetSampleRate(rate);
    }
}

void CFormantFilter::SetFormants(const std::array<double, kBands>& frequenciesHz)
{
    for (int b = 0; b < kBands; ++b) {
        if (frequenciesHz[b] > 0.0)
            glides[b].Start(HzToOctaves(frequenciesHz[b]));
    }
}

void CFormantFilter::ClearHistories() noexcept
{
    for (auto& band : bands)
        band.Reset();
}

void CFormantFilter::Reset() noexcept
{
    ClearHistories();
    for (auto& glide : glides)
        glide.Reset();
}

double CFormantFilter::BandHz(int band) const
{
    return OctavesToHz(glides[band].Pitch());
}

bool CFormantFilter::IsGliding() const
{
    return std::any_of(glides.begin(), glides.end(), [](const CPortamento& g) { return g.IsSliding(); });
}

void CFormantFilter::Process(const double* in, double* out, int frames) noexcept
{
    for (int start = 0; start < frames; start += kChunk) {
        const int n = std::min(kChunk, frames - start);
        // out may alias in: keep this chunk's input before the sum
        // overwrites it.
        std::copy(in + start, in + start + n, input.begin());
        std::fill(out + start, out + start + n, 0.0);
        for (int b = 0; b < kBands; ++b) {
            glides[b].RenderPitch(pitch.data(), n);
            bands[b].Process(input.data(), bandOut.data(), n, pitch.data(), nullptr);
            for (int i = 0; i < n; ++i)
                out[start + i] += bandOut[static_cast<std::size_t>(i)];
        }
    }
}
