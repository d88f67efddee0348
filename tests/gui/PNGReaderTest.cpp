// The PNG reader on files made here: every refusal message in its order,
// the five filters, image data split over chunks, wrong CRCs, headers whose
// sizes cannot be decoded, and every truncation and some corruption of
// valid files (the sanitizers watch for bad reads).

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "framework/Error.h"
#include "gui/PNGWriter.h"
#include "gui/Picture.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/PngTestFiles.h"

using namespace png_test;
using gui_test::PixelOf;
using gui_test::SetPixel;

namespace {

/// The message ReadPNG raises, or "" when it decodes.
std::string ReadMessage(CPicture& picture, const Bytes& file)
{
    try {
        picture.ReadPNG(file.data(), file.size());
    } catch (const CError& error) {
        return error.what();
    }
    return "";
}

std::string ReadMessage(const Bytes& file)
{
    CPicture picture;
    return ReadMessage(picture, file);
}

/// Gradients with noise, so that every predictor (and every Paeth branch)
/// meets varied neighbours.
CPicture TestImage(int width, int height, bool alpha, unsigned seed)
{
    std::mt19937 random(seed);
    CPicture picture(width, height, alpha);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(random() % 64);
            SetPixel(picture, x, y, (x * 7 + noise) & 255, (y * 11 + x * 3) & 255, (noise * 5 + 255 - y) & 255,
                     (x * y + noise) & 255);
        }
    }
    return picture;
}

Bytes PixelBytes(const CPicture& picture)
{
    return Bytes(picture.Pixels(), picture.Pixels() + picture.ByteCount());
}

Bytes ValidFile(std::vector<Chunk> extra = {})
{
    const CPicture picture = TestImage(9, 6, true, 3);
    std::vector<Chunk> chunks = SplitChunks(png::EncodePNG(picture));
    chunks.insert(chunks.begin() + 1, extra.begin(), extra.end());
    return JoinChunks(chunks);
}

} // namespace

TEST(PNGReader, RefusesBadHeadersWithTheirMessagesInOrder)
{
    const Bytes idat = Compress(Bytes(4 * (1 + 4 * 3), 0));
    const auto file = [&](Chunk header) { return FileOf({header, {"IDAT", idat}, {"IEND", {}}}); };

    EXPECT_EQ(ReadMessage(Bytes{137, 'P', 'N', 'G', 13, 10, 26}), "PNG File Is Too Small To Fit A Valid Header");
    EXPECT_EQ(ReadMessage(Bytes{}), "PNG File Is Too Small To Fit A Valid Header");
    EXPECT_EQ(ReadMessage(Bytes{137, 'P', 'N', 'G', 13, 10, 26, 11}), "PNG File Header Not Found");
    EXPECT_EQ(ReadMessage(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}), "PNG File Header Not Found");

    Chunk shortHeader = Header(4, 4, 8, 2);
    shortHeader.data.resize(12);
    EXPECT_EQ(ReadMessage(file(shortHeader)), "PNG File's Header Chunk Too Small");

    for (int depth : {1, 2, 4, 16})
        EXPECT_EQ(ReadMessage(file(Header(4, 4, depth, 2))), "Unsupported Bit Depth In PNG File") << depth;
    for (int type : {0, 3, 4, 1, 7})
        EXPECT_EQ(ReadMessage(file(Header(4, 4, 8, type))), "Unsupported Color Type In PNG File") << type;
    EXPECT_EQ(ReadMessage(file(Header(4, 4, 8, 2, 1))), "Unsupported Compression Method In PNG File");
    EXPECT_EQ(ReadMessage(file(Header(4, 4, 8, 2, 0, 1))), "Unsupported Filter Method In PNG File");
    EXPECT_EQ(ReadMessage(file(Header(4, 4, 8, 2, 0, 0, 1))), "Can't Read Interlaced PNG Files");
    // The checks run in that order: the first failing field decides.
    EXPECT_EQ(ReadMessage(file(Header(4, 4, 16, 3, 1, 1, 1))), "Unsupported Bit Depth In PNG File");
    EXPECT_EQ(ReadMessage(file(Header(4, 4, 8, 3, 1, 1, 1))), "Unsupported Color Type In PNG File");
    EXPECT_EQ(ReadMessage(file(Header(4, 4, 8, 6, 1, 1, 1))), "Unsupported Compression Method In PNG File");
    EXPECT_EQ(ReadMessage(file(Header(4, 4, 8, 6, 0, 1, 1))), "Unsupported Filter Method In PNG File");

    // A header of 13 bytes or more is enough; the rest is ignored.
    Chunk longHeader = Header(4, 4, 8, 2);
    longHeader.data.resize(20, 0xFF);
    EXPECT_EQ(ReadMessage(file(longHeader)), "");
}

