#include "tests/gui/PngTestFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <zlib.h>

#include "gui/Picture.h"

namespace png_test {
namespace {

constexpr unsigned char kSignature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};

std::uint32_t BigEndian(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

void PutBigEndian(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

/// The predictor as the PNG standard writes it out.
int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    if (pb <= pc)
        return b;
    return c;
}

} // namespace

std::vector<Chunk> SplitChunks(const Bytes& file)
{
    std::vector<Chunk> chunks;
    std::size_t offset = 8;
    while (offset + 12 <= file.size()) {
        const std::uint32_t length = BigEndian(file.data() + offset);
        Chunk chunk;
        chunk.type.assign(reinterpret_cast<const char*>(file.data() + offset + 4), 4);
        chunk.data.assign(file.begin() + static_cast<std::ptrdiff_t>(offset + 8),
                          file.begin() + static_cast<std::ptrdiff_t>(offset + 8 + length));
        chunks.push_back(std::move(chunk));
        offset += 12 + length;
    }
    return chunks;
}

Bytes JoinChunks(const std::vector<Chunk>& chunks)
{
    Bytes out(kSignature, kSignature + 8);
    for (const Chunk& chunk : chunks) {
        PutBigEndian(out, static_cast<std::uint32_t>(chunk.data.size()));
        const std::size_t start = out.size();
        out.insert(out.end(), chunk.type.begin(), chunk.type.end());
        out.insert(out.end(), chunk.data.begin(), chunk.data.end());
        PutBigEndian(out, static_cast<std::uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
    }
    return out;
}

Bytes FileOf(const std::vector<Chunk>& chunks)
{
    return JoinChunks(chunks);
}

Bytes SplitImageData(const Bytes& file, std::size_t pieceBytes)
{
    std::vector<Chunk> out;
    Bytes data;
    bool placed = false;
    for (const Chunk& chunk : SplitChunks(file)) {
        if (chunk.type == "IDAT") {
            data.insert(data.end(), chunk.data.begin(), chunk.data.end());
            continue;
        }
        if (!data.empty() && !placed) {
            for (std::size_t i = 0; i < data.size(); i += pieceBytes) {
                const std::size_t n = std::min(pieceBytes, data.size() - i);
                out.push_back({"IDAT", Bytes(data.begin() + static_cast<std::ptrdiff_t>(i),
                                             data.begin() + static_cast<std::ptrdiff_t>(i + n))});
            }
            placed = true;
        }
        out.push_back(chunk);
    }
    return JoinChunks(out);
}

Bytes BreakCrcs(const Bytes& file)
{
    Bytes broken = file;
    std::size_t offset = 8;
    while (offset + 12 <= broken.size()) {
        const std::uint32_t length = BigEndian(broken.data() + offset);
        const std::size_t crc = offset + 8 + length;
        for (int i = 0; i < 4; ++i)
            broken[crc + i] ^= 0x5A;
        offset = crc + 4;
    }
    return broken;
}

std::size_t EndOfImageEnd(const Bytes& file)
{
    std::size_t offset = 8;
    while (offset + 12 <= file.size()) {
        const std::uint32_t length = BigEndian(file.data() + offset);
        if (std::equal(file.begin() + static_cast<std::ptrdiff_t>(offset + 4),
                       file.begin() + static_cast<std::ptrdiff_t>(offset + 8), "IEND"))
            return offset + 8 + length;
        offset += 12 + length;
    }
    return file.size();
}

Chunk Header(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType, int compression, int filter,
             int interlace)
{
    Chunk chunk{"IHDR", {}};
    PutBigEndian(chunk.data, width);
    PutBigEndian(chunk.data, height);
    for (int v : {bitDepth, colorType, compression, filter, interlace})
        chunk.data.push_back(static_cast<unsigned char>(v));
    return chunk;
}

Bytes Compress(const Bytes& raw)
{
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(length);
    compress(out.data(), &length, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(length);
    return out;
}

Bytes EncodeWithFilters(const CPicture& picture, const std::vector<int>& rowFilters)
{
    const std::size_t rowBytes = picture.RowBytes();
    const int bpp = picture.BytesPerPixel();
    Bytes raw;
    for (int y = 0; y < picture.GetHeight(); ++y) {
        const int filter = rowFilters[static_cast<std::size_t>(y) % rowFilters.size()];
        const unsigned char* row = picture.PixelAt(0, y);
        const unsigned char* up = y > 0 ? picture.PixelAt(0, y - 1) : nullptr;
        raw.push_back(static_cast<unsigned char>(filter));
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= static_cast<std::size_t>(bpp) ? row[i - bpp] : 0;
            const int b = up != nullptr ? up[i] : 0;
            const int c = up != nullptr && i >= static_cast<std::size_t>(bpp) ? up[i - bpp] : 0;
            int predicted = 0;
            switch (filter) {
            case 1: predicted = a; break;
            case 2: predicted = b; break;
            case 3: predicted = (a + b) / 2; break;
            case 4: predicted = Paeth(a, b, c); break;
            default: predicted = 0; break;
            }
            raw.push_back(static_cast<unsigned char>(row[i] - predicted));
        }
    }
    return FileOf({Header(static_cast<std::uint32_t>(picture.GetWidth()), static_cast<std::uint32_t>(picture.GetHeight()),
                          8, picture.HasAlpha() ? 6 : 2),
                   {"IDAT", Compress(raw)},
                   {"IEND", {}}});
}

Bytes ReadFile(const std::string& path)
{
    // One read of the whole file: Pillow's output runs to tens of MB.
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    const std::streamsize size = in.tellg();
    Bytes bytes(static_cast<std::size_t>(size > 0 ? size : 0));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    return bytes;
}

std::vector<SystemPng> FindSystemPngs(const std::vector<std::string>& folders)
{
    namespace fs = std::filesystem;
    std::vector<SystemPng> found;
    for (const std::string& folder : folders) {
        std::error_code error;
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().extension() != ".png" || !it->is_regular_file(error))
                continue;
            std::ifstream in(it->path(), std::ios::binary);
            unsigned char head[33] = {};
            if (!in.read(reinterpret_cast<char*>(head), sizeof head))
                continue;
            if (!std::equal(head, head + 8, kSignature) || !std::equal(head + 12, head + 16, "IHDR"))
                continue;
            found.push_back({it->path().string(), BigEndian(head + 16), BigEndian(head + 20), head[24], head[25], head[28],
                             it->file_size(error)});
        }
    }
    std::sort(found.begin(), found.end(), [](const SystemPng& a, const SystemPng& b) { return a.path < b.path; });
    return found;
}

