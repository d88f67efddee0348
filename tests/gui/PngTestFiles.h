#pragma once
// PNG material for the reader's tests: the test's own chunk parser and
// writer (to split, corrupt and rebuild files), an encoder that stores rows
// with chosen filters, the system's PNG files found on disk, and Pillow run
// as the second decoder.

#include <cstdint>
#include <string>
#include <vector>

class CPicture;

namespace png_test {

using Bytes = std::vector<unsigned char>;

struct Chunk {
    std::string type;
    Bytes data;
};

/// Splits a well-formed file into its chunks (signature dropped).
std::vector<Chunk> SplitChunks(const Bytes& file);
/// Signature plus the chunks with correct CRCs.
Bytes JoinChunks(const std::vector<Chunk>& chunks);
/// The same file with the joined image data spread over chunks of at most
/// pieceBytes each.
Bytes SplitImageData(const Bytes& file, std::size_t pieceBytes);
/// Every CRC replaced by a wrong one.
Bytes BreakCrcs(const Bytes& file);
/// The offset just past the IEND chunk's data (where its CRC starts).
std::size_t EndOfImageEnd(const Bytes& file);

/// An IHDR chunk with these fields.
Chunk Header(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType, int compression = 0,
             int filter = 0, int interlace = 0);
/// A file of the given chunks after the signature.
Bytes FileOf(const std::vector<Chunk>& chunks);
/// zlib's compress of the bytes.
Bytes Compress(const Bytes& raw);

/// The picture stored with rowFilters[row % size] as each row's filter
/// (0 .. 4 as the PNG standard defines them; other values store the row
/// unchanged).
Bytes EncodeWithFilters(const CPicture& picture, const std::vector<int>& rowFilters);

Bytes ReadFile(const std::string& path);

struct SystemPng {
    std::string path;
    std::uint32_t width;
    std::uint32_t height;
    int bitDepth;
    int colorType;
    int interlace;
    std::uintmax_t size;
};
/// Every file under the folders whose first bytes are a PNG signature and
/// an IHDR chunk, sorted by path.
std::vector<SystemPng> FindSystemPngs(const std::vector<std::string>& folders);
/// Files named *.png there that are no PNG at all.
std::vector<std::string> FindFalsePngs(const std::vector<std::string>& folders);

struct ReferenceImage {
    bool ok = false;
    int width = 0;
    int height = 0;
    int channels = 0;
    Bytes pixels;
};
/// Decodes each file with Pillow (one Python run for all); empty when
/// Python or Pillow cannot be run.
std::vector<ReferenceImage> DecodeWithPillow(const std::vector<std::string>& paths);
/// Why DecodeWithPillow gave nothing, for the failure message.
std::string PillowProblem();

} // namespace png_test
