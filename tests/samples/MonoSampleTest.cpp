#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "framework/Error.h"
#include "samples/MonoSample.h"
#include "samples/WavFormat.h"
#include "tests/samples/WavTestFiles.h"

namespace {

std::string LoadError(const std::string& path)
{
    CMonoSample sample;
    try {
        sample.LoadWav(path.c_str());
    } catch (const CError& error) {
        EXPECT_EQ(sample.GetCount(), 0) << "a failed load leaves the sample empty";
        return error.what();
    }
    return "";
}

Bytes MonoWav(const std::vector<std::int16_t>& values)
{
    Bytes body;
    AppendChunk(body, "fmt ", FormatChunkData(1, 1, 22050, 16));
    AppendChunk(body, "data", Pcm16Data(values));
    return RiffFile("WAVE", body);
}

} // namespace

TEST(MonoSample, ReadsExtremesExactlyAndMidValuesInSinglePrecision)
{
    TemporaryFolder folder;
    const std::string path = folder.File("values.wav");
    WriteFile(path, MonoWav({32767, -32768, 16384, 0, -16384}));
    CMonoSample sample(0, 48000);
    sample.LoadWav(path.c_str());
    ASSERT_EQ(sample.GetCount(), 5);
    EXPECT_EQ(sample.GetSamples()[0], 1.0);
    EXPECT_EQ(sample.GetSamples()[1], -1.0);
    EXPECT_EQ(sample.GetSamples()[2], static_cast<double>(16384.0f / 32767.0f));
    EXPECT_EQ(sample.GetSamples()[3], 0.0);
    EXPECT_EQ(sample.GetSamples()[4], -0.5);
    EXPECT_EQ(sample.GetSampleRate(), 48000) << "the reader leaves the rate alone";
}

TEST(MonoSample, ChunkOrderExtendedFormatAndOddChunksDoNotMatter)
{
    TemporaryFolder folder;
    const std::vector<std::int16_t> values = {100, -200, 300};

    Bytes reversed;
    AppendChunk(reversed, "data", Pcm16Data(values));
    AppendChunk(reversed, "fmt ", FormatChunkData(1, 1, 44100, 16));

    Bytes extended;
    AppendChunk(extended, "fmt ", FormatChunkData(1, 1, 44100, 16, 24));   // 40-byte format chunk
    Bytes odd = {1, 2, 3};
    AppendChunk(extended, "LIST", Bytes{'I', 'N', 'F', 'O', 'x'});          // odd size, no pad byte
    AppendChunk(extended, "junk", odd);
    AppendChunk(extended, "data", Pcm16Data(values));

    for (const Bytes& body : {reversed, extended}) {
        const std::string path = folder.File("order.wav");
        WriteFile(path, RiffFile("WAVE", body));
        CMonoSample sample;
        sample.LoadWav(path.c_str());
        ASSERT_EQ(sample.GetCount(), 3);
        EXPECT_EQ(sample.GetSamples()[0], static_cast<double>(100.0f / 32767.0f));
        EXPECT_EQ(sample.GetSamples()[1], static_cast<double>(-200.0f / 32768.0f));
    }
}

TEST(MonoSample, DataOfSevenBytesGivesThreeSamples)
{
    TemporaryFolder folder;
    Bytes body;
    AppendChunk(body, "fmt ", FormatChunkData(1, 1, 8000, 16));
    AppendChunk(body, "data", Bytes{1, 0, 2, 0, 3, 0, 9});
    const std::string path = folder.File("seven.wav");
    WriteFile(path, RiffFile("WAVE", body));
    CMonoSample sample;
    sample.LoadWav(path.c_str());
    EXPECT_EQ(sample.GetCount(), 3);
}

TEST(MonoSample, RefusesOtherFormatsNamingThePathAndCounts)
{
    TemporaryFolder folder;
    struct Case {
        Bytes format;
        std::string expected;
    };
    const std::string path = folder.File("other.wav");
    const Case cases[] = {
        {FormatChunkData(1, 2, 44100, 16), "Only Mono WAV Files Supported, <" + path + "> Has 2 Channels"},
        {FormatChunkData(1, 1, 44100, 8), "Only 16 Bit WAV Files Supported, <" + path + "> Is 8-Bit"},
        {FormatChunkData(3, 1, 44100, 32), "Can't Read Non-PCM Format WAV File <" + path + ">"},
        {Bytes(12, 0), "Format Chunk In File <" + path + "> Is Too Small"},
    };
    for (const Case& c : cases) {
        Bytes body;
        AppendChunk(body, "fmt ", c.format);
        AppendChunk(body, "data", Pcm16Data({1, 2}));
        WriteFile(path, RiffFile("WAVE", body));
        EXPECT_EQ(LoadError(path), c.expected);
    }
    WriteFile(path, RiffFile("AVI ", Bytes{}));
    EXPECT_EQ(LoadError(path), "Invalid File Format Reading <" + path + ">");
    EXPECT_EQ(LoadError(folder.File("missing.wav")), "Can't Open File <" + folder.File("missing.wav") + ">");
}

