#pragma once
// CSequenceTrack: the song's row for one control input port. Its entries
// place patterns of that port at positions in units of 4 ticks; they are
// kept in insertion order, not sorted, and never overlap.
//
// Threads: changed on the user-interface thread with the pattern editor's
// lock held; read by the audio thread's song playback under that lock.

#include <cstdint>
#include <memory>
#include <vector>

class CConnector;
class CPattern;

struct CSequenceEntry {
    std::int32_t position = 0;   // units of 4 ticks
    CPattern* pattern = nullptr;

    int EndUnit() const;
    bool CoversUnit(int unit) const { return unit >= position && unit < EndUnit(); }
    bool Overlaps(int otherPosition, int otherLength) const
    {
        return otherPosition < EndUnit() && position < otherPosition + otherLength;
    }
};

class CSequenceTrack {
public:
    explicit CSequenceTrack(CConnector* target) : target(target) {}

    CConnector* Target() const { return target; }
    /// The pattern a click in this row places, or null.
    CPattern* ChosenPattern() const { return chosenPattern; }
    void SetChosenPattern(CPattern* pattern) { chosenPattern = pattern; }

    int EntryCount() const { return static_cast<int>(entries.size()); }
    CSequenceEntry* Entry(int index) const { return entries[static_cast<std::size_t>(index)].get(); }
    const std::vector<std::unique_ptr<CSequenceEntry>>& Entries() const { return entries; }
    /// The entry whose units cover unit, or null.
    CSequenceEntry* EntryAt(int unit) const;
    /// Whether [position, position + length) lies inside a sequence of
    /// sequenceLength units and overlaps no entry but ignored.
    bool Fits(int position, int length, int sequenceLength, const CSequenceEntry* ignored) const;

    CSequenceEntry* AddEntry(int position, CPattern* pattern);
    /// Every entry and the chosen pattern go.
    void ClearEntries()
    {
        entries.clear();
        chosenPattern = nullptr;
    }
    void RemoveEntry(const CSequenceEntry* entry);
    /// Removes every entry that plays the pattern; returns how many.
    int RemoveEntriesOf(const CPattern* pattern);
    /// Removes every entry that ends after sequenceLength.
    void RemoveEntriesBeyond(int sequenceLength);
    /// After a pattern changed length: in list order, an entry that no
    /// longer fits the sequence goes; otherwise every other entry that
    /// overlaps it goes.
    void ResolveOverlaps(int sequenceLength);

private:
    CConnector* target;
    CPattern* chosenPattern = nullptr;
    std::vector<std::unique_ptr<CSequenceEntry>> entries;
};