std::vector<std::string> FindFalsePngs(const std::vector<std::string>& folders)
{
    namespace fs = std::filesystem;
    std::vector<std::string> found;
    for (const std::string& folder : folders) {
        std::error_code error;
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().extension() != ".png" || !it->is_regular_file(error))
                continue;
            std::ifstream in(it->path(), std::ios::binary);
            unsigned char head[8] = {};
            in.read(reinterpret_cast<char*>(head), sizeof head);
            if (in.gcount() < 8 || !std::equal(head, head + 8, kSignature))
                found.push_back(it->path().string());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

namespace {
std::string problem;
}

std::string PillowProblem()
{
    return problem;
}

std::vector<ReferenceImage> DecodeWithPillow(const std::vector<std::string>& paths)
{
    const std::string base = std::filesystem::temp_directory_path().string() + "/corvane_pil_" + std::to_string(getpid());
    const std::string listPath = base + ".list";
    const std::string outPath = base + ".out";
    {
        std::ofstream list(listPath);
        for (const std::string& path : paths)
            list << path << '\n';
    }
    const std::string command = std::string("'") + CORVANE_PIL_PYTHON + "' '" + CORVANE_PIL_SCRIPT + "' '" + listPath +
                                "' '" + outPath + "'";
    const int status = std::system(command.c_str());
    std::vector<ReferenceImage> images;
    const Bytes out = ReadFile(outPath);
    std::remove(listPath.c_str());
    std::remove(outPath.c_str());
    if (status != 0) {
        problem = "'" + command + "' failed with status " + std::to_string(status);
        return images;
    }
    std::size_t offset = 0;
    const auto readInt = [&](int& value) {
        if (offset + 4 > out.size())
            return false;
        value = static_cast<int>(std::uint32_t(out[offset]) | (std::uint32_t(out[offset + 1]) << 8) |
                                 (std::uint32_t(out[offset + 2]) << 16) | (std::uint32_t(out[offset + 3]) << 24));
        offset += 4;
        return true;
    };
    for (std::size_t i = 0; i < paths.size(); ++i) {
        ReferenceImage image;
        if (!readInt(image.width) || !readInt(image.height) || !readInt(image.channels))
            break;
        if (image.channels > 0) {
            const std::size_t n = std::size_t(image.width) * std::size_t(image.height) * std::size_t(image.channels);
            if (offset + n > out.size())
                break;
            image.pixels.assign(out.begin() + static_cast<std::ptrdiff_t>(offset),
                                out.begin() + static_cast<std::ptrdiff_t>(offset + n));
            offset += n;
            image.ok = true;
        }
        images.push_back(std::move(image));
    }
    if (images.size() != paths.size()) {
        problem = "Pillow's output ended after " + std::to_string(images.size()) + " of " + std::to_string(paths.size()) +
                  " images";
        images.clear();
    }
    return images;
}

} // namespace png_test
