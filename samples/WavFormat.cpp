#include "samples/WavFormat.h"

#include <cstring>

#include "framework/LittleEndian.h"

void BuildWavHeader(unsigned char header[kWavHeaderBytes], WavSampleFormat format, int channels, int sampleRate,
                    std::uint32_t frames)
{
    const std::uint16_t bytesPerSample = format == WavSampleFormat::Pcm16 ? 2 : 4;
    const auto blockAlign = static_cast<std::uint16_t>(bytesPerSample * channels);
    const std::uint32_t dataBytes = blockAlign * frames;
    std::memcpy(header, "RIFF", 4);
    WriteLittleEndian32(header + 4, 36 + dataBytes);
    std::memcpy(header + 8, "WAVE", 4);
    std::memcpy(header + 12, "fmt ", 4);
    WriteLittleEndian32(header + 16, 16);
    WriteLittleEndian16(header + 20, format == WavSampleFormat::Pcm16 ? 1 : 3);
    WriteLittleEndian16(header + 22, static_cast<std::uint16_t>(channels));
    WriteLittleEndian32(header + 24, static_cast<std::uint32_t>(sampleRate));
    WriteLittleEndian32(header + 28, blockAlign * static_cast<std::uint32_t>(sampleRate));
    WriteLittleEndian16(header + 32, blockAlign);
    WriteLittleEndian16(header + 34, static_cast<std::uint16_t>(bytesPerSample * 8));
    std::memcpy(header + 36, "data", 4);
    WriteLittleEndian32(header + 40, dataBytes);
}
