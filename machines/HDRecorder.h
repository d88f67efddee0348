#pragma once
// CHDRecorder: the recorder panel's model ("HD Recorder"). It holds one row
// (CHDTrack) per recorder track machine, in creation order, and the global
// "Record Stream" toggle, which starts and stops every track at once; song
// recording (the sequence editor's "Record Song") does the same.
//
// Threads: rows come and go on the user-interface thread as machines are
// created and deleted; start and stop all run there too; Refresh runs on
// the display thread. The list lock guards the list; track locks are taken
// inside it, always in list order. The audio thread takes only track locks.
//
// Holding every track lock is not enough to start all files at one block:
// the audio thread may be between two tracks of a block, one already
// written and the next not. Start and stop all therefore also take the
// lock the audio callback holds for a whole block (the studio lock), first.
//
// The application creates it before the studio and destroys it after: a
// machine deleted later would ask a panel that is gone for its row.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Mutex.h"
#include "machines/HDTrackList.h"

class CHost;
class CHDTrack;
class CHDTrackMachine;

class CHDRecorder {
public:
    static constexpr const char* kCaption = "HD Recorder";
    static constexpr const char* kFontName = "Verdana";
    static constexpr int kFontSize = 9;

    CHDRecorder();
    /// The lock the audio callback holds for a whole block: the studio's.
    /// Taken before the list lock. Without one (a recorder driven block by
    /// block on one thread), start and stop all still work.
    void SetBlockLock(CMutex* lock) { blockLock = lock; }
    /// Closes every open file (each under its track lock), then lets the
    /// machines know their rows are gone.
    ~CHDRecorder();
    CHDRecorder(const CHDRecorder&) = delete;
    CHDRecorder& operator=(const CHDRecorder&) = delete;

    /// A new row for machine below the others; returns its index.
    int AddRow(CHDTrackMachine* machine, CHost* host, bool stereo);
    /// Removes (closing its file first) every row that serves machine; the
    /// rows below move up.
    void RemoveRow(CHDTrackMachine* machine);

    /// Between two blocks: locks every track in list order, opens every
    /// track, unlocks them in list order, shows the global toggle on. So
    /// every file begins at the same block. Returns why
    /// each track that has a file name could not create it (tracks without
    /// one stay idle, as they always have).
    std::vector<std::string> StartAll();
    /// Closes every track the same way; the global toggle shows off.
    void StopAll();
    /// The panel's global "Record Stream" toggle.
    std::vector<std::string> SetGlobalRecordStream(bool on);
    /// The sequence editor's recording handler: true when "Record Song"
    /// starts, false when it stops or the song ended while recording.
    void OnSongRecording(bool on);
    /// Each track's write failure since the last call (see
    /// CHDTrack::TakeWriteFailure), for the caller to show; a track whose
    /// disk filled has already stopped, the others record on.
    std::vector<std::string> TakeWriteFailures();
    /// Display thread, every round: meters and time displays.
    void Refresh(std::uint32_t nowMilliseconds);

    int RowCount();
    /// Null outside the list. The row lives until its machine is deleted.
    CHDTrack* Row(int index);
    int RowIndexOf(const CHDTrackMachine* machine);
    /// Tracks that have a file name to record to.
    int ArmedCount();
    bool IsGlobalToggleOn() const { return globalToggle.load(std::memory_order_relaxed); }

private:
    void LockAll();
    void UnlockAll();

    CMutex* blockLock = nullptr;
    CMutex listLock;
    CHDTrackList tracks;
    std::atomic<bool> globalToggle{false};
};
