#include "framework/AudioBuffer.h"

#include <cstdlib>
#include <cstring>

double* AllocateChannel(int length)
{
    if (length <= 0)
        return nullptr;
    const std::size_t samples = static_cast<std::size_t>(length) + 2;
    const std::size_t bytes = samples * sizeof(double) + 16 + sizeof(void*);
    void* raw = std::malloc(bytes);
    if (raw == nullptr)
        return nullptr;
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*) + 15) & ~std::uintptr_t(15);
    auto* channel = reinterpret_cast<double*>(start);
    std::memcpy(reinterpret_cast<char*>(channel) - sizeof(void*), &raw, sizeof(void*));
    std::memset(channel, 0, samples * sizeof(double));
    return channel;
}

void FreeChannel(double* channel)
{
    if (channel == nullptr)
        return;
    void* raw;
    std::memcpy(&raw, reinterpret_cast<char*>(channel) - sizeof(void*), sizeof(void*));
    std::free(raw);
}

CAudioBuffer::CAudioBuffer(int length, bool stereo)
    : left(nullptr), right(nullptr), stereo(stereo), length(length < 0 ? 0 : length)
{
    Allocate();
}

CAudioBuffer::~CAudioBuffer()
{
    Free();
}

void CAudioBuffer::Allocate()
{
    left = AllocateChannel(length);
    right = stereo ? AllocateChannel(length) : nullptr;
}

void CAudioBuffer::Free()
{
    FreeChannel(left);
    FreeChannel(right);
    left = right = nullptr;
}

void CAudioBuffer::Clear()
{
    if (length <= 0)
        return;
    if (left != nullptr)
        std::memset(left, 0, sizeof(double) * static_cast<std::size_t>(length));
    if (stereo && right != nullptr)
        std::memset(right, 0, sizeof(double) * static_cast<std::size_t>(length));
}

void CAudioBuffer::Resize(int newLength)
{
    if (newLength < 0)
        newLength = 0;
    if (newLength != length) {
        Free();
        length = newLength;
        Allocate();
    }
    Clear();
}