TEST(PNGReader, ChunkAndStreamFaultsHaveTheirMessages)
{
    const Bytes valid = ValidFile();
    // A chunk length reaching past the end of the file.
    Bytes tooLong = valid;
    tooLong[8 + 3] = 200;
    EXPECT_EQ(ReadMessage(tooLong), "Chunk Found Larger Than File In PNG Image");
    Bytes huge = valid;
    huge[8] = huge[9] = huge[10] = huge[11] = 0xFF;
    EXPECT_EQ(ReadMessage(huge), "Chunk Found Larger Than File In PNG Image");

    // No IEND: the bytes run out.
    Bytes noEnd(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(valid.size() - 12));
    EXPECT_EQ(ReadMessage(noEnd), "Unexpected End Of File In PNG Image");

    // Too little or too much image data, or data that is no zlib stream.
    const CPicture picture = TestImage(5, 4, false, 9);
    const auto withData = [&](const Bytes& raw, bool compress) {
        return FileOf({Header(5, 4, 8, 2), {"IDAT", compress ? Compress(raw) : raw}, {"IEND", {}}});
    };
    EXPECT_EQ(ReadMessage(withData(Bytes(4 * 16 - 1, 0), true)), "PNG: Not Enough Information Inflated");
    EXPECT_EQ(ReadMessage(withData(Bytes(4 * 16 + 1, 0), true)), "Inflate: Buffer Error");
    EXPECT_EQ(ReadMessage(withData(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}, false)), "Inflate: Data Error");
    EXPECT_EQ(ReadMessage(FileOf({Header(5, 4, 8, 2), {"IEND", {}}})), "Inflate: Data Error");
    // No header at all before the end.
    EXPECT_EQ(ReadMessage(FileOf({{"IDAT", Compress(Bytes(64, 0))}, {"IEND", {}}})), "PNG File's Header Chunk Too Small");
}

TEST(PNGReader, HeadersBeyondWhatCanBeDecodedAreRefusedBeforeAllocating)
{
    const Bytes idat = Compress(Bytes(64, 0));
    const auto file = [&](std::uint32_t w, std::uint32_t h, int type) {
        return FileOf({Header(w, h, 8, type), {"IDAT", idat}, {"IEND", {}}});
    };
    // Sizes past 2^31 - 1, and products past what a buffer may hold.
    EXPECT_EQ(ReadMessage(file(0xFFFFFFFFu, 0xFFFFFFFFu, 6)), "PNG Image Too Large To Decode");
    EXPECT_EQ(ReadMessage(file(0x80000000u, 1, 2)), "PNG Image Too Large To Decode");
    EXPECT_EQ(ReadMessage(file(1, 0x80000000u, 2)), "PNG Image Too Large To Decode");
    EXPECT_EQ(ReadMessage(file(0x7FFFFFFFu, 0, 6)), "PNG Image Too Large To Decode");
    EXPECT_EQ(ReadMessage(file(100000, 100000, 6)), "PNG Image Too Large To Decode");
    EXPECT_EQ(ReadMessage(file(0x55555556u, 1, 2)), "PNG Image Too Large To Decode");   // width x 3 wraps 32 bits
    // 1.2 GB of pixels from 14 bytes of image data cannot be: refused as
    // the inflate would be, without asking for the memory.
    EXPECT_EQ(ReadMessage(file(20000, 20000, 2)), "PNG: Not Enough Information Inflated");
}

