// The pattern editor's lists, choices, commands and buttons, and its part
// of the audio thread's block.

#include "sequencing/PatternEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/ControlBuffer.h"
#include "framework/Host.h"
#include "framework/LockAssert.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "host/EditJournal.h"
#include "sequencing/PatternContent.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "sequencing/Pattern.h"
#include "sequencing/PlaybackLink.h"
#include "sequencing/SequenceEditor.h"

namespace {

// Machines write parameter names into a caller's buffer of no stated size;
// this is far more than any name a choice list can show.
constexpr int kNameBuffer = 1024;

// A block can hold a pattern's events more than once: the pattern editor
// plays a pattern whose end falls in the block and its start again, and the
// song may sound several entries of one port in the same block. Room for
// four passes covers both at ordinary tempos; at the fastest tempo and the
// shortest ticks a short pattern plays many times in one block, and the
// room is made for that up front, since growing it would allocate on the
// audio thread. Blocks are assumed no longer than a fifth of a second
// before the pattern has seen the driver's.
constexpr int kReservedPasses = 4;
constexpr int kReserveSlack = 16;
constexpr double kAssumedBlockSeconds = 0.2;

/// The most passes of the pattern one block can hold at the fastest tempo.
int PassesPerBlock(const CPattern& pattern)
{
    const double rate = pattern.SampleRate() > 0 ? pattern.SampleRate() : 44100.0;
    const double blockSeconds =
        std::max(kAssumedBlockSeconds, pattern.BlockSize() > 0 ? pattern.BlockSize() / rate : 0.0);
    const double fastestTick =
        std::trunc(60.0 / (CCorvHost::kMaximumTicksPerBeat * CCorvHost::kMaximumTempo) * rate);
    const double passSamples = std::max(1.0, fastestTick) * std::max(1, pattern.TickCount());
    const double passes = std::ceil(blockSeconds * rate / passSamples) + 2.0;
    return std::max(kReservedPasses, static_cast<int>(std::min(passes, 1.0e6)));
}

} // namespace

CPatternEditor::CPatternEditor(CHost& host) : host(host), link(std::make_shared<CPlaybackLink>())
{
    link->patternEditor = this;
}

CPatternEditor::~CPatternEditor()
{
    CScopedLock<CHostMutex> hold(link->lock);
    link->patternEditor = nullptr;
}

CHostMutex& CPatternEditor::PlaybackLock() const
{
    return link->lock;
}

std::vector<CConnector*> CPatternEditor::ControlInputsOf(const CMachineContainer* machine)
{
    std::vector<CConnector*> inputs;
    if (machine == nullptr)
        return inputs;
    for (CConnector* connector : machine->connectors) {
        if (connector->IsControl() && connector->IsInput())
            inputs.push_back(connector);
    }
    return inputs;
}

void CPatternEditor::OnMachineAdded(CMachineContainer* machine)
{
    if (machine == nullptr || ControlInputsOf(machine).empty())
        return;
    if (std::find(machines.begin(), machines.end(), machine) == machines.end())
        machines.push_back(machine);
}

void CPatternEditor::OnMachineDeleted(CMachineContainer* machine)
{
    std::erase(machines, machine);
    std::vector<CPattern*> doomed;
    for (const auto& pattern : patterns) {
        if (pattern->Target() != nullptr && pattern->Target()->owner == machine)
            doomed.push_back(pattern.get());
    }
    std::vector<std::unique_ptr<CPattern>> freed;
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        if (chosenMachine == machine) {
            chosenMachine = nullptr;
            chosenPort = nullptr;
        }
        if (std::find(doomed.begin(), doomed.end(), currentPattern) != doomed.end())
            currentPattern = nullptr;
        DestroyPatternsLocked(doomed);
        for (CPattern* pattern : doomed) {
            const auto found = std::find_if(patterns.begin(), patterns.end(),
                                            [pattern](const auto& owned) { return owned.get() == pattern; });
            freed.push_back(std::move(*found));
            patterns.erase(found);
        }
    }
    // Freed once no block can see them any more.
}

void CPatternEditor::DestroyPatternsLocked(const std::vector<CPattern*>& doomed)
{
    for (CPattern* pattern : doomed) {
        if (sequenceEditor != nullptr)
            sequenceEditor->OnPatternRemoved(pattern);
        if (draggedNote != nullptr && draggedNote->owner == pattern)
            EndGestures();
    }
}

