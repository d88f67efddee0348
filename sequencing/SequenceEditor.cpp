// The sequence editor's tracks, grid gestures and buttons.

#include "sequencing/SequenceEditor.h"

#include <algorithm>

#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "framework/HostMutex.h"
#include "framework/LockAssert.h"
#include "framework/ScopedLock.h"
#include "host/EditJournal.h"
#include "sequencing/Pattern.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/PlaybackLink.h"

CSequenceEditor::CSequenceEditor(CHost& host, CPatternEditor& patternEditor)
    : host(host), patternEditor(patternEditor), link(patternEditor.Link())
{
    patternEditor.SetSequenceEditor(this);
    CScopedLock<CHostMutex> hold(link->lock);
    link->sequenceEditor = this;
}

CSequenceEditor::~CSequenceEditor()
{
    {
        // A block in progress finishes before the song goes.
        CScopedLock<CHostMutex> hold(link->lock);
        if (link->sequenceEditor == this)
            link->sequenceEditor = nullptr;
    }
    patternEditor.SetSequenceEditor(nullptr);
}

void CSequenceEditor::OnMachineAdded(CMachineContainer* machine)
{
    for (CConnector* input : CPatternEditor::ControlInputsOf(machine))
        AddTrack(input);
}

void CSequenceEditor::AddTrack(CConnector* target)
{
    if (target == nullptr)
        return;
    CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
    sequence.AddTrack(target);
}

void CSequenceEditor::RemoveMachine(CMachineContainer* machine)
{
    CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
    if (selectedTrack != nullptr && selectedTrack->Target() != nullptr && selectedTrack->Target()->owner == machine)
        selectedTrack = nullptr;
    if (draggedTrack != nullptr && draggedTrack->Target() != nullptr && draggedTrack->Target()->owner == machine)
        DropGrab();
    sequence.RemoveTracksOf(machine);
}

void CSequenceEditor::Clear()
{
    CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
    selectedTrack = nullptr;
    DropGrab();
    sequence.Clear();
}

void CSequenceEditor::SetLength(int units)
{
    units = std::clamp(units, CSequence::kMinimumLength, CSequence::kMaximumLength);
    {
        CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
        DropGrab();
        sequence.SetLength(units);
    }
    Edited("Sequence Length");
}

void CSequenceEditor::OnPatternAdded(CPattern*)
{
    // The choice list is built from the pattern list whenever it is asked
    // for, so it already holds the new pattern.
}

void CSequenceEditor::OnPatternRemoved(CPattern* pattern)
{
    CORVANE_ASSERT_HELD(patternEditor.PlaybackLock());
    if (draggedEntry != nullptr && draggedEntry->pattern == pattern)
        DropGrab();
    sequence.RemoveEntriesOf(pattern);
}

void CSequenceEditor::OnPatternResized(CPattern* pattern)
{
    CORVANE_ASSERT_HELD(patternEditor.PlaybackLock());
    CSequenceTrack* track = sequence.FindTrack(pattern->Target());
    if (track == nullptr)
        return;
    if (track == draggedTrack)
        DropGrab();
    track->ResolveOverlaps(sequence.Length());
}

void CSequenceEditor::OnAllPatternsRemoved()
{
    CORVANE_ASSERT_HELD(patternEditor.PlaybackLock());
    DropGrab();
    for (int i = 0; i < sequence.TrackCount(); ++i)
        sequence.Track(i)->ClearEntries();
}

void CSequenceEditor::SelectTrack(int trackIndex)
{
    selectedTrack = sequence.Track(trackIndex);
    if (selectedTrack == nullptr || selectedTrack->ChosenPattern() != nullptr)
        return;
    const std::vector<CPattern*> choices = PatternChoices();
    if (!choices.empty())
        selectedTrack->SetChosenPattern(choices.front());
}

std::vector<CPattern*> CSequenceEditor::PatternChoices() const
{
    if (selectedTrack == nullptr)
        return {};
    return patternEditor.PatternsOf(selectedTrack->Target());
}

void CSequenceEditor::ChoosePattern(CPattern* pattern)
{
    if (selectedTrack == nullptr)
        return;
    const std::vector<CPattern*> choices = PatternChoices();
    if (pattern == nullptr || std::find(choices.begin(), choices.end(), pattern) != choices.end())
        selectedTrack->SetChosenPattern(pattern);
}

