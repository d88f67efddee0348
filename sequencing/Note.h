#pragma once
// CNote: one note of a pattern. For a machine without triggers it is a MIDI
// note number 0 … 127; for a machine with N triggers (drum pads and the
// like) an index 0 … N − 1. Notes are linked into their pattern's list in
// insertion order, which is the order their events are emitted in.

#include <cstdint>

class CPattern;

class CNote {
public:
    std::int32_t EndTick() const { return start + length; }
    bool Covers(int tick) const { return tick >= start && tick < start + length; }
    bool Overlaps(int otherStart, int otherLength) const
    {
        return otherStart < start + length && start < otherStart + otherLength;
    }

    CNote* next = nullptr;
    CNote* previous = nullptr;
    CPattern* owner = nullptr;
    std::int32_t start = 0;    // tick
    std::int32_t length = 1;   // ticks, at least 1
    std::int32_t note = 0;
};