void CPatternEditor::Clear()
{
    std::vector<std::unique_ptr<CPattern>> freed;
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        if (sequenceEditor != nullptr)
            sequenceEditor->OnAllPatternsRemoved();
        currentPattern = nullptr;
        chosenMachine = nullptr;
        chosenPort = nullptr;
        EndGestures();
        selection.reset();
        freed.swap(patterns);
    }
    machines.clear();
}

CPattern* CPatternEditor::PatternAt(int position) const
{
    if (position < 0 || position >= PatternCount())
        return nullptr;
    return patterns[static_cast<std::size_t>(position)].get();
}

int CPatternEditor::PositionOf(const CPattern* pattern) const
{
    for (int i = 0; i < PatternCount(); ++i) {
        if (patterns[static_cast<std::size_t>(i)].get() == pattern)
            return i;
    }
    return -1;
}

std::vector<CPattern*> CPatternEditor::PatternsOf(const CConnector* port) const
{
    std::vector<CPattern*> found;
    if (port == nullptr)
        return found;
    for (const auto& pattern : patterns) {
        if (pattern->Target() == port)
            found.push_back(pattern.get());
    }
    return found;
}

void CPatternEditor::SortPatternsByIndex()
{
    CScopedLock<CHostMutex> hold(PlaybackLock());
    std::stable_sort(patterns.begin(), patterns.end(),
                     [](const auto& a, const auto& b) { return a->Index() < b->Index(); });
}

CPattern* CPatternEditor::AdoptPattern(std::unique_ptr<CPattern> pattern)
{
    if (pattern == nullptr)
        return nullptr;
    CPattern* adopted = pattern.get();
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        ReserveEventRoom(*adopted);
        patterns.push_back(std::move(pattern));
    }
    if (sequenceEditor != nullptr)
        sequenceEditor->OnPatternAdded(adopted);
    return adopted;
}

void CPatternEditor::SelectMachine(CMachineContainer* machine)
{
    if (machine != nullptr && std::find(machines.begin(), machines.end(), machine) == machines.end())
        return;
    chosenMachine = machine;
    const std::vector<CConnector*> ports = ControlInputsOf(machine);
    CScopedLock<CHostMutex> hold(PlaybackLock());
    SelectPortLocked(ports.empty() ? nullptr : ports.front());
}

void CPatternEditor::SelectPort(CConnector* port)
{
    CScopedLock<CHostMutex> hold(PlaybackLock());
    SelectPortLocked(port);
}

void CPatternEditor::SelectPortLocked(CConnector* port)
{
    chosenPort = port;
    const std::vector<CPattern*> choices = PatternsOf(port);
    if (std::find(choices.begin(), choices.end(), currentPattern) == choices.end())
        SelectPatternLocked(choices.empty() ? nullptr : choices.front());
}

void CPatternEditor::SelectPattern(CPattern* pattern)
{
    if (pattern != nullptr) {
        if (PositionOf(pattern) < 0 || pattern->Target() == nullptr)
            return;
        if (pattern->Target() != chosenPort) {
            chosenMachine = pattern->Target()->owner;
            chosenPort = pattern->Target();
        }
    }
    CScopedLock<CHostMutex> hold(PlaybackLock());
    SelectPatternLocked(pattern);
}

void CPatternEditor::SelectPatternLocked(CPattern* pattern)
{
    if (pattern != currentPattern)
        EndGestures();
    if (IsPlayButtonDown()) {
        if (currentPattern != nullptr)
            currentPattern->Stop(true);
        currentPattern = pattern;
        if (pattern != nullptr) {
            pattern->SetLoop(loopButton);
            pattern->Play(true);
        }
    } else {
        currentPattern = pattern;
    }
    if (pattern != nullptr) {
        // The box shows the length of the pattern it resizes.
        patternLength = pattern->Length();
        ReserveEventRoom(*pattern);
    }
}

std::vector<CPatternEditor::PropertyChoice> CPatternEditor::PropertyChoices() const
{
    std::vector<PropertyChoice> choices;
    if (chosenPort == nullptr)
        return choices;
    choices.push_back({-1, "Velocity"});
    CMachine* machine = chosenMachine != nullptr ? chosenMachine->machine : nullptr;
    const int count = machine != nullptr ? machine->parameterCount : 0;
    for (int i = 0; i < count; ++i) {
        char name[kNameBuffer] = {};
        machine->GetParameterName(i, name);
        name[kNameBuffer - 1] = '\0';
        if (name[0] == '\0')
            std::snprintf(name, sizeof name, "Property %i", i);
        choices.push_back({i, name});
    }
    return choices;
}

