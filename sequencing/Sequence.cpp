#include "sequencing/Sequence.h"

#include <algorithm>

#include "host/Connector.h"

void CSequence::SetLength(int units)
{
    if (units < length) {
        for (auto& track : tracks)
            track->RemoveEntriesBeyond(units);
    }
    length = units;
}

CSequenceTrack* CSequence::Track(int index) const
{
    if (index < 0 || index >= TrackCount())
        return nullptr;
    return tracks[static_cast<std::size_t>(index)].get();
}

int CSequence::IndexOfTrack(const CSequenceTrack* track) const
{
    for (int i = 0; i < TrackCount(); ++i) {
        if (tracks[static_cast<std::size_t>(i)].get() == track)
            return i;
    }
    return -1;
}

CSequenceTrack* CSequence::FindTrack(const CConnector* target) const
{
    for (const auto& track : tracks) {
        if (track->Target() == target)
            return track.get();
    }
    return nullptr;
}

CSequenceTrack* CSequence::AddTrack(CConnector* target)
{
    if (CSequenceTrack* existing = FindTrack(target))
        return existing;
    tracks.push_back(std::make_unique<CSequenceTrack>(target));
    return tracks.back().get();
}

void CSequence::RemoveTracksOf(const CMachineContainer* machine)
{
    std::erase_if(tracks, [machine](const auto& track) {
        return track->Target() != nullptr && track->Target()->owner == machine;
    });
}

void CSequence::RemoveEntriesOf(const CPattern* pattern)
{
    for (auto& track : tracks) {
        track->RemoveEntriesOf(pattern);
        if (track->ChosenPattern() == pattern)
            track->SetChosenPattern(nullptr);
    }
}