TEST(PNGReader, UndoesEveryFilterIncludingTheFirstRowAndEdges)
{
    for (const bool alpha : {false, true}) {
        for (const int width : {1, 2, 37}) {
            SCOPED_TRACE(std::to_string(width) + (alpha ? " RGBA" : " RGB"));
            const CPicture source = TestImage(width, 23, alpha, 17u + static_cast<unsigned>(width));
            // Each filter on the first row (zero "up") and on later rows.
            for (const std::vector<int>& filters :
                 std::vector<std::vector<int>>{{0}, {1}, {2}, {3}, {4}, {4, 3, 2, 1, 0}, {0, 1, 2, 3, 4, 4, 3}}) {
                CPicture decoded;
                ASSERT_EQ(ReadMessage(decoded, EncodeWithFilters(source, filters)), "");
                ASSERT_EQ(decoded.GetWidth(), width);
                ASSERT_EQ(decoded.HasAlpha(), alpha);
                EXPECT_EQ(PixelBytes(decoded), PixelBytes(source)) << "filters " << filters.front();
            }
        }
    }
}

TEST(PNGReader, UnknownFilterValuesLeaveTheRowAsStored)
{
    CPicture source = TestImage(6, 3, false, 5);
    // Row 1 carries filter 7: its stored bytes are the pixels themselves.
    CPicture decoded;
    ASSERT_EQ(ReadMessage(decoded, EncodeWithFilters(source, {0, 7, 0})), "");
    EXPECT_EQ(PixelBytes(decoded), PixelBytes(source));
    ASSERT_EQ(ReadMessage(decoded, EncodeWithFilters(source, {2, 200, 2})), "");
    EXPECT_EQ(PixelBytes(decoded), PixelBytes(source));
}

TEST(PNGReader, SplitImageDataAndWrongCrcsDecodeTheSame)
{
    const CPicture source = TestImage(31, 17, true, 11);
    const Bytes whole = EncodeWithFilters(source, {4, 1, 2, 3});
    for (std::size_t piece : {1u, 2u, 7u, 100u, 1000u}) {
        CPicture decoded;
        ASSERT_EQ(ReadMessage(decoded, SplitImageData(whole, piece)), "") << piece;
        EXPECT_EQ(PixelBytes(decoded), PixelBytes(source)) << piece;
    }
    // The writer's own chunking, and empty image data chunks between.
    CPicture decoded;
    ASSERT_EQ(ReadMessage(decoded, png::EncodePNG(source, 5)), "");
    EXPECT_EQ(PixelBytes(decoded), PixelBytes(source));
    std::vector<Chunk> chunks = SplitChunks(SplitImageData(whole, 50));
    chunks.insert(chunks.begin() + 2, Chunk{"IDAT", {}});
    chunks.insert(chunks.begin() + 1, Chunk{"tEXt", {'C', 'o', 'm', 0, 'x'}});
    ASSERT_EQ(ReadMessage(decoded, JoinChunks(chunks)), "");
    EXPECT_EQ(PixelBytes(decoded), PixelBytes(source));

    ASSERT_EQ(ReadMessage(decoded, BreakCrcs(whole)), "");
    EXPECT_EQ(PixelBytes(decoded), PixelBytes(source));
}

