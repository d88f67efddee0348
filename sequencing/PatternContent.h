#pragma once
// CPatternContent: a copy of one pattern's events (its notes in list order
// and every control track's points), to put them back where they were
// without replacing the pattern: undo of a note or control edit while the
// pattern plays. Tracks are matched by position and id; a pattern whose
// length or tracks changed since is left as it is, and the caller sees it.
//
// Threads: user-interface thread; Restore with the pattern editor's lock
// held, as every change of content.

#include <cstdint>
#include <vector>

#include "sequencing/ControlTrack.h"

class CPattern;

class CPatternContent {
public:
    static CPatternContent Of(const CPattern& pattern);

    /// False, with the pattern untouched, when its length or tracks differ.
    bool Restore(CPattern& pattern) const;

private:
    struct Note {
        std::int32_t start;
        std::int32_t length;
        std::int32_t note;
    };
    struct Track {
        std::int32_t propertyId;
        std::vector<CControlPoint> points;
    };

    int length = 0;
    std::vector<Note> notes;
    std::vector<Track> tracks;
};
