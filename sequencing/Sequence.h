#pragma once
// CSequence: the song. One track per control input port of every machine,
// in the order the ports were registered, and a length in units of 4 ticks.
//
// Threads: changed on the user-interface thread with the pattern editor's
// lock held; read by the audio thread's song playback under that lock.

#include <memory>
#include <vector>

#include "sequencing/SequenceTrack.h"

class CMachineContainer;
class CPattern;

class CSequence {
public:
    static constexpr int kMinimumLength = 1;
    static constexpr int kMaximumLength = 4096;
    static constexpr int kDefaultLength = 64;

    int Length() const { return length; }
    /// Shrinking removes every entry that would end after the new length.
    void SetLength(int units);

    int TrackCount() const { return static_cast<int>(tracks.size()); }
    CSequenceTrack* Track(int index) const;
    int IndexOfTrack(const CSequenceTrack* track) const;
    CSequenceTrack* FindTrack(const CConnector* target) const;
    /// Appends a track for the port unless it has one; returns the track.
    CSequenceTrack* AddTrack(CConnector* target);
    /// Removes every track whose port belongs to the machine.
    void RemoveTracksOf(const CMachineContainer* machine);
    void RemoveEntriesOf(const CPattern* pattern);
    void Clear() { tracks.clear(); }

private:
    std::vector<std::unique_ptr<CSequenceTrack>> tracks;
    int length = kDefaultLength;
};
