#pragma once
// CSoundFontLoader: reads a SoundFont 2 bank ("sfbk") and publishes it as one
// new bank of the sample-bank service: the bank's name, the information
// pairs of its INFO list and the names of its presets. Sample data,
// instruments, zones and generators are not read.
//
// Threads: any thread but the audio thread; LoadBank reads the whole file and
// then holds the service's lock while it publishes.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "samples/RIFFLoader.h"

class CBankServer;

class CSoundFontLoader : public CRIFFLoader {
public:
    explicit CSoundFontLoader(CBankServer* server);

    /// 0 on success; 7 or 8 from reading the file; 8 for a bank without a
    /// name, a sound engine, a version or presets (nothing is published);
    /// otherwise the first non-zero code of the service, which ends the
    /// publishing where it happened.
    int LoadBank(const char* path);

    /// The index of the bank the last load created; -1 before.
    std::int32_t GetBankIndex() const { return bankIndex; }

    int OnChunk(const RiffChunkHeader* header, const unsigned char* data, int depth,
                std::intptr_t context) override;

    /// Where the walk is, as handed to OnChunk.
    enum Context : std::intptr_t {
        kTopLevel = 0,
        kInfoList = 1,
        kSampleDataList = 2,
        kPresetDataList = 3,
    };

    /// Size of one "phdr" record; only its first 20 bytes (the name) are used.
    static constexpr std::uint32_t kPresetHeaderBytes = 38;
    static constexpr int kPresetNameBytes = 20;

private:
    /// The INFO texts the bank publishes, in the order of their slots below.
    enum TextSlot {
        kSoundEngine,    // "isng"
        kBankName,       // "INAM"
        kRom,            // "irom"
        kCreationDate,   // "ICRD"
        kSoundDesigner,  // "IENG"
        kProduct,        // "IPRD"
        kCopyright,      // "ICOP"
        kComment,        // "ICMT"
        kTools,          // "ISFT"
        kTextSlotCount
    };

    void Reset();
    int OnTopLevelChunk(const RiffChunkHeader* header, const unsigned char* data, int depth);
    int OnInfoChunk(const RiffChunkHeader* header, const unsigned char* data);
    int OnPresetDataChunk(const RiffChunkHeader* header, const unsigned char* data);
    bool HasRequiredParts() const;
    /// Step of publishing with the service already locked.
    int PublishLocked();
    int AddPair(const char* key, const std::string& value);

    CBankServer* server;
    std::int32_t bankIndex = -1;
    bool listWalked = false;
    // Pointers into the file body, valid while the loader keeps it.
    const unsigned char* version = nullptr;      // "ifil": major, minor (u16 each)
    const unsigned char* romVersion = nullptr;   // "iver": same form
    const unsigned char* presetHeaders = nullptr;
    int presetCount = 0;
    std::array<std::optional<std::string>, kTextSlotCount> texts;
};
