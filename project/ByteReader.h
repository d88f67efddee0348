#pragma once
// CByteReader: little-endian fields read from bytes held in memory, with
// every read checked against what is there. A read that would pass the end
// throws "File '%s' Is Corrupt" with the file's path, so a damaged project
// can never make the reader look past its data.

#include <cstddef>
#include <cstdint>
#include <string>

class CByteReader {
public:
    CByteReader(const unsigned char* data, std::size_t size, const std::string* path)
        : data(data), size(size), path(path)
    {
    }

    std::size_t Remaining() const { return size - position; }
    bool AtEnd() const { return position == size; }

    std::uint8_t ReadByte();
    std::int32_t ReadInt32();
    float ReadFloat();
    double ReadDouble();
    /// The next count bytes, which stay owned by the data.
    const unsigned char* ReadBytes(std::size_t count);
    /// A reader of the next count bytes; this one moves past them.
    CByteReader ReadBlock(std::size_t count);
    /// A count of records of recordBytes each that must fit in what is
    /// left: negative or too large counts are corrupt.
    std::int32_t ReadCount(std::size_t recordBytes);

    /// Throws "File '%s' Is Corrupt".
    [[noreturn]] void Corrupt() const;

private:
    const unsigned char* Take(std::size_t count);

    const unsigned char* data;
    std::size_t size;
    std::size_t position = 0;
    const std::string* path;
};
