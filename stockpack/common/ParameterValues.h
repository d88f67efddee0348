#pragma once
// The parameter bookkeeping the stock machines share: an index outside a
// machine's parameters is ignored by the setters and reads back as 0, the
// same answer CMachine gives for a machine without parameters; and the
// instruments hand a change to their sounds through the sounds' queues.

#include <cstddef>

#include "framework/ControlBuffer.h"
#include "framework/ControlEvent.h"

/// Whether index is one of count parameters, 0 .. count - 1.
constexpr bool IsParameterIndex(int index, int count) noexcept
{
    return index >= 0 && index < count;
}

/// values[index], or 0 for an index outside the array.
template <std::size_t N>
double StoredParameter(const double (&values)[N], int index) noexcept
{
    return IsParameterIndex(index, static_cast<int>(N)) ? values[index] : 0.0;
}

/// Queues a parameter change for a sound that plays its own event queue
/// (Zazud's engine, a VUziD8 sound, a RazuZuri voice), for the start of
/// its next block. A queue already holding the sound's kMaxPendingEvents
/// is applied at once first, so edits made while no audio runs never pile
/// up. Machine's lock held.
template <typename Sound>
void QueueParameterChange(Sound& sound, int index, double value)
{
    if (sound.Events().Count() >= Sound::kMaxPendingEvents)
        sound.ApplyPendingAtStart();
    const ControlEvent event = MakeControlEvent(kEventParameter, 0, index, value);
    sound.Events().Insert(&event);
}
