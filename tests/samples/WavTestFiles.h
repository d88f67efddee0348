#pragma once
// Building WAV and RIFF files byte by byte for the tests, in a temporary
// folder that is removed afterwards.

#include <cstdint>
#include <string>
#include <vector>

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

using Bytes = std::vector<unsigned char>;

void Append16(Bytes& out, std::uint16_t value);
void Append32(Bytes& out, std::uint32_t value);
void AppendText(Bytes& out, const char* fourCharacters);
/// A chunk: id, size as given (or the data's size), then the data.
void AppendChunk(Bytes& out, const char* id, const Bytes& data);
Bytes FormatChunkData(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                      std::size_t extraBytes = 0);
Bytes Pcm16Data(const std::vector<std::int16_t>& values);
/// "RIFF", size, form type, then the body.
Bytes RiffFile(const char* formType, const Bytes& body);
void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
std::uint32_t Read32(const Bytes& bytes, std::size_t at);
std::uint16_t Read16(const Bytes& bytes, std::size_t at);
