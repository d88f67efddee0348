#pragma once
// ControlEvent: one timed event on a control port. Host and plug-in
// libraries exchange it by value, so its 40-byte layout is fixed.

#include <cstddef>
#include <cstdint>

#include "framework/Packing.h"

enum ControlEventType : std::int32_t {
    kEventNoteOn = 1,
    kEventNoteOff = 2,
    kEventTriggerOn = 3,
    kEventTriggerOff = 4,
    kEventParameter = 5,
};

CORVANE_PACK_BEGIN

struct ControlEvent {
    std::int32_t size;       // always 40
    std::int32_t time;       // sample offset in the block; in a deferred queue, from the next block's start
    std::int32_t type;       // ControlEventType
    std::int64_t stamp;      // performance counter at arrival (live MIDI input), else 0
    std::int32_t index;      // note, trigger or parameter index
    double value;            // velocity 0..1 or parameter value
    double frequency;        // Hz of a note-on, else 0
};

CORVANE_PACK_END

static_assert(sizeof(ControlEvent) == 40, "ControlEvent is exchanged by value across modules");
static_assert(offsetof(ControlEvent, size) == 0);
static_assert(offsetof(ControlEvent, time) == 4);
static_assert(offsetof(ControlEvent, type) == 8);
static_assert(offsetof(ControlEvent, stamp) == 12);
static_assert(offsetof(ControlEvent, index) == 20);
static_assert(offsetof(ControlEvent, value) == 24);
static_assert(offsetof(ControlEvent, frequency) == 32);

/// An event with size set and everything else given.
inline ControlEvent MakeControlEvent(std::int32_t type, std::int32_t time, std::int32_t index, double value,
                                     double frequency = 0.0, std::int64_t stamp = 0)
{
    ControlEvent event{};
    event.size = static_cast<std::int32_t>(sizeof(ControlEvent));
    event.time = time;
    event.type = type;
    event.stamp = stamp;
    event.index = index;
    event.value = value;
    event.frequency = frequency;
    return event;
}