void CSequenceEditor::PressGrid(int unit, int trackIndex, MouseButton button)
{
    ReleaseGrid();
    CSequenceTrack* track = sequence.Track(trackIndex);
    if (track == nullptr)
        return;
    CSequenceEntry* entry = track->EntryAt(unit);
    std::vector<CSequenceEntry> before = EntriesOf(*track);
    if (button == MouseButton::Right) {
        if (entry != nullptr) {
            {
                CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
                track->RemoveEntry(entry);
            }
            if (journal != nullptr)
                journal->Record("Remove Entry", EntriesStep(track, std::move(before)));
        }
        return;
    }
    if (entry != nullptr) {
        draggedEntry = entry;
        draggedTrack = track;
        grabOffset = unit - entry->position;
        entriesBeforeDrag = std::move(before);
        return;
    }
    CPattern* chosen = track->ChosenPattern();
    if (track != selectedTrack || chosen == nullptr)
        return;
    if (!track->Fits(unit, chosen->Length(), sequence.Length(), nullptr))
        return;
    {
        CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
        track->AddEntry(unit, chosen);
    }
    if (journal != nullptr)
        journal->Record("Add Entry", EntriesStep(track, std::move(before)));
}

void CSequenceEditor::DragGrid(int unit)
{
    if (draggedEntry == nullptr || draggedTrack == nullptr || draggedEntry->pattern == nullptr)
        return;
    const int position = unit - grabOffset;
    if (position == draggedEntry->position ||
        !draggedTrack->Fits(position, draggedEntry->pattern->Length(), sequence.Length(), draggedEntry))
        return;
    {
        CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
        draggedEntry->position = position;
    }
    if (journal != nullptr)
        journal->Continue("Move Entry", EntriesStep(draggedTrack, entriesBeforeDrag));
}

void CSequenceEditor::ReleaseGrid()
{
    DropGrab();
    if (journal != nullptr)
        journal->Finish();
}

void CSequenceEditor::Edited(const char* label)
{
    if (journal != nullptr)
        journal->Record(label);
}

std::vector<CSequenceEntry> CSequenceEditor::EntriesOf(const CSequenceTrack& track)
{
    std::vector<CSequenceEntry> entries;
    for (const auto& entry : track.Entries())
        entries.push_back(*entry);
    return entries;
}

CInPlaceStep CSequenceEditor::EntriesStep(CSequenceTrack* track, std::vector<CSequenceEntry> before)
{
    std::vector<CSequenceEntry> after = EntriesOf(*track);
    return {[this, track, before = std::move(before)] { RestoreEntries(track, before); },
            [this, track, after = std::move(after)] { RestoreEntries(track, after); }, track};
}

void CSequenceEditor::RestoreEntries(CSequenceTrack* track, const std::vector<CSequenceEntry>& entries)
{
    CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
    // A grabbed entry is one of those replaced.
    DropGrab();
    while (track->EntryCount() > 0)
        track->RemoveEntry(track->Entry(0));
    // In the kept order, which is the order the file lists them in.
    for (const CSequenceEntry& entry : entries)
        track->AddEntry(entry.position, entry.pattern);
}

void CSequenceEditor::DropGrab()
{
    draggedEntry = nullptr;
    draggedTrack = nullptr;
    grabOffset = 0;
}

bool CSequenceEditor::PlaceEntry(int trackIndex, int position, CPattern* pattern)
{
    CSequenceTrack* track = sequence.Track(trackIndex);
    if (track == nullptr || pattern == nullptr || pattern->Target() == nullptr ||
        pattern->Target() != track->Target())
        return false;
    if (!track->Fits(position, pattern->Length(), sequence.Length(), nullptr))
        return false;
    CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
    track->AddEntry(position, pattern);
    return true;
}

void CSequenceEditor::Play()
{
    CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
    playButton.store(true, std::memory_order_relaxed);
    songPosition.store(0.0, std::memory_order_relaxed);
    playing.store(true, std::memory_order_relaxed);
}

void CSequenceEditor::Stop()
{
    bool wasRecording;
    {
        CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
        playing.store(false, std::memory_order_relaxed);
        playButton.store(false, std::memory_order_relaxed);
        wasRecording = recordButton.exchange(false, std::memory_order_relaxed);
    }
    if (wasRecording)
        StopRecording();
}

void CSequenceEditor::RecordSong(bool on)
{
    if (!on) {
        Stop();
        // Released by hand after the song had already ended: the recording
        // the audio thread asked to stop is stopped here, once.
        if (recordingStopPending.exchange(false, std::memory_order_relaxed))
            StopRecording();
        return;
    }
    if (recordingHandler)
        recordingHandler(true);
    CScopedLock<CHostMutex> hold(patternEditor.PlaybackLock());
    recordButton.store(true, std::memory_order_relaxed);
    playButton.store(true, std::memory_order_relaxed);
    songPosition.store(0.0, std::memory_order_relaxed);
    playing.store(true, std::memory_order_relaxed);
}

void CSequenceEditor::SetLoop(bool on)
{
    loop.store(on, std::memory_order_relaxed);
}

void CSequenceEditor::UpdateFromPlayback()
{
    if (recordingStopPending.exchange(false, std::memory_order_relaxed))
        StopRecording();
}

void CSequenceEditor::StopRecording()
{
    if (recordingHandler)
        recordingHandler(false);
}
