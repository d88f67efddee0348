#pragma once
// A left and a right sample side by side, so that one vector instruction
// (SSE2 on x86-64, NEON on ARM) works on both channels. GCC and Clang
// vector extensions: the arithmetic operators work lane by lane.

/// Left in lane 0, right in lane 1.
using StereoPair = double __attribute__((vector_size(16)));

inline StereoPair BothLanes(double value)
{
    return StereoPair{value, value};
}
