// The SoundFont loader on banks written byte by byte for each rule of the
// format, on a real SoundFont that fluidsynth reads too, and on every
// truncation and random corruption of a valid bank.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "samples/HostBankServer.h"
#include "samples/MonoSample.h"
#include "samples/SoundFontLoader.h"
#include "tests/project/ScratchFolder.h"
#include "tests/samples/BankTextReader.h"
#include "tests/samples/RecordingBankClient.h"
#include "tests/samples/SoundFontBytes.h"

using namespace bank_test;
using project_test::CScratchFolder;

namespace {

constexpr const char* kTimGM6mb = "/usr/share/sounds/sf2/TimGM6mb.sf2";

struct Loaded {
    int code = -1;
    std::int32_t bankIndex = -1;
};

Loaded Load(CHostBankServer& server, const CScratchFolder& folder, const Bytes& bytes)
{
    const std::string path = folder.File("bank.sf2");
    WriteFile(path, bytes);
    CSoundFontLoader loader(&server);
    Loaded loaded;
    loaded.code = loader.LoadBank(path.c_str());
    loaded.bankIndex = loader.GetBankIndex();
    return loaded;
}

std::vector<std::pair<std::string, std::string>> Pairs(CHostBankServer& server, std::int32_t bank)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::int32_t i = 0; i < PairCount(server, bank); ++i)
        pairs.emplace_back(ReadKey(server, bank, i), ReadValue(server, bank, i));
    return pairs;
}

std::vector<std::string> Names(CHostBankServer& server, std::int32_t bank)
{
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < NameCount(server, bank); ++i)
        names.push_back(ReadName(server, bank, i));
    return names;
}

std::string BankName(CHostBankServer& server, std::int32_t bank)
{
    ScopedBankLock lock(server);
    return ReadBankName(server, bank);
}

/// The preset names fluidsynth lists for a SoundFont ("bbb-ppp Name" lines).
std::vector<std::string> FluidsynthPresetNames(const std::string& path, const CScratchFolder& folder)
{
    const std::string commands = folder.File("commands.txt");
    WriteFile(commands, Bytes{'i', 'n', 's', 't', ' ', '1', '\n', 'q', 'u', 'i', 't', '\n'});
    const std::string command = "fluidsynth -n -q -a file -o audio.file.name=/dev/null -f " + commands + " -i '" +
                                path + "' </dev/null 2>/dev/null";
    std::vector<std::string> names;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return names;
    char line[256];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        const bool isPreset = text.size() > 8 && text[3] == '-' && text[7] == ' ' &&
                              std::all_of(text.begin(), text.begin() + 3, ::isdigit) &&
                              std::all_of(text.begin() + 4, text.begin() + 7, ::isdigit);
        if (isPreset)
            names.push_back(text.substr(8));
    }
    pclose(pipe);
    return names;
}

std::string TrimRight(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

TEST(SoundFontLoader, PublishesNamePairsInOrderAndPresetsInFileOrder)
{
    CScratchFolder folder;
    CHostBankServer server;
    const Bytes info = List("INFO", {
        VersionChunk("ifil", 2, 1),
        ZString("isng", "EMU8000"),
        ZString("INAM", "Full Bank"),
        ZString("ISFT", "Polyphone"),          // out of order in the file
        ZString("irom", "1MGM"),
        VersionChunk("iver", 1, 3),
        ZString("ICRD", "May 2026"),
        ZString("IENG", "Ann"),
        ZString("IPRD", "Studio"),
        ZString("ICOP", "Free"),
        TextChunk("ICMT", "no terminator"),    // ends with the chunk
        TextChunk("ZZZZ", "unknown chunks are skipped"),
    });
    const Loaded loaded =
        Load(server, folder, Riff("sfbk", {info, SampleDataList(), PresetDataList({"Piano", "Strings", "Bass"})}));
    ASSERT_EQ(loaded.code, 0);
    EXPECT_EQ(loaded.bankIndex, 0);
    EXPECT_EQ(BankName(server, 0), "Full Bank");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"SoundFont Version", "2.1"}, {"Sound Engine", "EMU8000"}, {"ROM", "1MGM"},
        {"ROM Version", "1.3"},       {"Creation Date", "May 2026"}, {"Sound Designer", "Ann"},
        {"Product", "Studio"},        {"Copyright", "Free"},         {"Comment", "no terminator"},
        {"Tools", "Polyphone"},
    };
    EXPECT_EQ(Pairs(server, 0), expected);
    EXPECT_EQ(Names(server, 0), (std::vector<std::string>{"Piano", "Strings", "Bass"}));
    EXPECT_FALSE(server.IsLocked()) << "the service is unlocked after publishing";
}

