#include <gtest/gtest.h>

#include <cstring>

#include "samples/WavStreamWriter.h"
#include "tests/samples/WavTestFiles.h"

TEST(WavStreamWriter, ThousandStereoFloatFramesHaveTheCanonicalHeader)
{
    TemporaryFolder folder;
    const std::string path = folder.File("record.wav");
    CWavStreamWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), WavSampleFormat::Float32, 2, 256));
    std::vector<double> left(1000), right(1000);
    for (int i = 0; i < 1000; ++i) {
        left[i] = i / 1000.0;
        right[i] = -i / 1000.0 - 1e-12;   // below float precision: rounded, not clipped
    }
    writer.Append(left.data(), right.data(), 600);   // larger than the block size given at Open
    writer.Append(left.data() + 600, right.data() + 600, 400);
    writer.Close(44100);
    EXPECT_FALSE(writer.WriteFailed());

    const Bytes bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 8000u);
    EXPECT_EQ(Read32(bytes, 4), 8036u);
    EXPECT_EQ(Read16(bytes, 20), 3);
    EXPECT_EQ(Read16(bytes, 22), 2);
    EXPECT_EQ(Read32(bytes, 28), 352800u);
    EXPECT_EQ(Read16(bytes, 32), 8);
    EXPECT_EQ(Read16(bytes, 34), 32);
    EXPECT_EQ(Read32(bytes, 40), 8000u);
    float first[4];
    std::memcpy(first, &bytes[44 + 8 * 999], 8);
    EXPECT_EQ(first[0], static_cast<float>(999 / 1000.0));
    EXPECT_EQ(first[1], static_cast<float>(-999 / 1000.0 - 1e-12));
}

TEST(WavStreamWriter, MonoPcm16ClipsWithTheAsymmetricScales)
{
    TemporaryFolder folder;
    const std::string path = folder.File("mono.wav");
    CWavStreamWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), WavSampleFormat::Pcm16, 1, 8));
    const double values[] = {1.0, -1.0, 0.5, -0.5, 2.0, -2.0, 0.99999};
    writer.Append(values, nullptr, 7);
    writer.Close(8000);
    const Bytes bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 14u);
    EXPECT_EQ(Read16(bytes, 22), 1);
    EXPECT_EQ(Read32(bytes, 24), 8000u);
    const std::int16_t expected[] = {32767, -32768, 16383, -16384, 32767, -32768, 32766};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(static_cast<std::int16_t>(Read16(bytes, 44 + 2 * i)), expected[i]) << i;
}

TEST(WavStreamWriter, AnUnclosedFileHasNoHeaderAndAnUncreatableOneIsRefused)
{
    TemporaryFolder folder;
    const std::string path = folder.File("open.wav");
    {
        CWavStreamWriter writer;
        ASSERT_TRUE(writer.Open(path.c_str(), WavSampleFormat::Pcm16, 2, 4));
        const double block[4] = {0.1, 0.2, 0.3, 0.4};
        writer.Append(block, block, 4);
        // Destroyed without Close: the header's place stays zero.
    }
    const Bytes bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 16u);
    for (int i = 0; i < 44; ++i)
        EXPECT_EQ(bytes[i], 0) << i;

    CWavStreamWriter refused;
    EXPECT_FALSE(refused.Open("/nonexistent-folder/x.wav", WavSampleFormat::Pcm16, 1, 4));
}