std::string CPatternEditor::NextPatternName(const CConnector* port) const
{
    const std::vector<CPattern*> siblings = PatternsOf(port);
    char name[32];
    for (int i = 1;; ++i) {
        std::snprintf(name, sizeof name, "Pattern %i", i);
        const bool taken = std::any_of(siblings.begin(), siblings.end(),
                                       [&name](const CPattern* pattern) { return pattern->Name() == name; });
        if (!taken)
            return name;
    }
}

CPattern* CPatternEditor::AddPattern()
{
    if (chosenMachine == nullptr || chosenPort == nullptr)
        return nullptr;
    auto pattern = std::make_unique<CPattern>(&host, patternLength, NextPatternName(chosenPort), chosenPort);
    CPattern* added = pattern.get();
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        patterns.push_back(std::move(pattern));
        SelectPatternLocked(added);
    }
    if (sequenceEditor != nullptr)
        sequenceEditor->OnPatternAdded(added);
    Edited("Add Pattern");
    return added;
}

void CPatternEditor::RemovePattern()
{
    CPattern* removed = currentPattern;
    if (removed == nullptr)
        return;
    std::vector<CPattern*> choices = PatternsOf(chosenPort);
    const auto place = std::find(choices.begin(), choices.end(), removed);
    std::size_t position = place != choices.end() ? static_cast<std::size_t>(place - choices.begin()) : 0;
    if (place != choices.end())
        choices.erase(place);

    std::unique_ptr<CPattern> freed;
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        const auto owned = std::find_if(patterns.begin(), patterns.end(),
                                        [removed](const auto& pattern) { return pattern.get() == removed; });
        freed = std::move(*owned);
        patterns.erase(owned);
        DestroyPatternsLocked({removed});
        CPattern* next = nullptr;
        if (!choices.empty())
            next = choices[std::min(position, choices.size() - 1)];
        SelectPatternLocked(next);
    }
    Edited("Remove Pattern");
}

bool CPatternEditor::RenamePattern(const std::string& newName)
{
    if (currentPattern == nullptr || newName == currentPattern->Name())
        return false;
    currentPattern->SetName(newName);
    Edited("Rename Pattern");
    return true;
}

void CPatternEditor::SetPatternLength(int units)
{
    units = std::clamp(units, CPattern::kMinimumLength, CPattern::kMaximumLength);
    patternLength = units;
    CPattern* pattern = currentPattern;
    if (pattern == nullptr)
        return;
    {
        // Sequence editor's lock first, then the pattern editor's.
        std::unique_ptr<CScopedLock<CMutex>> sequenceHold;
        if (sequenceEditor != nullptr)
            sequenceHold = std::make_unique<CScopedLock<CMutex>>(sequenceEditor->Lock());
        CScopedLock<CHostMutex> hold(PlaybackLock());
        EndGestures();
        pattern->Resize(units);
        SelectPatternLocked(pattern);
        if (sequenceEditor != nullptr)
            sequenceEditor->OnPatternResized(pattern);
    }
    Edited("Resize Pattern");
}

void CPatternEditor::SetNoteLength(int ticks)
{
    noteLength = std::clamp(ticks, kMinimumNoteLength, kMaximumNoteLength);
}

bool CPatternEditor::AddControlTrack()
{
    CPattern* pattern = currentPattern;
    if (pattern == nullptr || pattern->FindControlTrack(chosenProperty) >= 0)
        return false;
    const CMachine* machine = pattern->TargetMachine();
    const int parameters = machine != nullptr ? machine->parameterCount : 0;
    if (chosenProperty < -1 || chosenProperty >= parameters)
        return false;
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        pattern->AddControlTrack(chosenProperty);
    }
    Edited("Add Control Track");
    return true;
}

bool CPatternEditor::RemoveControlTrack()
{
    CPattern* pattern = currentPattern;
    if (pattern == nullptr)
        return false;
    const int track = pattern->FindControlTrack(chosenProperty);
    if (track < 0)
        return false;
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        EndGestures();
        pattern->RemoveControlTrack(track);
    }
    Edited("Remove Control Track");
    return true;
}

