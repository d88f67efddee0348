#pragma once
// CAudioBuffer: the samples of one audio port, one array of doubles per
// channel. Channels start on 16-byte boundaries and have room for length + 2
// samples; a length of 0 gives null arrays. New and resized buffers are
// silent.

#include <cstdint>

#include "framework/Packing.h"

CORVANE_PACK_BEGIN

class CAudioBuffer {
public:
    CAudioBuffer(int length, bool stereo);
    virtual ~CAudioBuffer();
    CAudioBuffer(const CAudioBuffer&) = delete;
    CAudioBuffer& operator=(const CAudioBuffer&) = delete;

    /// Zeroes length samples of each channel.
    virtual void Clear();
    /// New arrays when length changes; in every case the buffer is cleared.
    virtual void Resize(int length);

    double* left;
    double* right;
    bool stereo;
    std::int32_t length;

private:
    void Allocate();
    void Free();
};

CORVANE_PACK_END

/// A channel array of length + 2 doubles, 16-byte aligned, zero-filled; the
/// raw allocation sits in the 8 bytes before it. Null for length <= 0 or
/// when memory runs out.
double* AllocateChannel(int length);
void FreeChannel(double* channel);
