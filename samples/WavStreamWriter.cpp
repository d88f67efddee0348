#include "samples/WavStreamWriter.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

CWavStreamWriter::~CWavStreamWriter()
{
    if (file != nullptr)
        std::fclose(file);
}

bool CWavStreamWriter::Open(const char* path, WavSampleFormat newFormat, int newChannels, int largestBlock)
{
    if (file != nullptr)
        std::fclose(file);
    file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    format = newFormat;
    channels = newChannels == 2 ? 2 : 1;
    frames = 0;
    headerFrames = 0;
    writeFailed = false;
    writeError = 0;
    const std::size_t bytesPerSample = format == WavSampleFormat::Pcm16 ? 2 : 4;
    scratch.assign(static_cast<std::size_t>(largestBlock > 0 ? largestBlock : 1) * channels * bytesPerSample, 0);
    if (std::fseek(file, kWavHeaderBytes, SEEK_SET) != 0)
        Fail();
    return true;
}

void CWavStreamWriter::Append(const double* left, const double* right, int blockFrames)
{
    // After a failed write nothing more goes in: the frames counted are
    // the ones on disk, and a header never claims more.
    if (file == nullptr || blockFrames <= 0 || writeFailed)
        return;
    const std::size_t bytesPerSample = format == WavSampleFormat::Pcm16 ? 2 : 4;
    const std::size_t frameBytes = bytesPerSample * static_cast<std::size_t>(channels);
    const int capacity = static_cast<int>(scratch.size() / frameBytes);
    const double* sources[2] = {left, right != nullptr ? right : left};
    // Blocks larger than the size given at Open are written in pieces.
    for (int done = 0; done < blockFrames;) {
        const int count = blockFrames - done < capacity ? blockFrames - done : capacity;
        unsigned char* out = scratch.data();
        for (int s = done; s < done + count; ++s) {
            for (int c = 0; c < channels; ++c) {
                const double value = sources[c][s];
                if (format == WavSampleFormat::Pcm16) {
                    const auto pcm = static_cast<std::uint16_t>(ToPcm16(value));
                    out[0] = static_cast<unsigned char>(pcm);
                    out[1] = static_cast<unsigned char>(pcm >> 8);
                    out += 2;
                } else {
                    const float sample = static_cast<float>(value);
                    std::memcpy(out, &sample, 4);
                    out += 4;
                }
            }
        }
        const std::size_t bytes = frameBytes * static_cast<std::size_t>(count);
        const std::size_t written = std::fwrite(scratch.data(), 1, bytes, file);
        frames += static_cast<std::uint32_t>(written / frameBytes);
        if (written != bytes) {
            Fail();
            return;
        }
        done += count;
    }
}

void CWavStreamWriter::Fail()
{
    if (!writeFailed)
        writeError = errno != 0 ? errno : EIO;
    writeFailed = true;
}

void CWavStreamWriter::CountFramesOnDisk()
{
    // The stream may have taken bytes the disk then refused (a flush that
    // fails on a full disk): the header counts what the file holds.
    if (std::fflush(file) != 0)
        Fail();
    struct stat status {};
    if (::fstat(fileno(file), &status) != 0)
        return;
    const std::size_t frameBytes = (format == WavSampleFormat::Pcm16 ? 2u : 4u) * static_cast<std::size_t>(channels);
    const auto size = static_cast<std::uint64_t>(status.st_size);
    const auto headerBytes = static_cast<std::uint64_t>(kWavHeaderBytes);
    const std::uint64_t onDisk = size > headerBytes ? (size - headerBytes) / frameBytes : 0;
    if (onDisk < frames)
        frames = static_cast<std::uint32_t>(onDisk);
}

void CWavStreamWriter::Close(int sampleRate)
{
    if (file == nullptr)
        return;
    if (writeFailed)
        CountFramesOnDisk();
    unsigned char header[kWavHeaderBytes];
    BuildWavHeader(header, format, channels, sampleRate, frames);
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fwrite(header, 1, kWavHeaderBytes, file) != kWavHeaderBytes)
        Fail();
    if (std::fclose(file) != 0)
        Fail();
    file = nullptr;
}

void CWavStreamWriter::UpdateHeader(int sampleRate)
{
    if (file == nullptr)
        return;
    CountFramesOnDisk();
    unsigned char header[kWavHeaderBytes];
    BuildWavHeader(header, format, channels, sampleRate, frames);
    // Seeking flushes what the stream holds, so the data reaches the system
    // before the header that counts it, and the header before the next data.
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fwrite(header, 1, kWavHeaderBytes, file) != kWavHeaderBytes ||
        std::fseek(file, 0, SEEK_END) != 0 || std::fflush(file) != 0) {
        Fail();
        return;
    }
    headerFrames = frames;
}