TEST(MonoSample, EveryTruncationGivesAMessageNeverACrash)
{
    TemporaryFolder folder;
    Bytes body;
    AppendChunk(body, "LIST", Bytes{'I', 'N', 'F', 'O', 'a', 'b'});
    AppendChunk(body, "fmt ", FormatChunkData(1, 1, 44100, 16));
    AppendChunk(body, "data", Pcm16Data({1, 2, 3, 4, 5, 6}));
    const Bytes whole = RiffFile("WAVE", body);
    const std::string path = folder.File("cut.wav");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        WriteFile(path, Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
        const std::string message = LoadError(path);
        EXPECT_TRUE(message == "Unexpected End Of File Reading <" + path + ">" ||
                    message == "Invalid File Format Reading <" + path + ">")
            << "cut at " << length << ": " << message;
    }
}

TEST(MonoSample, ADamagedSizeDoesNotAskForGigabytes)
{
    TemporaryFolder folder;
    Bytes body;
    AppendChunk(body, "fmt ", FormatChunkData(1, 1, 44100, 16));
    AppendText(body, "data");
    Append32(body, 0xfffffff0u);
    Append32(body, 0);
    const std::string path = folder.File("huge.wav");
    WriteFile(path, RiffFile("WAVE", body));
    EXPECT_EQ(LoadError(path), "Unexpected End Of File Reading <" + path + ">");
}

TEST(MonoSample, SaveWritesTheCanonicalHeaderAndConversions)
{
    TemporaryFolder folder;
    const double values[] = {1.0, -1.0, 0.5, -0.5, 2.0, -3.0, 0.0};
    CMonoSample sample(7, values, 22050);
    const std::string path = folder.File("saved.wav");
    sample.SaveWav(path.c_str());
    const Bytes bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 14u);
    EXPECT_EQ(Read32(bytes, 4), 36u + 14u);
    EXPECT_EQ(Read16(bytes, 20), 1);
    EXPECT_EQ(Read16(bytes, 22), 1);
    EXPECT_EQ(Read32(bytes, 24), 22050u);
    EXPECT_EQ(Read32(bytes, 28), 44100u);
    EXPECT_EQ(Read16(bytes, 32), 2);
    EXPECT_EQ(Read16(bytes, 34), 16);
    EXPECT_EQ(Read32(bytes, 40), 14u);
    const std::int16_t expected[] = {32767, -32768, 16383, -16384, 32767, -32768, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(static_cast<std::int16_t>(Read16(bytes, 44 + 2 * i)), expected[i]) << i;

    CMonoSample back(0, 22050);
    back.LoadWav(path.c_str());
    ASSERT_EQ(back.GetCount(), 7);
    EXPECT_EQ(back.GetSamples()[0], 1.0);
    EXPECT_EQ(back.GetSamples()[1], -1.0);
}

TEST(MonoSample, SaveIntoAMissingFolderSaysSo)
{
    CMonoSample sample(4, 44100);
    EXPECT_THROW(
        {
            try {
                sample.SaveWav("/nonexistent-folder/x.wav");
            } catch (const CError& error) {
                EXPECT_STREQ(error.what(), "Can't Open File </nonexistent-folder/x.wav>");
                throw;
            }
        },
        CError);
}

TEST(MonoSample, NormalizeScalesToTheLargestMagnitudeAndLeavesSilence)
{
    const double values[] = {0.25, -0.5, 0.125};
    CMonoSample sample(3, values, 44100);
    sample.Normalize();
    EXPECT_DOUBLE_EQ(sample.GetSamples()[0], 0.5);
    EXPECT_DOUBLE_EQ(sample.GetSamples()[1], -1.0);
    CMonoSample silence(3, 44100);
    silence.Normalize();
    EXPECT_EQ(silence.GetSamples()[1], 0.0);
}

TEST(MonoSample, LoadsTheSoundsThatAlsaUtilsInstalls)
{
    const std::filesystem::path folder = "/usr/share/sounds/alsa";
    if (!std::filesystem::exists(folder))
        GTEST_SKIP() << "alsa-utils sounds not installed";
    int loaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".wav")
            continue;
        const Bytes bytes = ReadFile(entry.path());
        // Find the data chunk's size independently of the reader.
        std::size_t offset = 12;
        std::uint32_t dataBytes = 0;
        std::uint16_t channels = 0, bits = 0;
        while (offset + 8 <= bytes.size()) {
            const std::uint32_t size = Read32(bytes, offset + 4);
            if (std::memcmp(&bytes[offset], "fmt ", 4) == 0) {
                channels = Read16(bytes, offset + 10);
                bits = Read16(bytes, offset + 22);
            }
            if (std::memcmp(&bytes[offset], "data", 4) == 0)
                dataBytes = size;
            offset += 8 + size;
        }
        if (channels != 1 || bits != 16)
            continue;
        CMonoSample sample;
        sample.LoadWav(entry.path().c_str());
        EXPECT_EQ(sample.GetCount(), static_cast<int>(dataBytes / 2)) << entry.path();
        ++loaded;
    }
    EXPECT_GT(loaded, 0);
}