TEST(SoundFontLoader, AbsentInformationIsSkippedButVersionAndEngineStay)
{
    CScratchFolder folder;
    CHostBankServer server;
    // Version 2.01 files store minor 1; the empty engine text is still there.
    const Bytes info = List("INFO", {VersionChunk("ifil", 2, 1), TextChunk("isng", ""), ZString("INAM", "Bare")});
    ASSERT_EQ(Load(server, folder, Riff("sfbk", {info, PresetDataList({"One"})})).code, 0);
    const std::vector<std::pair<std::string, std::string>> expected = {{"SoundFont Version", "2.1"},
                                                                       {"Sound Engine", ""}};
    EXPECT_EQ(Pairs(server, 0), expected);
    EXPECT_EQ(Names(server, 0), std::vector<std::string>{"One"});
}

TEST(SoundFontLoader, TextsEndAtTheirFirstZeroOrTheChunkEnd)
{
    CScratchFolder folder;
    CHostBankServer server;
    Bytes paddedName(256, 0);
    std::memcpy(paddedName.data(), "Organ", 5);
    // A 20-byte preset name fills its field without a terminator.
    const Bytes info = List("INFO", {VersionChunk("ifil", 2, 4), ZString("isng", "EMU8000"), Chunk("INAM", paddedName)});
    ASSERT_EQ(Load(server, folder, Riff("sfbk", {info, PresetDataList({"ABCDEFGHIJKLMNOPQRST", "x"})})).code, 0);
    EXPECT_EQ(BankName(server, 0), "Organ");
    EXPECT_EQ(Names(server, 0), (std::vector<std::string>{"ABCDEFGHIJKLMNOPQRST", "x"}));
}

TEST(SoundFontLoader, OnePresetNeedsTwoRecords)
{
    CScratchFolder folder;
    CHostBankServer server;
    const Bytes onePreset = Riff("sfbk", {InfoList("One"), PresetDataList({"Solo"})});
    ASSERT_EQ(Load(server, folder, onePreset).code, 0);
    EXPECT_EQ(Names(server, 0), std::vector<std::string>{"Solo"});

    // A lone terminal record (38 bytes), an empty "phdr" and a size that is
    // not a whole number of records are all refused before anything is
    // published.
    const Bytes lone = Chunk("phdr", PresetRecord("EOP", 0, 0));
    Bytes ragged = PresetRecord("A", 0, 0);
    Append(ragged, PresetRecord("EOP", 0, 0));
    ragged.push_back(0);
    for (const Bytes& phdr : {lone, Chunk("phdr", {}), Chunk("phdr", ragged)}) {
        const Loaded loaded = Load(server, folder, Riff("sfbk", {InfoList("Bad"), List("pdta", {phdr})}));
        EXPECT_EQ(loaded.code, 8);
        EXPECT_EQ(loaded.bankIndex, -1);
    }
    EXPECT_EQ(server.BankCount(), 1);
}

