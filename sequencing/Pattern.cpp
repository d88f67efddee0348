// The content of a pattern: notes, control tracks and resizing, with the
// rules that keep them consistent.

#include "sequencing/Pattern.h"

#include <algorithm>

#include "framework/Error.h"
#include "framework/Host.h"
#include "framework/Machine.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"

CPattern::CPattern(CHost* host, int length, const std::string& name, CConnector* target)
    : host(host), length(std::max(0, length)), name(name), target(target)
{
    if (host != nullptr) {
        sampleRate = host->GetSampleRate();
        blockSize = host->GetBlockSize();
        tempo = host->GetTempo();
    }
}

CPattern::~CPattern()
{
    CNote* note = firstNote;
    while (note != nullptr) {
        CNote* next = note->next;
        delete note;
        note = next;
    }
}

CMachine* CPattern::TargetMachine() const
{
    if (target == nullptr)
        return nullptr;
    if (target->owner != nullptr && target->owner->machine != nullptr)
        return target->owner->machine;
    return nullptr;
}

int CPattern::TriggerCount() const
{
    const CMachine* machine = TargetMachine();
    return machine != nullptr && machine->triggerCount > 0 ? machine->triggerCount : 0;
}

bool CPattern::IsValidNoteNumber(int note) const
{
    const int triggers = TriggerCount();
    return note >= 0 && note < (triggers > 0 ? triggers : kMidiNoteCount);
}

CNote* CPattern::AddNote(int start, int noteLength, int number)
{
    auto* note = new CNote;
    note->owner = this;
    note->start = start;
    note->length = noteLength;
    note->note = number;
    note->previous = lastNote;
    if (lastNote != nullptr)
        lastNote->next = note;
    else
        firstNote = note;
    lastNote = note;
    ++noteCount;

    if (velocityTrack != nullptr && start >= 0 && start < velocityTrack->PointCount() &&
        !velocityTrack->IsSet(start))
        velocityTrack->SetPoint(start, kDefaultNoteVelocity);
    return note;
}

void CPattern::Unlink(CNote* note)
{
    if (note->previous != nullptr)
        note->previous->next = note->next;
    else
        firstNote = note->next;
    if (note->next != nullptr)
        note->next->previous = note->previous;
    else
        lastNote = note->previous;
    note->next = note->previous = nullptr;
    --noteCount;
}

void CPattern::RemoveNote(CNote* note)
{
    if (note == nullptr || note->owner != this)
        return;
    const int start = note->start;
    Unlink(note);
    delete note;
    ClearVelocityPointIfUnused(start);
}

bool CPattern::AnyNoteStartsAt(int tick) const
{
    for (const CNote* note = firstNote; note != nullptr; note = note->next) {
        if (note->start == tick)
            return true;
    }
    return false;
}

void CPattern::ClearVelocityPointIfUnused(int tick)
{
    if (velocityTrack != nullptr && !AnyNoteStartsAt(tick))
        velocityTrack->ClearPoint(tick);
}

CNote* CPattern::NoteAt(int tick, int number) const
{
    for (CNote* note = firstNote; note != nullptr; note = note->next) {
        if (note->note == number && note->Covers(tick))
            return note;
    }
    return nullptr;
}

bool CPattern::CanPlaceNote(int start, int noteLength, int number, const CNote* ignored) const
{
    if (!IsValidNoteNumber(number) || noteLength < 1 || start < 0 || start >= TickCount() ||
        start > TickCount() - noteLength)
        return false;
    for (const CNote* note = firstNote; note != nullptr; note = note->next) {
        if (note != ignored && note->note == number && note->Overlaps(start, noteLength))
            return false;
    }
    return true;
}

void CPattern::PlaceNote(CNote* note, int start, int noteLength, int number)
{
    const int oldStart = note->start;
    note->start = start;
    note->length = noteLength;
    note->note = number;
    if (velocityTrack == nullptr || start == oldStart)
        return;
    // A note keeps its velocity when its start moves: the point it came
    // from goes with it unless the new tick has one, and is cleared once no
    // note starts there. Left behind, the note would play at whatever the
    // new tick held, 0 after a clear.
    const bool hadPoint = velocityTrack->IsSet(oldStart);
    const float carried = hadPoint ? velocityTrack->Point(oldStart).value : kDefaultNoteVelocity;
    if (!velocityTrack->IsSet(start))
        velocityTrack->SetPoint(start, carried);
    if (oldStart >= 0 && oldStart < velocityTrack->PointCount())
        ClearVelocityPointIfUnused(oldStart);
}

int CPattern::AddControlTrack(std::int32_t propertyId)
{
    controlTracks.push_back(std::make_unique<CControlTrack>(propertyId, TickCount()));
    if (propertyId == CControlTrack::kVelocityId)
        velocityTrack = controlTracks.back().get();
    return ControlTrackCount() - 1;
}

int CPattern::FindControlTrack(std::int32_t propertyId) const
{
    for (int i = 0; i < ControlTrackCount(); ++i) {
        if (controlTracks[static_cast<std::size_t>(i)]->PropertyId() == propertyId)
            return i;
    }
    return -1;
}

void CPattern::RemoveControlTrack(int trackIndex)
{
    if (trackIndex < 0 || trackIndex >= ControlTrackCount())
        throw CError("CArray::RemoveItem - Index Out Of Bounds (%i)", trackIndex);
    if (controlTracks[static_cast<std::size_t>(trackIndex)].get() == velocityTrack)
        velocityTrack = nullptr;
    controlTracks.erase(controlTracks.begin() + trackIndex);
}

CControlTrack* CPattern::ControlTrack(int trackIndex) const
{
    if (trackIndex < 0 || trackIndex >= ControlTrackCount())
        return nullptr;
    return controlTracks[static_cast<std::size_t>(trackIndex)].get();
}

void CPattern::Resize(int newLength)
{
    newLength = std::max(0, newLength);
    if (newLength == length)
        return;
    const int newTicks = newLength * kTicksPerUnit;
    for (auto& track : controlTracks)
        track->Resize(newTicks);

    if (newLength < length) {
        // Whole notes go, never shortened; their velocity points are cleared
        // once all of them are gone, so that a remaining note that starts at
        // the same tick keeps its point.
        std::vector<int> removedStarts;
        CNote* note = firstNote;
        while (note != nullptr) {
            CNote* next = note->next;
            if (note->EndTick() > newTicks) {
                if (note->start < newTicks)
                    removedStarts.push_back(note->start);
                Unlink(note);
                delete note;
            }
            note = next;
        }
        for (int start : removedStarts)
            ClearVelocityPointIfUnused(start);
    }
    length = newLength;
}

int CPattern::EventCount() const
{
    int events = 2 * noteCount;
    for (const auto& track : controlTracks) {
        if (!track->IsVelocity())
            events += track->SetPointCount();
    }
    return events;
}

void CPattern::SetAudioFormat(int newSampleRate, int newBlockSize)
{
    sampleRate = newSampleRate;
    blockSize = newBlockSize;
}
