// libFuzzer target for the RIFF walker and the WAV reader behind it, through
// the mono sample loader: any bytes read as a WAV file must end in a sample
// or in a CError that leaves the sample empty, never in a crash or a read
// past the file.
//
// Seeds: Debian's sounds (/usr/share/sounds/alsa) copied into an empty
// CORVANE_FUZZ_SEEDS folder, and a short sample the loader's own writer
// makes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>


#include "framework/Error.h"
#include "tests/support/FuzzMemoryFile.h"
#include "samples/MonoSample.h"

namespace {

CFuzzMemoryFile* memoryFile = nullptr;

void WriteSeeds(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(folder, error) || !fs::is_empty(folder, error))
        return;
    for (const auto& entry : fs::directory_iterator("/usr/share/sounds/alsa", error)) {
        if (entry.path().extension() == ".wav")
            fs::copy_file(entry.path(), folder + "/" + entry.path().filename().string(), error);
    }
    const double ramp[8] = {0.0, 0.25, 0.5, 0.75, 1.0, -0.5, -1.0, 0.0};
    CMonoSample(8, ramp, 22050).SaveWav((folder + "/ramp.wav").c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (const char* seeds = std::getenv("CORVANE_FUZZ_SEEDS"))
        WriteSeeds(seeds);
    // The loader reads a path; a memory file keeps each run off the disk.
    memoryFile = new CFuzzMemoryFile("sample.wav");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* path = memoryFile->Hold(data, size);
    CMonoSample sample;
    try {
        sample.LoadWav(path);
    } catch (const CError&) {
        if (sample.GetCount() != 0) {
            std::fprintf(stderr, "a failed load left %d samples\n", sample.GetCount());
            std::abort();
        }
    }
    return 0;
}