TEST(SoundFontLoader, BanksMissingRequiredPartsFailWithEightAndCreateNothing)
{
    CScratchFolder folder;
    CHostBankServer server;
    const Bytes presets = PresetDataList({"P"});
    const Bytes version = VersionChunk("ifil", 2, 1);
    const Bytes engine = ZString("isng", "EMU8000");
    const Bytes name = ZString("INAM", "N");
    const std::vector<Bytes> refused = {
        Riff("sfbk", {List("INFO", {version, engine}), presets}),                     // no "INAM"
        Riff("sfbk", {List("INFO", {version, name}), presets}),                       // no "isng"
        Riff("sfbk", {List("INFO", {engine, name}), presets}),                        // no "ifil"
        Riff("sfbk", {InfoList("N")}),                                                // no "phdr"
        Riff("sfbk", {InfoList("N", 3, 0), presets}),                                 // major 3
        Riff("sfbk", {InfoList("N", 1, 0), presets}),                                 // major 1
        Riff("sfbk", {List("INFO", {Chunk("ifil", Bytes(6, 2)), engine, name}), presets}),   // ifil of 6
        Riff("sfbk", {List("INFO", {version, engine, name, Chunk("iver", Bytes(2, 0))}), presets}),
        Riff("sfbk", {InfoList("N"), List("xtra", {}), presets}),                     // unknown list
        Riff("sfbk", {}),                                                             // nothing at all
        Riff("sfbk", {Chunk("INAM", Bytes{'N', 0})}),                                 // INFO outside a list
        Riff("WAVE", {InfoList("N"), presets}),                                       // another form
    };
    for (std::size_t i = 0; i < refused.size(); ++i) {
        const Loaded loaded = Load(server, folder, refused[i]);
        EXPECT_EQ(loaded.code, 8) << "file " << i;
        EXPECT_EQ(loaded.bankIndex, -1) << "file " << i;
    }
    EXPECT_EQ(server.BankCount(), 0);
}

TEST(SoundFontLoader, FilesThatAreNotBanksAreRefused)
{
    CScratchFolder folder;
    CHostBankServer server;
    CSoundFontLoader loader(&server);
    const std::string wav = folder.File("tone.wav");
    const double values[4] = {0.0, 0.5, -0.5, 0.25};
    CMonoSample(4, values, 44100).SaveWav(wav.c_str());
    EXPECT_EQ(loader.LoadBank(wav.c_str()), 8);
    EXPECT_EQ(loader.LoadBank(folder.File("missing.sf2").c_str()), 7);
    EXPECT_EQ(loader.LoadBank(folder.path.c_str()), 8) << "a folder opens but cannot be read";
    EXPECT_EQ(server.BankCount(), 0);
}

TEST(SoundFontLoader, TwoBanksTakeIndexesInLoadOrder)
{
    CScratchFolder folder;
    CHostBankServer server;
    EXPECT_EQ(Load(server, folder, SmallBank("First", {"a"})).bankIndex, 0);
    EXPECT_EQ(Load(server, folder, SmallBank("Second", {"b"})).bankIndex, 1);
    EXPECT_EQ(BankName(server, 0), "First");
    EXPECT_EQ(BankName(server, 1), "Second");
}

TEST(SoundFontLoader, TheServiceCodeEndsPublishingAndTheServiceIsUnlocked)
{
    CScratchFolder folder;
    CHostBankServer server;
    CRecordingBankClient client(nullptr, 1);
    server.Lock();
    ASSERT_EQ(server.RegisterClient(&client), 0);
    server.Unlock();

    // A client that loads another bank from inside its notification gets
    // the busy code from the service: the nested load stops at its first
    // addition and leaves nothing behind; the outer load completes.
    const std::string nested = folder.File("nested.sf2");
    WriteFile(nested, SmallBank("Nested", {"n"}));
    int nestedCode = -1;
    client.onEvent = [&](CRecordingBankClient&, const BankEvent& event) {
        if (event.what == BankAddition::Bank && nestedCode == -1) {
            CSoundFontLoader inner(&server);
            nestedCode = inner.LoadBank(nested.c_str());
        }
    };
    const Loaded outer = Load(server, folder, SmallBank("Outer", {"p1", "p2"}));
    EXPECT_EQ(outer.code, 0);
    EXPECT_EQ(nestedCode, 6);
    EXPECT_EQ(server.BankCount(), 1);
    EXPECT_EQ(Names(server, 0), (std::vector<std::string>{"p1", "p2"}));
    EXPECT_FALSE(server.IsLocked());
    // One bank, two pairs, two names, in that order.
    ASSERT_EQ(client.events.size(), 5u);
    EXPECT_EQ(client.events[0].what, BankAddition::Bank);
    EXPECT_EQ(client.events[2].what, BankAddition::Entry);
    EXPECT_EQ(client.events[4].what, BankAddition::Item);

    server.Lock();
    server.UnregisterClient(&client);
    server.Unlock();
}

