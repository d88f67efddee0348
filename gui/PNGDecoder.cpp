#include "gui/PNGDecoder.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <zlib.h>

#include "framework/Error.h"
#include "gui/PNGFilters.h"
#include "gui/Picture.h"

namespace {

constexpr unsigned char kSignature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};

std::uint32_t ReadBigEndian32(const unsigned char* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

bool IsType(const unsigned char* type, const char* name)
{
    return std::memcmp(type, name, 4) == 0;
}

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bytesPerPixel = 0;
    std::size_t rowBytes = 0;        // pixels only
    std::size_t inflatedBytes = 0;   // with one filter byte a row
};

struct DataSpan {
    const unsigned char* data;
    std::size_t length;
};

Header ReadHeader(const unsigned char* data, std::uint32_t length)
{
    if (length < 13)
        throw CError("PNG File's Header Chunk Too Small");
    Header header;
    header.width = ReadBigEndian32(data);
    header.height = ReadBigEndian32(data + 4);
    const unsigned bitDepth = data[8];
    const unsigned colorType = data[9];
    if (bitDepth != 8)
        throw CError("Unsupported Bit Depth In PNG File");
    if (colorType != 2 && colorType != 6)
        throw CError("Unsupported Color Type In PNG File");
    if (data[10] != 0)
        throw CError("Unsupported Compression Method In PNG File");
    if (data[11] != 0)
        throw CError("Unsupported Filter Method In PNG File");
    if (data[12] != 0)
        throw CError("Can't Read Interlaced PNG Files");
    header.bytesPerPixel = colorType == 6 ? 4 : 3;

    // The picture's sizes are signed 32-bit and the buffer must be
    // addressable: a header claiming more is refused before anything is
    // allocated. With both sizes below 2^31 the products cannot wrap.
    if (header.width > 0x7FFFFFFFu || header.height > 0x7FFFFFFFu)
        throw CError("PNG Image Too Large To Decode");
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(header.width) * header.bytesPerPixel;
    const std::uint64_t inflated = (rowBytes + 1) * header.height;
    if (rowBytes + 1 > CPNGDecoder::kMaxInflatedBytes || inflated > CPNGDecoder::kMaxInflatedBytes)
        throw CError("PNG Image Too Large To Decode");
    header.rowBytes = static_cast<std::size_t>(rowBytes);
    header.inflatedBytes = static_cast<std::size_t>(inflated);
    return header;
}

CPicture Reconstruct(const Header& header, const std::vector<DataSpan>& imageData)
{
    std::size_t compressedBytes = 0;
    for (const DataSpan& span : imageData)
        compressedBytes += span.length;
    if (header.inflatedBytes / CPNGDecoder::kMaxDeflateRatio > compressedBytes + 16)
        throw CError("PNG: Not Enough Information Inflated");

    // One chunk is inflated where it lies; several are joined first.
    std::vector<unsigned char> joined;
    const unsigned char* compressed = imageData.empty() ? nullptr : imageData.front().data;
    if (imageData.size() > 1) {
        joined.reserve(compressedBytes);
        for (const DataSpan& span : imageData)
            joined.insert(joined.end(), span.data, span.data + span.length);
        compressed = joined.data();
    }
    static const unsigned char kNothing = 0;
    if (compressed == nullptr)
        compressed = &kNothing;

    std::unique_ptr<unsigned char[]> inflated(new unsigned char[header.inflatedBytes > 0 ? header.inflatedBytes : 1]);
    const std::size_t produced =
        CPicture::InflateBuffer(inflated.get(), header.inflatedBytes, compressed, compressedBytes);
    if (produced != header.inflatedBytes)
        throw CError("PNG: Not Enough Information Inflated");

    const std::size_t pixelBytes = header.rowBytes * header.height;
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[pixelBytes > 0 ? pixelBytes : 1]);
    // The first row's "up" row; none is needed for an image without rows.
    const std::vector<unsigned char> zeroRow(header.height > 0 ? header.rowBytes : 0, 0);
    const unsigned char* above = zeroRow.data();
    for (std::size_t row = 0; row < header.height; ++row) {
        const unsigned char* stored = inflated.get() + row * (header.rowBytes + 1);
        unsigned char* out = pixels.get() + row * header.rowBytes;
        png::UnfilterRow(stored[0], stored + 1, above, out, header.rowBytes, header.bytesPerPixel);
        above = out;
    }
    CPicture picture;
    CPNGDecoder::AdoptPixels(picture, std::move(pixels), static_cast<int>(header.width),
                             static_cast<int>(header.height), header.bytesPerPixel == 4);
    return picture;
}

} // namespace

void CPNGDecoder::Decode(const unsigned char* bytes, std::size_t length, CPicture& into)
{
    if (bytes == nullptr || length < 8)
        throw CError("PNG File Is Too Small To Fit A Valid Header");
    if (std::memcmp(bytes, kSignature, 8) != 0)
        throw CError("PNG File Header Not Found");

    bool haveHeader = false;
    Header header;
    std::vector<DataSpan> imageData;
    std::size_t offset = 8;
    for (;;) {
        if (length - offset < 8)
            throw CError("Unexpected End Of File In PNG Image");
        const std::uint32_t dataLength = ReadBigEndian32(bytes + offset);
        const unsigned char* type = bytes + offset + 4;
        const std::size_t dataStart = offset + 8;
        if (dataLength > length - dataStart)
            throw CError("Chunk Found Larger Than File In PNG Image");
        const unsigned char* data = bytes + dataStart;

        if (IsType(type, "IHDR")) {
            header = ReadHeader(data, dataLength);
            haveHeader = true;
        } else if (IsType(type, "IDAT")) {
            imageData.push_back({data, dataLength});
        } else if (IsType(type, "IEND")) {
            // Without a header there are no sizes to decode to.
            if (!haveHeader)
                throw CError("PNG File's Header Chunk Too Small");
            into = Reconstruct(header, imageData);
            return;
        }

        // The CRC after the data is skipped, never checked.
        const std::size_t dataEnd = dataStart + dataLength;
        if (length - dataEnd < 4)
            throw CError("Unexpected End Of File In PNG Image");
        offset = dataEnd + 4;
    }
}

void CPNGDecoder::AdoptPixels(CPicture& picture, std::unique_ptr<unsigned char[]> pixels, int width, int height,
                              bool hasAlpha)
{
    picture.pixels = std::move(pixels);
    picture.width = width;
    picture.height = height;
    picture.hasAlpha = hasAlpha;
    picture.ResetClipRect();
}

std::size_t CPicture::InflateBuffer(unsigned char* destination, std::size_t destinationSize,
                                    const unsigned char* source, std::size_t sourceSize)
{
    uLongf produced = static_cast<uLongf>(destinationSize);
    const int result = uncompress(destination, &produced, source, static_cast<uLong>(sourceSize));
    switch (result) {
    case Z_OK:
        return static_cast<std::size_t>(produced);
    case Z_BUF_ERROR:
        throw CError("Inflate: Buffer Error");
    case Z_MEM_ERROR:
        throw CError("Inflate: Memory Error");
    case Z_DATA_ERROR:
        throw CError("Inflate: Data Error");
    default:
        throw CError("Inflate: Unknown Error");
    }
}

void CPicture::ReadPNG(const unsigned char* bytes, std::size_t length)
{
    CPNGDecoder::Decode(bytes, length, *this);
}
