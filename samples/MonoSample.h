#pragma once
// CMonoSample: one channel of 64-bit samples in memory with its rate, read
// from and written to mono 16-bit PCM WAV files.

#include <cstdint>
#include <vector>

class CMonoSample {
public:
    CMonoSample() = default;
    CMonoSample(int count, int sampleRate);
    CMonoSample(int count, const double* values, int sampleRate);
    CMonoSample(const CMonoSample&) = default;
    CMonoSample& operator=(const CMonoSample&) = default;

    /// Replaces the samples with those of a mono 16-bit PCM WAV file; the
    /// rate stays as it was. Throws CError with the file's path; the sample
    /// is empty after a failure.
    void LoadWav(const char* path);
    /// Writes a mono 16-bit PCM WAV file at the sample's rate. Throws
    /// "Can't Open File <%s>" or "Can't Write To File <%s>".
    void SaveWav(const char* path) const;
    /// Scales so that the largest absolute value is 1; silence stays.
    void Normalize();

    int GetCount() const { return static_cast<int>(samples.size()); }
    const double* GetSamples() const { return samples.data(); }
    double* GetSamples() { return samples.data(); }
    int GetSampleRate() const { return sampleRate; }
    void SetSampleRate(int rate) { sampleRate = rate; }

private:
    std::vector<double> samples;
    std::int32_t sampleRate = 0;
};
