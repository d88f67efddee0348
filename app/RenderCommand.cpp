#include "app/RenderCommand.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/Application.h"
#include "app/InterruptSignals.h"
#include "app/RenderTarget.h"
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
// The RIFF and data sizes of a WAV file are 32-bit.
constexpr long long kLargestWavData = 0xFFFFFFFFLL - 36;

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
    if (request.sampleRate <= 0 || request.blockSize <= 0 || !std::isfinite(request.tailSeconds))
        throw CError("Invalid Format");
    OpenProject(application.Project(), request.projectPath);

    COfflineDriver driver(request.sampleRate, request.blockSize, kStereo);
    application.AdoptDriverFormat(driver);
    driver.SetCallback(AudioCallback{&CStudio::AudioCallback, &application.Studio()});

    const long long songFrames = SongLengthSamples(application);
    const long long tailFrames = std::llround(std::max(0.0, request.tailSeconds) * request.sampleRate);
    const long long totalFrames = songFrames + tailFrames;
    const long long frameBytes = (request.floatFormat ? 4 : 2) * kStereo;
    if (totalFrames > kLargestWavData / frameBytes)
        throw CError("Rendering '%s' Would Pass The 4 GB Limit Of A WAV File", request.outputPath.c_str());

    // From here on an interruption stops the render between blocks, and the
    // target keeps what it held until the new file is complete.
    CInterruptSignals interrupt;
    CRenderTarget target(request.outputPath);
    CWavStreamWriter writer;
    const WavSampleFormat format = request.floatFormat ? WavSampleFormat::Float32 : WavSampleFormat::Pcm16;
    if (!writer.Open(target.WritePath().c_str(), format, kStereo, request.blockSize))
        throw CError("Failed To Open File '%s' For Writing: %s", request.outputPath.c_str(), std::strerror(errno));

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
    long long clipped = 0;
    long long written = 0;
    auto lastProgress = std::chrono::steady_clock::now();
    const auto start = lastProgress;
    // A recorder track whose disk fills stops by itself; the render goes on
    // and the user is told which file ended early.
    const auto showRecorderFailures = [&] {
        for (const std::string& failure : application.Recorder().TakeWriteFailures())
            std::fprintf(stderr, "%s%s\n", showProgress ? "\n" : "", failure.c_str());
    };
    const auto stopEverything = [&] {
        driver.Stop();
        song.Stop();
        application.Recorder().StopAll();
        showRecorderFailures();
        if (showProgress)
            std::fprintf(stderr, "\n");
    };
    driver.Start();
    while (written < totalFrames) {
        if (interrupt.Received() != 0) {
            stopEverything();
            throw CError("Render Interrupted, '%s' Left As It Was", request.outputPath.c_str());
        }
        double* const* buffers = driver.Buffers();
        driver.Render(1);
        const int frames = static_cast<int>(std::min<long long>(request.blockSize, totalFrames - written));
        for (int c = 0; c < kStereo; ++c) {
            for (int s = 0; s < frames; ++s) {
                const double magnitude = std::fabs(buffers[c][s]);
                peak = std::max(peak, magnitude);
                clipped += magnitude > 1.0 ? 1 : 0;
            }
        }
        writer.Append(buffers[0], buffers[1], frames);
        if (writer.WriteFailed()) {
            const int error = errno;
            stopEverything();
            throw CError("Can't Write To File <%s>: %s", request.outputPath.c_str(), std::strerror(error));
        }
        written += frames;
        showRecorderFailures();
        const auto now = std::chrono::steady_clock::now();
        if (showProgress && now - lastProgress > std::chrono::milliseconds(250)) {
            PrintProgress(static_cast<double>(written) / request.sampleRate, totalSeconds);
            lastProgress = now;
        }
    }
    stopEverything();
    errno = 0;
    writer.Close(request.sampleRate);
    if (writer.WriteFailed())
        throw CError("Can't Write To File <%s>: %s", request.outputPath.c_str(), std::strerror(errno));
    target.Commit();

    RenderSummary summary;
    summary.frames = written;
    summary.seconds = static_cast<double>(written) / request.sampleRate;
    summary.peakDb = peak > 0.0 ? 20.0 * std::log10(peak) : -90.0;
    summary.clippedSamples = clipped;
    // The mixer's guard against denormal values leaves a trace far below
    // anything audible; silent is what rounds to 0 in a 16-bit file.
    constexpr double kSmallestSixteenBitStep = 1.0 / 32768.0;
    summary.silent = peak < kSmallestSixteenBitStep / 2;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    summary.speed = elapsed > 0.0 ? summary.seconds / elapsed : 0.0;
    return summary;
}
