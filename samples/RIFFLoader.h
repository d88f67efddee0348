#pragma once
// CRIFFLoader: walks the chunks of a RIFF file (WAV, SoundFont). A subclass
// receives every chunk of one level through OnChunk and descends into a
// "LIST" by calling WalkChunks again. Reports integer codes, never throws.

#include <cstdint>
#include <vector>

enum RiffResult : int {
    kRiffDone = 0,
    kRiffCantOpen = 7,
    kRiffMalformed = 8,
};

struct RiffChunkHeader {
    char id[4];
    std::uint32_t size;   // data bytes after the header
};

class CRIFFLoader {
public:
    CRIFFLoader() = default;
    virtual ~CRIFFLoader() = default;
    CRIFFLoader(const CRIFFLoader&) = delete;
    CRIFFLoader& operator=(const CRIFFLoader&) = delete;

    /// Reads the file whose form type is formType ("WAVE", "sfbk") and walks
    /// its top-level chunks. On success the loader keeps the body, and the
    /// data pointers OnChunk was given stay valid until it is destroyed.
    int LoadFile(const char* path, const char* formType);

    /// Walks the chunks inside parent; parent's size counts its 4-byte type
    /// too, so its data holds size - 4 bytes.
    virtual int WalkChunks(const RiffChunkHeader* parent, const unsigned char* parentData, int depth,
                           std::intptr_t context);
    /// One chunk: for a "LIST", data points past its list type.
    virtual int OnChunk(const RiffChunkHeader* header, const unsigned char* data, int depth,
                        std::intptr_t context) = 0;

    const std::vector<unsigned char>& Body() const { return body; }

private:
    std::vector<unsigned char> body;
};