TEST(SoundFontLoader, RealBankMatchesFluidsynthsPresets)
{
    CScratchFolder folder;
    CHostBankServer server;
    CSoundFontLoader loader(&server);
    ASSERT_EQ(loader.LoadBank(kTimGM6mb), 0);
    const std::vector<std::pair<std::string, std::string>> pairs = Pairs(server, 0);
    ASSERT_GE(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].first, "SoundFont Version");
    EXPECT_EQ(pairs[0].second.rfind("2.", 0), 0u);
    EXPECT_EQ(pairs[1].first, "Sound Engine");
    EXPECT_FALSE(BankName(server, 0).empty());

    std::vector<std::string> ours = Names(server, 0);
    std::vector<std::string> theirs = FluidsynthPresetNames(kTimGM6mb, folder);
    ASSERT_GT(theirs.size(), 100u) << "fluidsynth lists the General MIDI presets";
    // fluidsynth sorts by bank and program; the bank keeps file order.
    for (std::string& name : ours)
        name = TrimRight(name);
    for (std::string& name : theirs)
        name = TrimRight(name);
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    EXPECT_EQ(ours, theirs);
}

TEST(SoundFontLoader, EveryTruncationAndCorruptionEndsInACode)
{
    CScratchFolder folder;
    CHostBankServer server;
    const Bytes valid = SmallBank("Whole", {"Alpha", "Beta"});
    const std::string path = folder.File("cut.sf2");

    // Cut files: the RIFF size then claims more than there is.
    for (std::size_t size = 0; size < valid.size(); ++size) {
        WriteFile(path, Bytes(valid.begin(), valid.begin() + static_cast<long>(size)));
        CSoundFontLoader loader(&server);
        ASSERT_EQ(loader.LoadBank(path.c_str()), 8) << size;
    }
    // Cut files whose RIFF size was made to match: chunks inside overrun.
    for (std::size_t size = 12; size < valid.size(); ++size) {
        Bytes cut(valid.begin(), valid.begin() + static_cast<long>(size));
        const std::uint32_t riffSize = static_cast<std::uint32_t>(size - 8);
        std::memcpy(cut.data() + 4, &riffSize, 4);
        WriteFile(path, cut);
        CSoundFontLoader loader(&server);
        const int code = loader.LoadBank(path.c_str());
        ASSERT_TRUE(code == 0 || code == 8) << size << ": " << code;
    }
    EXPECT_EQ(server.BankCount(), 0);

    std::mt19937 random(2026);
    int loadedBanks = 0;
    for (int round = 0; round < 600; ++round) {
        Bytes bytes = valid;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i)
            bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        WriteFile(path, bytes);
        CSoundFontLoader loader(&server);
        const int code = loader.LoadBank(path.c_str());
        ASSERT_TRUE(code == 0 || code == 8) << "round " << round << ": " << code;
        if (code == 0) {
            EXPECT_EQ(loader.GetBankIndex(), loadedBanks);
            ++loadedBanks;
        }
    }
    EXPECT_EQ(server.BankCount(), loadedBanks);
    EXPECT_GT(loadedBanks, 0) << "corruption of names or unused bytes still loads";
}
