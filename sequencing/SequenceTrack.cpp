#include "sequencing/SequenceTrack.h"

#include <algorithm>

#include "sequencing/Pattern.h"

int CSequenceEntry::EndUnit() const
{
    return position + (pattern != nullptr ? pattern->Length() : 0);
}

CSequenceEntry* CSequenceTrack::EntryAt(int unit) const
{
    for (const auto& entry : entries) {
        if (entry->CoversUnit(unit))
            return entry.get();
    }
    return nullptr;
}

bool CSequenceTrack::Fits(int position, int length, int sequenceLength, const CSequenceEntry* ignored) const
{
    if (position < 0 || length < 1 || position > sequenceLength - length)
        return false;
    for (const auto& entry : entries) {
        if (entry.get() != ignored && entry->Overlaps(position, length))
            return false;
    }
    return true;
}

CSequenceEntry* CSequenceTrack::AddEntry(int position, CPattern* pattern)
{
    auto entry = std::make_unique<CSequenceEntry>();
    entry->position = position;
    entry->pattern = pattern;
    entries.push_back(std::move(entry));
    return entries.back().get();
}

void CSequenceTrack::RemoveEntry(const CSequenceEntry* entry)
{
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [entry](const auto& candidate) { return candidate.get() == entry; });
    if (found != entries.end())
        entries.erase(found);
}

int CSequenceTrack::RemoveEntriesOf(const CPattern* pattern)
{
    const auto before = entries.size();
    std::erase_if(entries, [pattern](const auto& entry) { return entry->pattern == pattern; });
    return static_cast<int>(before - entries.size());
}

void CSequenceTrack::RemoveEntriesBeyond(int sequenceLength)
{
    std::erase_if(entries, [sequenceLength](const auto& entry) { return entry->EndUnit() > sequenceLength; });
}

void CSequenceTrack::ResolveOverlaps(int sequenceLength)
{
    // Each surviving entry, taken in list order, wins against the later
    // and earlier ones it overlaps; the list changes while it is walked.
    std::size_t i = 0;
    while (i < entries.size()) {
        CSequenceEntry* entry = entries[i].get();
        if (entry->EndUnit() > sequenceLength) {
            entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        const int position = entry->position;
        const int length = entry->EndUnit() - entry->position;
        std::erase_if(entries, [entry, position, length](const auto& other) {
            return other.get() != entry && other->Overlaps(position, length);
        });
        // Removals before it moved it; find it again.
        const auto self = std::find_if(entries.begin(), entries.end(),
                                       [entry](const auto& candidate) { return candidate.get() == entry; });
        i = static_cast<std::size_t>(self - entries.begin()) + 1;
    }
}
