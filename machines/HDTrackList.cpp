#include "machines/HDTrackList.h"

#include "machines/HDTrack.h"

CHDTrackList::CHDTrackList() = default;
CHDTrackList::~CHDTrackList() = default;

int CHDTrackList::Add(std::unique_ptr<CHDTrack> row)
{
    row->SetTop(CHDTrack::kRowHeight * Count());
    rows.push_back(std::move(row));
    return Count() - 1;
}

std::vector<std::unique_ptr<CHDTrack>> CHDTrackList::RemoveRowsOf(const CHDTrackMachine* machine)
{
    std::vector<std::unique_ptr<CHDTrack>> removed;
    std::vector<std::unique_ptr<CHDTrack>> kept;
    for (auto& row : rows) {
        if (row->Machine() == machine)
            removed.push_back(std::move(row));
        else
            kept.push_back(std::move(row));
    }
    rows = std::move(kept);
    PlaceRows();
    return removed;
}

std::vector<std::unique_ptr<CHDTrack>> CHDTrackList::TakeAll()
{
    std::vector<std::unique_ptr<CHDTrack>> all = std::move(rows);
    rows.clear();
    return all;
}

CHDTrack* CHDTrackList::At(int index) const
{
    return index >= 0 && index < Count() ? rows[static_cast<std::size_t>(index)].get() : nullptr;
}

int CHDTrackList::IndexOf(const CHDTrackMachine* machine) const
{
    for (int i = 0; i < Count(); ++i) {
        if (rows[static_cast<std::size_t>(i)]->Machine() == machine)
            return i;
    }
    return -1;
}

void CHDTrackList::PlaceRows()
{
    for (int i = 0; i < Count(); ++i)
        rows[static_cast<std::size_t>(i)]->SetTop(CHDTrack::kRowHeight * i);
}