TEST(PNGReader, AFailedReadLeavesThePictureAsItWas)
{
    CPicture picture = gui_test::SolidPicture(3, 2, 1, 2, 3);
    picture.SetClipRect(1, 1, 0, 0);
    Bytes bad = ValidFile();
    bad.resize(bad.size() - 20);
    EXPECT_NE(ReadMessage(picture, bad), "");
    EXPECT_EQ(picture.GetWidth(), 3);
    EXPECT_EQ(picture.GetHeight(), 2);
    EXPECT_FALSE(picture.HasAlpha());
    EXPECT_EQ(PixelOf(picture, 2, 1), (gui_test::Pixel{1, 2, 3, -1}));
    EXPECT_EQ(picture.GetClipRect().left, 1);

    // A good read replaces it and clips to the new size.
    ASSERT_EQ(ReadMessage(picture, ValidFile()), "");
    EXPECT_EQ(picture.GetWidth(), 9);
    EXPECT_TRUE(picture.HasAlpha());
    EXPECT_EQ(picture.GetClipRect().right, 8);
    EXPECT_EQ(picture.GetClipRect().bottom, 5);
}

TEST(PNGReader, EveryTruncationGivesAMessageUntilOnlyTheLastCrcIsMissing)
{
    // Several image data chunks and an ancillary one, so that cuts land in
    // every part of every kind of chunk.
    const Bytes file = SplitImageData(ValidFile({{"gAMA", {0, 0, 0xB1, 0x8F}}}), 40);
    const std::size_t lastData = EndOfImageEnd(file);
    CPicture reference;
    ASSERT_EQ(ReadMessage(reference, file), "");
    for (std::size_t length = 0; length < file.size(); ++length) {
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        CPicture picture;
        const std::string message = ReadMessage(picture, cut);
        if (length < lastData) {
            EXPECT_NE(message, "") << length;
        } else {
            // The CRC is never read, so the end chunk without it decodes.
            EXPECT_EQ(message, "") << length;
            EXPECT_EQ(PixelBytes(picture), PixelBytes(reference));
        }
    }
}

TEST(PNGReader, RandomCorruptionGivesAPictureOrAMessage)
{
    const Bytes file = SplitImageData(ValidFile(), 64);
    std::mt19937 random(2024);
    int refused = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes broken = file;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i)
            broken[random() % broken.size()] ^= static_cast<unsigned char>(1u << (random() % 8));
        CPicture picture;
        try {
            picture.ReadPNG(broken.data(), broken.size());
            // Decoded: the picture is whole.
            ASSERT_EQ(picture.ByteCount(), picture.RowBytes() * static_cast<std::size_t>(picture.GetHeight()));
        } catch (const CError& error) {
            ASSERT_STRNE(error.what(), "");
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(PNGReader, WriterOutputReadsBackExactly)
{
    for (const bool alpha : {false, true}) {
        const CPicture source = TestImage(64, 40, alpha, 1);
        CPicture decoded;
        ASSERT_EQ(ReadMessage(decoded, png::EncodePNG(source)), "");
        EXPECT_EQ(PixelBytes(decoded), PixelBytes(source));
        // The writer's CRCs are right: our own rebuild computes the same.
        const Bytes bytes = png::EncodePNG(source);
        EXPECT_EQ(JoinChunks(SplitChunks(bytes)), bytes);
    }
}

TEST(PNGReader, InflateMapsZlibResultsToMessages)
{
    const Bytes packed = Compress(Bytes(100, 42));
    Bytes out(100);
    EXPECT_EQ(CPicture::InflateBuffer(out.data(), out.size(), packed.data(), packed.size()), 100u);
    EXPECT_EQ(out, Bytes(100, 42));
    Bytes small(99);
    EXPECT_THROW(
        {
            try {
                CPicture::InflateBuffer(small.data(), small.size(), packed.data(), packed.size());
            } catch (const CError& error) {
                EXPECT_STREQ(error.what(), "Inflate: Buffer Error");
                throw;
            }
        },
        CError);
    const Bytes garbage = {0x78, 0x9C, 0xFF, 0xFF, 0xFF};
    try {
        CPicture::InflateBuffer(out.data(), out.size(), garbage.data(), garbage.size());
        ADD_FAILURE() << "garbage inflated";
    } catch (const CError& error) {
        EXPECT_STREQ(error.what(), "Inflate: Data Error");
    }
}
