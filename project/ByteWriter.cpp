#include "project/ByteWriter.h"

#include <algorithm>
#include <cstring>

#include "framework/LittleEndian.h"

void CByteWriter::WriteInt32(std::int32_t value)
{
    unsigned char bytes[4];
    WriteLittleEndian32(bytes, static_cast<std::uint32_t>(value));
    data.insert(data.end(), bytes, bytes + 4);
}

void CByteWriter::WriteFloat(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteInt32(static_cast<std::int32_t>(bits));
}

void CByteWriter::WriteDouble(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
    WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits >> 32)));
}

void CByteWriter::WriteBytes(const void* bytes, std::size_t count)
{
    if (count == 0)
        return;
    const auto* start = static_cast<const unsigned char*>(bytes);
    data.insert(data.end(), start, start + count);
}

void CByteWriter::WriteTextField(const std::string& text, std::size_t fieldBytes, std::size_t maximumBytes)
{
    // A text stops at its first zero, as it will when read back.
    const std::size_t length = std::min({std::strlen(text.c_str()), maximumBytes, fieldBytes});
    WriteBytes(text.data(), length);
    WriteZeros(fieldBytes - length);
}

void CByteWriter::PatchInt32(std::size_t position, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        data[position + static_cast<std::size_t>(i)] = static_cast<unsigned char>(bits >> (8 * i));
}
