#pragma once
// CPlaybackLink: what the studio's hooks hold of the two editors. It owns
// the pattern editor's lock, so that the lock outlives the editors for as
// long as a studio still refers to it, and the editors clear their pointers
// here (with the lock held) when they go. Either the studio or the editors
// may then be destroyed first.

#include "framework/HostMutex.h"

class CPatternEditor;
class CSequenceEditor;
class CStudio;

struct CPlaybackLink {
    CHostMutex lock;   // the pattern editor's lock
    CPatternEditor* patternEditor = nullptr;
    CSequenceEditor* sequenceEditor = nullptr;
    CStudio* studio = nullptr;   // the studio the hooks were installed in
};
