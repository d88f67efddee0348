#include "samples/SoundFontLoader.h"

#include <cstring>
#include <new>

#include "framework/BankServer.h"

namespace {

bool IdIs(const RiffChunkHeader* header, const char* id)
{
    return std::memcmp(header->id, id, 4) == 0;
}

std::uint16_t ReadU16(const unsigned char* at)
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

/// "major.minor" of a version record (two little-endian u16).
std::string FormatVersion(const unsigned char* record)
{
    return std::to_string(ReadU16(record)) + "." + std::to_string(ReadU16(record + 2));
}

/// The text of a chunk: up to its first zero byte or its end, whichever
/// comes first; the file need not terminate it.
std::string ChunkText(const unsigned char* data, std::uint32_t size)
{
    const void* zero = std::memchr(data, 0, size);
    const std::size_t length = zero != nullptr ? static_cast<const unsigned char*>(zero) - data : size;
    return std::string(reinterpret_cast<const char*>(data), length);
}

/// Keeps the service locked for one scope, so that every way out of the
/// publishing unlocks it.
class ServerLock {
public:
    explicit ServerLock(CBankServer* server) : server(server) { server->Lock(); }
    ~ServerLock() { server->Unlock(); }
    ServerLock(const ServerLock&) = delete;
    ServerLock& operator=(const ServerLock&) = delete;

private:
    CBankServer* server;
};

} // namespace

CSoundFontLoader::CSoundFontLoader(CBankServer* server) : server(server) {}

void CSoundFontLoader::Reset()
{
    bankIndex = -1;
    listWalked = false;
    version = nullptr;
    romVersion = nullptr;
    presetHeaders = nullptr;
    presetCount = 0;
    for (auto& text : texts)
        text.reset();
}

int CSoundFontLoader::LoadBank(const char* path)
{
    Reset();
    int result = LoadFile(path, "sfbk");
    if (result == kRiffDone && !HasRequiredParts())
        result = kRiffMalformed;
    if (result == kRiffDone) {
        if (server == nullptr)
            return kBankAlready;
        ServerLock lock(server);
        result = PublishLocked();
    }
    presetHeaders = nullptr;
    presetCount = 0;
    return result;
}

bool CSoundFontLoader::HasRequiredParts() const
{
    return listWalked && texts[kBankName] && texts[kSoundEngine] && version != nullptr &&
           presetHeaders != nullptr && presetCount >= 1;
}

int CSoundFontLoader::PublishLocked()
{
    int result = server->CreateBank(texts[kBankName]->c_str(), &bankIndex);
    if (result != kBankDone)
        return result;

    // Keys in the order the bank shows them; the version and the sound
    // engine are always there (the load requires them).
    struct TextPair {
        const char* key;
        TextSlot slot;
    };
    if ((result = AddPair("SoundFont Version", FormatVersion(version))) != kBankDone)
        return result;
    if ((result = AddPair("Sound Engine", *texts[kSoundEngine])) != kBankDone)
        return result;
    if (texts[kRom] && (result = AddPair("ROM", *texts[kRom])) != kBankDone)
        return result;
    if (romVersion != nullptr && (result = AddPair("ROM Version", FormatVersion(romVersion))) != kBankDone)
        return result;
    static constexpr TextPair kLaterPairs[] = {
        {"Creation Date", kCreationDate}, {"Sound Designer", kSoundDesigner}, {"Product", kProduct},
        {"Copyright", kCopyright},        {"Comment", kComment},              {"Tools", kTools},
    };
    for (const TextPair& pair : kLaterPairs) {
        if (texts[pair.slot] && (result = AddPair(pair.key, *texts[pair.slot])) != kBankDone)
            return result;
    }

    for (int preset = 0; preset < presetCount; ++preset) {
        char name[kPresetNameBytes + 1] = {};
        std::memcpy(name, presetHeaders + static_cast<std::size_t>(preset) * kPresetHeaderBytes, kPresetNameBytes);
        if ((result = server->AddName(bankIndex, name, nullptr)) != kBankDone)
            return result;
    }
    return kBankDone;
}

int CSoundFontLoader::AddPair(const char* key, const std::string& value)
{
    return server->AddInformationPair(bankIndex, key, value.c_str(), nullptr);
}

int CSoundFontLoader::OnChunk(const RiffChunkHeader* header, const unsigned char* data, int depth,
                              std::intptr_t context)
{
    switch (context) {
    case kTopLevel:
        return OnTopLevelChunk(header, data, depth);
    case kInfoList:
        return OnInfoChunk(header, data);
    case kPresetDataList:
        return OnPresetDataChunk(header, data);
    default:
        return kRiffDone;   // sample data is not read
    }
}

int CSoundFontLoader::OnTopLevelChunk(const RiffChunkHeader* header, const unsigned char* data, int depth)
{
    if (!IdIs(header, "LIST"))
        return kRiffDone;
    // The list type is the 4 bytes just before the data the walker hands on.
    const unsigned char* listType = data - 4;
    Context context;
    if (std::memcmp(listType, "INFO", 4) == 0)
        context = kInfoList;
    else if (std::memcmp(listType, "pdta", 4) == 0)
        context = kPresetDataList;
    else if (std::memcmp(listType, "sdta", 4) == 0)
        context = kSampleDataList;
    else
        return kRiffMalformed;
    const int result = WalkChunks(header, data, depth, context);
    listWalked = true;
    return result;
}

int CSoundFontLoader::OnInfoChunk(const RiffChunkHeader* header, const unsigned char* data)
{
    if (IdIs(header, "ifil")) {
        if (header->size != 4 || ReadU16(data) != 2)
            return kRiffMalformed;
        version = data;
        return kRiffDone;
    }
    if (IdIs(header, "iver")) {
        if (header->size != 4)
            return kRiffMalformed;
        romVersion = data;
        return kRiffDone;
    }
    static constexpr const char* kTextIds[kTextSlotCount] = {"isng", "INAM", "irom", "ICRD", "IENG",
                                                            "IPRD", "ICOP", "ICMT", "ISFT"};
    for (int slot = 0; slot < kTextSlotCount; ++slot) {
        if (!IdIs(header, kTextIds[slot]))
            continue;
        try {
            texts[static_cast<std::size_t>(slot)] = ChunkText(data, header->size);
        } catch (const std::bad_alloc&) {
            return kRiffMalformed;
        }
        return kRiffDone;
    }
    return kRiffDone;
}

int CSoundFontLoader::OnPresetDataChunk(const RiffChunkHeader* header, const unsigned char* data)
{
    if (!IdIs(header, "phdr"))
        return kRiffDone;
    if (header->size % kPresetHeaderBytes != 0 || header->size / kPresetHeaderBytes < 2)
        return kRiffMalformed;
    presetHeaders = data;
    // The last record is the format's terminal record, not a preset.
    presetCount = static_cast<int>(header->size / kPresetHeaderBytes) - 1;
    return kRiffDone;
}
