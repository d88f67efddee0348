#include "gui/PNGWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <zlib.h>

#include "framework/Error.h"
#include "gui/Picture.h"

namespace png {
namespace {

void AppendBigEndian32(std::vector<unsigned char>& out, std::uint32_t value)
{
    out.push_back(static_cast<unsigned char>(value >> 24));
    out.push_back(static_cast<unsigned char>(value >> 16));
    out.push_back(static_cast<unsigned char>(value >> 8));
    out.push_back(static_cast<unsigned char>(value));
}

void AppendChunk(std::vector<unsigned char>& out, const char* type, const unsigned char* data, std::size_t length)
{
    AppendBigEndian32(out, static_cast<std::uint32_t>(length));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    if (length > 0)
        out.insert(out.end(), data, data + length);
    // The CRC covers the type and the data.
    const uLong crc = crc32(0L, out.data() + typeStart, static_cast<uInt>(length + 4));
    AppendBigEndian32(out, static_cast<std::uint32_t>(crc));
}

} // namespace

std::vector<unsigned char> EncodePNG(const CPicture& picture, std::size_t idatChunkBytes)
{
    const std::size_t rowBytes = picture.RowBytes();
    const std::size_t height = static_cast<std::size_t>(picture.GetHeight());
    std::vector<unsigned char> raw;
    raw.reserve((rowBytes + 1) * height);
    for (std::size_t row = 0; row < height; ++row) {
        raw.push_back(0);
        const unsigned char* pixels = picture.Pixels() + row * rowBytes;
        raw.insert(raw.end(), pixels, pixels + rowBytes);
    }

    uLongf compressedLength = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> compressed(compressedLength);
    if (compress(compressed.data(), &compressedLength, raw.data(), static_cast<uLong>(raw.size())) != Z_OK)
        throw CError("PNG Writer: Compression Failed");
    compressed.resize(compressedLength);

    std::vector<unsigned char> out = {137, 'P', 'N', 'G', 13, 10, 26, 10};
    unsigned char header[13];
    const std::uint32_t width = static_cast<std::uint32_t>(picture.GetWidth());
    const std::uint32_t h = static_cast<std::uint32_t>(picture.GetHeight());
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<unsigned char>(width >> (24 - 8 * i));
        header[4 + i] = static_cast<unsigned char>(h >> (24 - 8 * i));
    }
    header[8] = 8;                              // bits per channel
    header[9] = picture.HasAlpha() ? 6 : 2;     // RGBA or RGB
    header[10] = header[11] = header[12] = 0;   // deflate, adaptive filters, no interlace
    AppendChunk(out, "IHDR", header, sizeof header);

    const std::size_t step = idatChunkBytes > 0 ? idatChunkBytes : compressed.size();
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(step, compressed.size() - offset);
        AppendChunk(out, "IDAT", compressed.data() + offset, length);
        offset += length;
    } while (offset < compressed.size());
    AppendChunk(out, "IEND", nullptr, 0);
    return out;
}

void WritePNGFile(const CPicture& picture, const std::string& path)
{
    const std::vector<unsigned char> bytes = EncodePNG(picture);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw CError("Can't Open File <%s>", path.c_str());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        throw CError("Can't Write File <%s>", path.c_str());
}

} // namespace png
