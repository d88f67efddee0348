#include "sequencing/PatternContent.h"

#include "sequencing/Pattern.h"

CPatternContent CPatternContent::Of(const CPattern& pattern)
{
    CPatternContent content;
    content.length = pattern.Length();
    for (const CNote* note = pattern.FirstNote(); note != nullptr; note = note->next)
        content.notes.push_back({note->start, note->length, note->note});
    for (int i = 0; i < pattern.ControlTrackCount(); ++i) {
        const CControlTrack* track = pattern.ControlTrack(i);
        Track copy{track->PropertyId(), {}};
        for (int tick = 0; tick < track->PointCount(); ++tick)
            copy.points.push_back(track->Point(tick));
        content.tracks.push_back(std::move(copy));
    }
    return content;
}

bool CPatternContent::Restore(CPattern& pattern) const
{
    if (pattern.Length() != length || pattern.ControlTrackCount() != static_cast<int>(tracks.size()))
        return false;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const CControlTrack* track = pattern.ControlTrack(static_cast<int>(i));
        if (track->PropertyId() != tracks[i].propertyId || track->PointCount() != static_cast<int>(tracks[i].points.size()))
            return false;
    }
    while (pattern.FirstNote() != nullptr)
        pattern.RemoveNote(pattern.FirstNote());
    // Appended in the kept order, which is the order they sound and are saved in.
    for (const Note& note : notes)
        pattern.AddNote(note.start, note.length, note.note);
    // Last, as adding a note sets its velocity point.
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        CControlTrack* track = pattern.ControlTrack(static_cast<int>(i));
        for (std::size_t tick = 0; tick < tracks[i].points.size(); ++tick)
            track->Point(static_cast<int>(tick)) = tracks[i].points[tick];
    }
    return true;
}
