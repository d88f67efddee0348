// libFuzzer target for the options file reader: any bytes read into a
// record must leave it usable, and what it writes back must read again to
// the same record.
//
// With CORVANE_FUZZ_SEEDS naming an empty folder, a default record and one
// with VST folders are written there first.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/AppOptions.h"

namespace {

void WriteSeed(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* seeds = std::getenv("CORVANE_FUZZ_SEEDS");
    std::error_code error;
    if (seeds == nullptr || !std::filesystem::is_directory(seeds, error) || !std::filesystem::is_empty(seeds, error))
        return 0;
    CAppOptions record("");
    WriteSeed(std::string(seeds) + "/default.opt", record.Serialize());
    record.outputDriver = 2;
    record.vstPaths = {"/usr/lib/vst", "/home/someone/.vst"};
    WriteSeed(std::string(seeds) + "/paths.opt", record.Serialize());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CAppOptions record("");
    record.ReadFrom(std::vector<unsigned char>(data, data + size));
    const std::vector<unsigned char> written = record.Serialize();
    CAppOptions again("");
    again.ReadFrom(written);
    if (again.Serialize() != written) {
        std::fprintf(stderr, "a written record reads back differently\n");
        std::abort();
    }
    return 0;
}
