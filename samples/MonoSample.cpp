#include "samples/MonoSample.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "framework/Error.h"
#include "framework/LittleEndian.h"
#include "samples/WavFormat.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

/// Bytes from the current position to the end of the file.
long Remaining(std::FILE* file)
{
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    const long end = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return end > here ? end - here : 0;
}

} // namespace

CMonoSample::CMonoSample(int count, int sampleRate)
    : samples(static_cast<std::size_t>(count > 0 ? count : 0), 0.0), sampleRate(sampleRate)
{
}

CMonoSample::CMonoSample(int count, const double* values, int sampleRate) : sampleRate(sampleRate)
{
    if (count > 0 && values != nullptr)
        samples.assign(values, values + count);
}

void CMonoSample::LoadWav(const char* path)
{
    samples.clear();
    samples.shrink_to_fit();
    File file(std::fopen(path, "rb"));
    if (!file)
        throw CError("Can't Open File <%s>", path);

    unsigned char header[12];
    if (std::fread(header, 1, 12, file.get()) != 12)
        throw CError("Unexpected End Of File Reading <%s>", path);
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        throw CError("Invalid File Format Reading <%s>", path);

    bool haveFormat = false;
    bool haveData = false;
    std::uint16_t formatTag = 0, channels = 0, bitsPerSample = 0;
    std::vector<unsigned char> data;
    while (!(haveFormat && haveData)) {
        unsigned char chunk[8];
        if (std::fread(chunk, 1, 8, file.get()) != 8)
            throw CError("Unexpected End Of File Reading <%s>", path);
        const std::uint32_t size = ReadLittleEndian32(chunk + 4);
        // A chunk can never be larger than what is left of the file; checking
        // first keeps a damaged size from asking for gigabytes.
        if (size > static_cast<unsigned long>(Remaining(file.get())))
            throw CError("Unexpected End Of File Reading <%s>", path);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16)
                throw CError("Format Chunk In File <%s> Is Too Small", path);
            unsigned char format[16];
            if (std::fread(format, 1, 16, file.get()) != 16)
                throw CError("Unexpected End Of File Reading <%s>", path);
            formatTag = ReadLittleEndian16(format);
            channels = ReadLittleEndian16(format + 2);
            bitsPerSample = ReadLittleEndian16(format + 14);
            if (std::fseek(file.get(), static_cast<long>(size - 16), SEEK_CUR) != 0)
                throw CError("Unexpected End Of File Reading <%s>", path);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data.resize(size);
            if (size > 0 && std::fread(data.data(), 1, size, file.get()) != size)
                throw CError("Unexpected End Of File Reading <%s>", path);
            haveData = true;
        } else if (std::fseek(file.get(), static_cast<long>(size), SEEK_CUR) != 0) {
            throw CError("Unexpected End Of File Reading <%s>", path);
        }
    }
    file.reset();

    if (formatTag != 1)
        throw CError("Can't Read Non-PCM Format WAV File <%s>", path);
    if (bitsPerSample != 16)
        throw CError("Only 16 Bit WAV Files Supported, <%s> Is %i-Bit", path, static_cast<int>(bitsPerSample));
    if (channels != 1)
        throw CError("Only Mono WAV Files Supported, <%s> Has %i Channels", path, static_cast<int>(channels));

    const std::size_t count = data.size() / 2;
    std::vector<double> values(count);
    for (std::size_t i = 0; i < count; ++i)
        values[i] = FromPcm16(static_cast<std::int16_t>(ReadLittleEndian16(&data[2 * i])));
    samples = std::move(values);
}

void CMonoSample::SaveWav(const char* path) const
{
    std::vector<unsigned char> pcm(samples.size() * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto value = static_cast<std::uint16_t>(ToPcm16(samples[i]));
        pcm[2 * i] = static_cast<unsigned char>(value);
        pcm[2 * i + 1] = static_cast<unsigned char>(value >> 8);
    }
    unsigned char header[kWavHeaderBytes];
    BuildWavHeader(header, WavSampleFormat::Pcm16, 1, sampleRate, static_cast<std::uint32_t>(samples.size()));

    File file(std::fopen(path, "wb"));
    if (!file)
        throw CError("Can't Open File <%s>", path);
    // The five pieces the file consists of: RIFF header, format header,
    // format, data header, samples.
    const struct {
        const unsigned char* bytes;
        std::size_t size;
    } pieces[] = {{header, 12}, {header + 12, 8}, {header + 20, 16}, {header + 36, 8}, {pcm.data(), pcm.size()}};
    for (const auto& piece : pieces) {
        if (piece.size > 0 && std::fwrite(piece.bytes, 1, piece.size, file.get()) != piece.size)
            throw CError("Can't Write To File <%s>", path);
    }
    if (std::fflush(file.get()) != 0)
        throw CError("Can't Write To File <%s>", path);
}

void CMonoSample::Normalize()
{
    double largest = 0.0;
    for (double value : samples)
        largest = std::fmax(largest, std::fabs(value));
    if (!(largest > 0.0))
        return;
    const double scale = 1.0 / largest;
    for (double& value : samples)
        value *= scale;
}
