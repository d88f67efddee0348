#include "samples/RIFFLoader.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

int CRIFFLoader::LoadFile(const char* path, const char* formType)
{
    body.clear();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return kRiffCantOpen;
    unsigned char header[12];
    if (std::fread(header, 1, 12, file.get()) != 12)
        return kRiffMalformed;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, formType, 4) != 0)
        return kRiffMalformed;
    RiffChunkHeader fileHeader;
    std::memcpy(fileHeader.id, header, 4);
    std::memcpy(&fileHeader.size, header + 4, 4);
    if (fileHeader.size < 4)
        return kRiffMalformed;

    // The stored size is checked against the file before anything is
    // allocated for it.
    const long start = std::ftell(file.get());
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return kRiffMalformed;
    const long end = std::ftell(file.get());
    if (start < 0 || end < start || static_cast<unsigned long>(end - start) < fileHeader.size - 4u)
        return kRiffMalformed;
    std::fseek(file.get(), start, SEEK_SET);

    std::vector<unsigned char> data(fileHeader.size - 4u);
    if (!data.empty() && std::fread(data.data(), 1, data.size(), file.get()) != data.size())
        return kRiffMalformed;
    file.reset();

    body = std::move(data);
    const int result = WalkChunks(&fileHeader, body.data(), 0, 0);
    if (result != kRiffDone)
        body.clear();
    return result;
}

int CRIFFLoader::WalkChunks(const RiffChunkHeader* parent, const unsigned char* parentData, int depth,
                            std::intptr_t context)
{
    if (parent->size < 4)
        return kRiffDone;
    const std::uint64_t available = parent->size - 4u;
    std::uint64_t offset = 0;
    while (offset + 8 <= available) {
        RiffChunkHeader header;
        std::memcpy(header.id, parentData + offset, 4);
        std::memcpy(&header.size, parentData + offset + 4, 4);
        const bool isList = std::memcmp(header.id, "LIST", 4) == 0;
        if (isList && header.size < 4)
            return kRiffMalformed;
        if (offset + 8 + header.size > available)
            return kRiffMalformed;
        const unsigned char* data = parentData + offset + 8 + (isList ? 4 : 0);
        const int result = OnChunk(&header, data, depth + 1, context);
        if (result != kRiffDone)
            return result;
        offset += static_cast<std::uint64_t>(header.size) + 8;
    }
    return kRiffDone;
}
