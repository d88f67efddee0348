// libFuzzer target for the program's own PNG reader: any bytes must decode
// into a picture or end in a CError that leaves the picture as it was, never
// in a crash, a read past the bytes or an allocation the file cannot back.
//
// Seeds: Debian's PNG files (the desktop base's and the icon themes')
// copied into an empty CORVANE_FUZZ_SEEDS folder, small ones only.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/Error.h"
#include "gui/PNGDecoder.h"
#include "gui/Picture.h"

namespace {

void WriteSeeds(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(folder, error) || !fs::is_empty(folder, error))
        return;
    int copied = 0;
    for (const char* root : {"/usr/share/icons", "/usr/share/pixmaps", "/usr/share/images"}) {
        for (fs::recursive_directory_iterator it(root, error), end; it != end && copied < 40; it.increment(error)) {
            if (error)
                break;
            if (it->path().extension() == ".png" && it->is_regular_file(error) && it->file_size(error) < 16384)
                fs::copy_file(it->path(), folder + "/" + std::to_string(copied++) + ".png", error);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (const char* seeds = std::getenv("CORVANE_FUZZ_SEEDS"))
        WriteSeeds(seeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CPicture picture;
    try {
        CPNGDecoder::Decode(data, size, picture);
    } catch (const CError&) {
    }
    return 0;
}
