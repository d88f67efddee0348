#include "project/ByteReader.h"

#include <cstring>

#include "framework/Error.h"
#include "framework/LittleEndian.h"
#include "project/ProjectFileSource.h"

CByteReader::CByteReader(CProjectFileSource& fileSource, const std::string* path)
    : data(nullptr), size(fileSource.Size()), path(path), source(&fileSource)
{
}

void CByteReader::Corrupt() const
{
    throw CError("File '%s' Is Corrupt", path != nullptr ? path->c_str() : "");
}

const unsigned char* CByteReader::Take(std::size_t count)
{
    if (count > Remaining())
        Corrupt();
    const unsigned char* start =
        source != nullptr ? source->Keep(sourceOffset + position, count) : data + position;
    position += count;
    return start;
}

void CByteReader::TakeInto(unsigned char* out, std::size_t count)
{
    if (count > Remaining())
        Corrupt();
    if (source != nullptr)
        source->Copy(sourceOffset + position, out, count);
    else
        std::memcpy(out, data + position, count);
    position += count;
}

std::uint8_t CByteReader::ReadByte()
{
    unsigned char byte;
    TakeInto(&byte, 1);
    return byte;
}

std::int32_t CByteReader::ReadInt32()
{
    unsigned char bytes[4];
    TakeInto(bytes, 4);
    return ReadLittleEndianInt32(bytes);
}

float CByteReader::ReadFloat()
{
    const std::uint32_t bits = static_cast<std::uint32_t>(ReadInt32());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double CByteReader::ReadDouble()
{
    const std::uint64_t low = static_cast<std::uint32_t>(ReadInt32());
    const std::uint64_t high = static_cast<std::uint32_t>(ReadInt32());
    const std::uint64_t bits = low | high << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

const unsigned char* CByteReader::ReadBytes(std::size_t count)
{
    return Take(count);
}

CByteReader CByteReader::ReadBlock(std::size_t count)
{
    if (count > Remaining())
        Corrupt();
    if (source == nullptr) {
        const unsigned char* start = Take(count);
        return CByteReader(start, count, path);
    }
    // A block of a file is a window on it: its bytes are read as its own
    // fields are.
    CByteReader block(*source, path);
    block.sourceOffset = sourceOffset + position;
    block.size = count;
    position += count;
    return block;
}

std::int32_t CByteReader::ReadCount(std::size_t recordBytes)
{
    const std::int32_t count = ReadInt32();
    if (count < 0 || (recordBytes > 0 && static_cast<std::size_t>(count) > Remaining() / recordBytes))
        Corrupt();
    return count;
}
