#pragma once
// CRecentRun: results of an expensive pure function (a phase step, a
// filter's coefficients), kept in the order they were computed. A drum's
// sweep asks for the same arguments in the same order on every hit, so the
// next request is looked for first just after the last one found: a sweep
// heard before is read in order, one comparison a sample, instead of hashed
// all over the memory. A hash of the key finds where a repeated run starts.
//
// Entry needs Matches(key) and a default that matches nothing (NaN keys).
// Sized off the audio thread; Find and Keep allocate nothing.

#include <cstdint>
#include <cstring>
#include <vector>

template <class Entry, class Key>
class CRecentRun {
public:
    /// Room for count entries (rounded up to a power of two); forgets all.
    void Resize(int count)
    {
        std::uint32_t size = 1;
        while (size < static_cast<std::uint32_t>(count > 1 ? count : 1))
            size <<= 1;
        ring.assign(size, Entry{});
        where.assign(size, 0);
        mask = size - 1;
        next = 0;
        expected = 0;
    }
    void Forget() noexcept
    {
        for (Entry& entry : ring)
            entry = Entry{};
        next = 0;
        expected = 0;
    }
    bool Empty() const { return ring.empty(); }

    /// The entry kept for key, or null.
    const Entry* Find(const Key& key, double hashed) noexcept
    {
        const Entry* found = &ring[expected];
        if (!found->Matches(key)) {
            const std::uint32_t place = where[HashOf(hashed)];
            found = &ring[place];
            if (!found->Matches(key))
                return nullptr;
            expected = place;
        }
        expected = (expected + 1) & mask;
        return found;
    }
    /// Keeps entry after the last one kept; hashed as for Find.
    void Keep(const Entry& entry, double hashed) noexcept
    {
        ring[next] = entry;
        where[HashOf(hashed)] = next;
        next = (next + 1) & mask;
        expected = next;
    }

private:
    std::uint32_t HashOf(double value) const noexcept
    {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return static_cast<std::uint32_t>((bits * 0x9e3779b97f4a7c15ull) >> 32) & mask;
    }

    std::vector<Entry> ring;
    std::vector<std::uint32_t> where;   // hash of a key -> its place in the ring
    std::uint32_t mask = 0;
    std::uint32_t next = 0;             // the place the next kept entry takes
    std::uint32_t expected = 0;         // the place looked at first
};
