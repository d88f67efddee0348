#include "project/ByteReader.h"

#include <cstring>

#include "framework/Error.h"
#include "framework/LittleEndian.h"

void CByteReader::Corrupt() const
{
    throw CError("File '%s' Is Corrupt", path != nullptr ? path->c_str() : "");
}

const unsigned char* CByteReader::Take(std::size_t count)
{
    if (count > Remaining())
        Corrupt();
    const unsigned char* start = data + position;
    position += count;
    return start;
}

std::uint8_t CByteReader::ReadByte()
{
    return *Take(1);
}

std::int32_t CByteReader::ReadInt32()
{
    return ReadLittleEndianInt32(Take(4));
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
    const unsigned char* start = Take(count);
    return CByteReader(start, count, path);
}

std::int32_t CByteReader::ReadCount(std::size_t recordBytes)
{
    const std::int32_t count = ReadInt32();
    if (count < 0 || (recordBytes > 0 && static_cast<std::size_t>(count) > Remaining() / recordBytes))
        Corrupt();
    return count;
}
