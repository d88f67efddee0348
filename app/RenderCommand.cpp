#include "app/RenderCommand.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "app/Application.h"
#include "drivers/OfflineDriver.h"
#include "framework/Error.h"
#include "host/CorvHost.h"
#include "host/Studio.h"
#include "machines/HDRecorder.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "samples/WavStreamWriter.h"
#include "sequencing/Pattern.h"
#include "sequencing/SequenceEditor.h"

namespace {

constexpr int kStereo = 2;

void PrintProgress(double renderedSeconds, double totalSeconds)
{
    std::fprintf(stderr, "\rRendering: %6.1f of %.1f s", renderedSeconds, totalSeconds);
    std::fflush(stderr);
}

} // namespace

long long SongLengthSamples(CApplication& application)
{
    const long long units = application.SequenceEditor().Length();
    return units * CPattern::kTicksPerUnit * application.Host().GetSamplesPerTick();
}

RenderSummary RenderProject(CApplication& application, const RenderRequest& request)
{
    if (request.sampleRate <= 0 || request.blockSize <= 0)
        throw CError("Invalid Format");
    OpenProject(application.Project(), request.projectPath);

    COfflineDriver driver(request.sampleRate, request.blockSize, kStereo);
    application.AdoptDriverFormat(driver);
    driver.SetCallback(AudioCallback{&CStudio::AudioCallback, &application.Studio()});

    const long long songFrames = SongLengthSamples(application);
    const long long tailFrames = std::llround(std::max(0.0, request.tailSeconds) * request.sampleRate);
    const long long totalFrames = songFrames + tailFrames;

    CWavStreamWriter writer;
    const WavSampleFormat format = request.floatFormat ? WavSampleFormat::Float32 : WavSampleFormat::Pcm16;
    if (!writer.Open(request.outputPath.c_str(), format, kStereo, request.blockSize))
        throw CError("Failed To Open File '%s' For Writing", request.outputPath.c_str());

    // Recorder tracks armed with a file in the project record the render.
    for (const std::string& reason : application.Recorder().StartAll())
        std::fprintf(stderr, "%s\n", reason.c_str());

    CSequenceEditor& song = application.SequenceEditor();
    song.SetLoop(false);
    if (songFrames > 0)
        song.Play();

    const double totalSeconds = static_cast<double>(totalFrames) / request.sampleRate;
    const bool showProgress = !request.quiet && totalSeconds > 1.0;
    double peak = 0.0;
    long long written = 0;
    auto lastProgress = std::chrono::steady_clock::now();
    const auto start = lastProgress;
    driver.Start();
    while (written < totalFrames) {
        double* const* buffers = driver.Buffers();
        driver.Render(1);
        const int frames = static_cast<int>(std::min<long long>(request.blockSize, totalFrames - written));
        for (int c = 0; c < kStereo; ++c) {
            for (int s = 0; s < frames; ++s)
                peak = std::max(peak, std::fabs(buffers[c][s]));
        }
        writer.Append(buffers[0], buffers[1], frames);
        written += frames;
        const auto now = std::chrono::steady_clock::now();
        if (showProgress && now - lastProgress > std::chrono::milliseconds(250)) {
            PrintProgress(static_cast<double>(written) / request.sampleRate, totalSeconds);
            lastProgress = now;
        }
    }
    driver.Stop();
    song.Stop();
    application.Recorder().StopAll();
    writer.Close(request.sampleRate);
    if (showProgress)
        std::fprintf(stderr, "\n");
    if (writer.WriteFailed())
        throw CError("Can't Write To File <%s>", request.outputPath.c_str());

    RenderSummary summary;
    summary.frames = written;
    summary.seconds = static_cast<double>(written) / request.sampleRate;
    summary.peakDb = peak > 0.0 ? 20.0 * std::log10(peak) : -90.0;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    summary.speed = elapsed > 0.0 ? summary.seconds / elapsed : 0.0;
    return summary;
}