void CPatternEditor::SetPlayButton(bool down)
{
    CScopedLock<CHostMutex> hold(PlaybackLock());
    playButton.store(down, std::memory_order_relaxed);
    if (currentPattern == nullptr)
        return;
    if (down) {
        currentPattern->SetLoop(loopButton);
        currentPattern->Play(false);
    } else {
        currentPattern->SetLoop(false);
        currentPattern->Stop(false);
    }
}

void CPatternEditor::PressStopButton()
{
    CScopedLock<CHostMutex> hold(PlaybackLock());
    if (currentPattern != nullptr) {
        currentPattern->SetLoop(false);
        currentPattern->Stop(true);
    }
    playButton.store(false, std::memory_order_relaxed);
}

void CPatternEditor::SetLoopButton(bool on)
{
    loopButton = on;
    CScopedLock<CHostMutex> hold(PlaybackLock());
    if (currentPattern != nullptr)
        currentPattern->SetLoop(on);
}

double CPatternEditor::PlayCursor() const
{
    // The display thread asks while the user-interface thread may remove
    // the pattern; the lock keeps it alive for the question.
    CScopedLock<CHostMutex> hold(PlaybackLock());
    return currentPattern != nullptr ? currentPattern->PlayCursor() : -1.0;
}

void CPatternEditor::PlaybackStep()
{
    CORVANE_ASSERT_HELD(PlaybackLock());
    if (!IsPlayButtonDown())
        return;
    CPattern* pattern = currentPattern;
    if (pattern != nullptr && pattern->IsPlaying())
        pattern->Step();
    else
        playButton.store(false, std::memory_order_relaxed);
}

void CPatternEditor::SetAudioFormat(int sampleRate, int blockSize)
{
    CORVANE_ASSERT_HELD(PlaybackLock());
    for (const auto& pattern : patterns) {
        pattern->SetAudioFormat(sampleRate, blockSize);
        ReserveEventRoom(*pattern);
    }
}

void CPatternEditor::ReserveEventRoom(const CPattern& pattern)
{
    CConnector* target = pattern.Target();
    if (target == nullptr || target->port == nullptr || target->port->control == nullptr)
        return;
    const int passes = PassesPerBlock(pattern);
    target->port->control->Reserve(passes * pattern.EventCount() + kReserveSlack);
    if (target->deferred != nullptr)
        target->deferred->Reserve(passes * pattern.NoteCount() + kReserveSlack);
}

void CPatternEditor::Edited(const char* label)
{
    if (journal != nullptr)
        journal->Record(label);
}

void CPatternEditor::Continued(const char* label)
{
    if (journal != nullptr)
        journal->Continue(label);
}

void CPatternEditor::KeepContent()
{
    contentPattern = currentPattern;
    contentBefore = currentPattern != nullptr ? std::make_shared<const CPatternContent>(CPatternContent::Of(*currentPattern))
                                              : nullptr;
}

CInPlaceStep CPatternEditor::EventsStep()
{
    CPattern* pattern = currentPattern;
    if (pattern == nullptr || pattern != contentPattern || contentBefore == nullptr)
        return {};
    const std::shared_ptr<const CPatternContent> before = contentBefore;
    KeepContent();
    const std::shared_ptr<const CPatternContent> after = contentBefore;
    return {[this, pattern, before] { RestoreContent(pattern, before); },
            [this, pattern, after] { RestoreContent(pattern, after); }, pattern};
}

void CPatternEditor::EditedEvents(const char* label)
{
    if (journal != nullptr)
        journal->Record(label, EventsStep());
}

void CPatternEditor::ContinuedEvents(const char* label)
{
    if (journal != nullptr)
        journal->Continue(label, EventsStep());
}

void CPatternEditor::RestoreContent(CPattern* pattern, const std::shared_ptr<const CPatternContent>& content)
{
    // A drag holds notes that restoring replaces.
    EndGestures();
    {
        CScopedLock<CHostMutex> hold(PlaybackLock());
        if (content->Restore(*pattern))
            ReserveEventRoom(*pattern);
    }
    contentPattern = pattern;
    contentBefore = content;
}

void CPatternEditor::FinishGesture()
{
    EndGestures();
    // The drag's change becomes its step; never under this editor's lock,
    // as recording reads the whole project.
    if (journal != nullptr)
        journal->Finish();
}

void CPatternEditor::EndGestures()
{
    addingNote = false;
    noteDrag = NoteDrag::None;
    draggedNote = nullptr;
    controlTrack = -1;
    controlTick = -1;
}
