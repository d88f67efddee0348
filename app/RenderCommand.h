#pragma once
// `corvane --render PROJECT -o OUT.wav`: plays the song once from its start
// through the offline driver, as fast as the machine allows, then a tail of
// silence for the reverbs and releases to ring out, into a WAV file.

#include <string>

class CApplication;

struct RenderRequest {
    std::string projectPath;
    std::string outputPath;
    bool floatFormat = true;     // 32-bit float, else 16-bit PCM
    int sampleRate = 44100;
    int blockSize = 256;
    double tailSeconds = 2.0;
    bool quiet = false;
};

struct RenderSummary {
    long long frames = 0;
    double peakDb = -90.0;
    long long clippedSamples = 0;
    bool silent = false;           // nothing a 16-bit sample could hold  // beyond full scale (-1 … +1), either channel
    double seconds = 0.0;        // length of the rendered audio
    double speed = 0.0;          // multiple of real time
};

/// Throws CError with the message the user sees.
RenderSummary RenderProject(CApplication& application, const RenderRequest& request);
/// The song's length in samples at the host's tempo and rate.
long long SongLengthSamples(CApplication& application);
