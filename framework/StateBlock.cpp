#include "framework/StateBlock.h"

#include <cstdlib>
#include <cstring>

std::vector<double> DecodeStateBlock(const void* data, int length)
{
    std::vector<double> values;
    if (data == nullptr || length < kStateHeaderBytes)
        return values;
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t magic;
    std::int32_t count;
    std::memcpy(&magic, bytes, 4);
    std::memcpy(&count, bytes + 4, 4);
    if (count <= 0)
        return values;

    const bool floats = magic == kStateMagicFloats;
    const int valueBytes = floats ? 4 : 8;
    const int available = (length - kStateHeaderBytes) / valueBytes;
    const int readable = count < available ? count : available;
    values.reserve(static_cast<std::size_t>(readable));
    const unsigned char* cursor = bytes + kStateHeaderBytes;
    for (int i = 0; i < readable; ++i, cursor += valueBytes) {
        if (floats) {
            float value;
            std::memcpy(&value, cursor, 4);
            values.push_back(static_cast<double>(value));
        } else {
            double value;
            std::memcpy(&value, cursor, 8);
            values.push_back(value);
        }
    }
    return values;
}

void* EncodeStateBlock(const double* values, int count, int* length)
{
    if (count < 0)
        count = 0;
    const int bytes = kStateHeaderBytes + 8 * count;
    auto* block = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(bytes)));
    if (block == nullptr) {
        *length = 0;
        return nullptr;
    }
    const std::uint32_t magic = kStateMagicDoubles;
    const std::int32_t stored = count;
    std::memcpy(block, &magic, 4);
    std::memcpy(block + 4, &stored, 4);
    if (count > 0)
        std::memcpy(block + kStateHeaderBytes, values, 8 * static_cast<std::size_t>(count));
    *length = bytes;
    return block;
}
