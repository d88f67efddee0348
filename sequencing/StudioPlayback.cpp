#include "sequencing/StudioPlayback.h"

#include <memory>

#include "framework/Host.h"
#include "host/Studio.h"
#include "framework/HostMutex.h"
#include "framework/Mutex.h"
#include "framework/ScopedLock.h"
#include "sequencing/PatternEditor.h"
#include "sequencing/PlaybackLink.h"
#include "sequencing/SequenceEditor.h"

void InstallPlayback(CStudio& studio, CPatternEditor& patternEditor, CSequenceEditor& sequenceEditor)
{
    const std::shared_ptr<CPlaybackLink> link = patternEditor.Link();
    CScopedLock<CMutex> studioHold(studio.Lock());
    if (link->studio == &studio)
        return;
    {
        CScopedLock<CHostMutex> hold(link->lock);
        link->sequenceEditor = &sequenceEditor;
    }
    link->studio = &studio;
    studio.SetPatternLock(&link->lock);
    // Pattern editor first, then the song: both write into the same ports,
    // and the port buffers keep equal times in insertion order.
    studio.SetPlaybackHook([link](int) {
        if (link->patternEditor != nullptr)
            link->patternEditor->PlaybackStep();
        if (link->sequenceEditor != nullptr)
            link->sequenceEditor->Step();
    });
    studio.SetPlayerSampleRateHook([link](int sampleRate) {
        if (link->patternEditor != nullptr)
            link->patternEditor->SetAudioFormat(sampleRate, link->patternEditor->Host().GetBlockSize());
    });
    // Delete hooks stay with the studio for good; once the editors are gone
    // this one does nothing.
    studio.AddDeleteHook([link](CMachineContainer* machine) {
        if (link->sequenceEditor != nullptr)
            link->sequenceEditor->RemoveMachine(machine);
        if (link->patternEditor != nullptr)
            link->patternEditor->OnMachineDeleted(machine);
    });
}

void UninstallPlayback(CPatternEditor& patternEditor)
{
    const std::shared_ptr<CPlaybackLink> link = patternEditor.Link();
    CStudio* studio = link->studio;
    if (studio == nullptr)
        return;
    CScopedLock<CMutex> studioHold(studio->Lock());
    studio->SetPlaybackHook({});
    studio->SetPlayerSampleRateHook({});
    studio->SetPatternLock(nullptr);
    link->studio = nullptr;
}

void AddMachineToEditors(CPatternEditor& patternEditor, CSequenceEditor& sequenceEditor, CMachineContainer* machine)
{
    patternEditor.OnMachineAdded(machine);
    sequenceEditor.OnMachineAdded(machine);
}
