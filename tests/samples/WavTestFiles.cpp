#include "tests/samples/WavTestFiles.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

TemporaryFolder::TemporaryFolder()
{
    char pattern[] = "/tmp/corvane-wav-XXXXXX";
    path = mkdtemp(pattern);
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void Append16(Bytes& out, std::uint16_t value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void Append32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void AppendText(Bytes& out, const char* fourCharacters)
{
    out.insert(out.end(), fourCharacters, fourCharacters + 4);
}

void AppendChunk(Bytes& out, const char* id, const Bytes& data)
{
    AppendText(out, id);
    Append32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

Bytes FormatChunkData(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                      std::size_t extraBytes)
{
    Bytes data;
    const auto blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    Append16(data, tag);
    Append16(data, channels);
    Append32(data, rate);
    Append32(data, rate * blockAlign);
    Append16(data, blockAlign);
    Append16(data, bits);
    data.insert(data.end(), extraBytes, 0x5a);
    return data;
}

Bytes Pcm16Data(const std::vector<std::int16_t>& values)
{
    Bytes data;
    for (std::int16_t value : values)
        Append16(data, static_cast<std::uint16_t>(value));
    return data;
}

Bytes RiffFile(const char* formType, const Bytes& body)
{
    Bytes file;
    AppendText(file, "RIFF");
    Append32(file, static_cast<std::uint32_t>(body.size() + 4));
    AppendText(file, formType);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t Read32(const Bytes& bytes, std::size_t at)
{
    std::uint32_t value;
    std::memcpy(&value, &bytes[at], 4);
    return value;
}

std::uint16_t Read16(const Bytes& bytes, std::size_t at)
{
    std::uint16_t value;
    std::memcpy(&value, &bytes[at], 2);
    return value;
}
