#pragma once
// CByteWriter: a project file's bytes built in memory, little-endian, so
// that the file on disk is replaced in one step only when all of it is
// ready.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CByteWriter {
public:
    void Reserve(std::size_t bytes) { data.reserve(bytes); }
    void WriteByte(std::uint8_t value) { data.push_back(value); }
    void WriteInt32(std::int32_t value);
    void WriteFloat(float value);
    void WriteDouble(double value);
    void WriteBytes(const void* bytes, std::size_t count);
    void WriteZeros(std::size_t count) { data.insert(data.end(), count, 0); }
    /// The text cut to maximumBytes, then zeros to fill field bytes.
    void WriteTextField(const std::string& text, std::size_t fieldBytes, std::size_t maximumBytes);

    /// Where the next byte goes, to come back for a length.
    std::size_t Position() const { return data.size(); }
    void PatchInt32(std::size_t position, std::int32_t value);

    const std::vector<unsigned char>& Data() const { return data; }
    std::vector<unsigned char> TakeData() { return std::move(data); }

private:
    std::vector<unsigned char> data;
};
