// libFuzzer target for the SoundFont loader: any bytes, read as a bank file
// into a fresh sample-bank service, must end in a bank or in code 8, with the
// service unlocked, never in a crash or a read past the file.
//
// With CORVANE_FUZZ_SEEDS naming an empty folder, small valid banks are
// written there first, for the fuzzer to start from.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>


#include "samples/HostBankServer.h"
#include "samples/SoundFontLoader.h"
#include "tests/samples/SoundFontBytes.h"
#include "tests/support/FuzzMemoryFile.h"

using namespace bank_test;

namespace {

CFuzzMemoryFile* memoryFile = nullptr;

void WriteSeeds(const std::string& folder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error) || !std::filesystem::is_empty(folder, error))
        return;
    WriteFile(folder + "/small.sf2", SmallBank("Seed", {"Piano", "Strings", "Bass"}));
    WriteFile(folder + "/one.sf2", Riff("sfbk", {InfoList("One"), PresetDataList({"Solo"})}));
    const Bytes info = List("INFO", {VersionChunk("ifil", 2, 4), ZString("isng", "EMU8000"), ZString("INAM", "Full"),
                                     ZString("irom", "ROM"), VersionChunk("iver", 1, 0), ZString("ICRD", "2026"),
                                     ZString("IENG", "Ann"), ZString("IPRD", "P"), ZString("ICOP", "C"),
                                     TextChunk("ICMT", "odd"), ZString("ISFT", "T")});
    WriteFile(folder + "/full.sf2", Riff("sfbk", {info, SampleDataList(), PresetDataList({"A", "B"})}));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (const char* seeds = std::getenv("CORVANE_FUZZ_SEEDS"))
        WriteSeeds(seeds);
    // The loader reads a path; a memory file under /proc keeps each run off
    // the disk.
    memoryFile = new CFuzzMemoryFile("bank.sf2");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* path = memoryFile->Hold(data, size);
    CHostBankServer server;
    CSoundFontLoader loader(&server);
    const int code = loader.LoadBank(path);
    const bool consistent = (code == 0 && loader.GetBankIndex() == 0 && server.BankCount() == 1) ||
                            (code == 8 && loader.GetBankIndex() == -1 && server.BankCount() == 0);
    if (!consistent || server.IsLocked()) {
        std::fprintf(stderr, "code %d, bank %d, banks %d, locked %d\n", code, loader.GetBankIndex(),
                     server.BankCount(), server.IsLocked());
        std::abort();
    }
    return 0;
}
