#pragma once
// CByteReader: little-endian fields read from bytes held in memory, with
// every read checked against what is there. A read that would pass the end
// throws "File '%s' Is Corrupt" with the file's path, so a damaged project
// can never make the reader look past its data. The bytes are either held
// in memory or read from a file as they are asked for.

#include <cstddef>
#include <cstdint>
#include <string>

class CProjectFileSource;

class CByteReader {
public:
    CByteReader(const unsigned char* data, std::size_t size, const std::string* path)
        : data(data), size(size), path(path)
    {
    }
    /// The whole of a file, read piece by piece.
    CByteReader(CProjectFileSource& source, const std::string* path);

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
    /// Copies the next count bytes out (small fields; nothing is kept).
    void TakeInto(unsigned char* out, std::size_t count);

    const unsigned char* data;
    std::size_t size;
    std::size_t position = 0;
    const std::string* path;
    CProjectFileSource* source = nullptr;   // set when reading from a file
    std::size_t sourceOffset = 0;           // where this reader's bytes start in it
};
