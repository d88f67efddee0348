#pragma once
// A fixed-capacity queue between exactly one producer thread and one
// consumer thread, without locks or allocation: the MIDI callback hands
// events to the audio thread through one, the audio thread hands messages
// to the MIDI sender through another. A full ring refuses new entries.

#include <array>
#include <atomic>
#include <cstddef>

template <class T, std::size_t Capacity>
class CSpscRing {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "capacity is a power of two");

public:
    /// Producer only. False when full.
    bool Push(const T& item) noexcept
    {
        const std::size_t tail = writeIndex.load(std::memory_order_relaxed);
        if (tail - readIndex.load(std::memory_order_acquire) == Capacity)
            return false;
        entries[tail & (Capacity - 1)] = item;
        writeIndex.store(tail + 1, std::memory_order_release);
        return true;
    }

    /// Consumer only: the oldest entry without taking it, or null.
    const T* Front() const noexcept
    {
        const std::size_t head = readIndex.load(std::memory_order_relaxed);
        if (head == writeIndex.load(std::memory_order_acquire))
            return nullptr;
        return &entries[head & (Capacity - 1)];
    }

    /// Consumer only. False when empty.
    bool Pop(T* out) noexcept
    {
        const T* front = Front();
        if (front == nullptr)
            return false;
        *out = *front;
        readIndex.store(readIndex.load(std::memory_order_relaxed) + 1, std::memory_order_release);
        return true;
    }

    /// Consumer only: drops every entry there is now.
    void Drain() noexcept { readIndex.store(writeIndex.load(std::memory_order_acquire), std::memory_order_release); }

    bool Empty() const noexcept
    {
        return readIndex.load(std::memory_order_acquire) == writeIndex.load(std::memory_order_acquire);
    }

private:
    std::array<T, Capacity> entries{};
    alignas(64) std::atomic<std::size_t> writeIndex{0};
    alignas(64) std::atomic<std::size_t> readIndex{0};
};
