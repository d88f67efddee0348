#pragma once
// CHDTrackMachine: a recorder track. It passes "Line In" to "Line Out" with
// its row's gain and, while the row records, appends every block to the
// row's WAV file. Mono and stereo types differ only in their ports and
// files.
//
// Threads: Work on the audio thread (recorders are rarely reached from the
// master, so usually on the callback thread itself), under the row's track
// lock; everything else on the user-interface thread.

#include <cstdint>
#include <memory>

#include "framework/Machine.h"
#include "framework/MachineInfo.h"

class CHDRecorder;
class CHDTrack;

class CHDTrackMachine : public CMachine {
public:
    static constexpr int kStateBytes = 4 + 1024;   // "MTDH" and the file name
    enum Port { kLineIn = 0, kLineOut = 1 };

    /// Asks recorder for a row; without a panel (listing machine types,
    /// tools) the machine keeps a row of its own that no panel shows.
    CHDTrackMachine(CHost* host, CHDRecorder* recorder, bool stereo);
    /// Its row goes too, its file closed first.
    ~CHDTrackMachine() override;

    void Work() override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return false; }
    /// The base behaviour, then the row shows "Name: %s".
    void SetName(const char* newName) override;
    /// Accepted only with hostFormat false, at least 1028 bytes and the
    /// magic "MTDH"; sets the row's file name. Gain, format and recording
    /// state are not part of it.
    void LoadState(const void* data, int length, bool hostFormat) override;
    void SaveState(void** data, int* length, bool* hostFormat) override;

    CHDTrack* Row() const { return row; }
    bool IsStereo() const { return stereo != 0; }
    /// The panel is going away before this machine: its row is gone.
    /// User-interface thread, audio stopped.
    void DetachRow(CHDTrack* gone);

private:
    std::uint8_t stereo;
    std::int32_t sampleRate;
    std::int32_t blockLength;
    CHDTrack* row = nullptr;   // the panel's, not owned
    CHDRecorder* recorder;
    std::unique_ptr<CHDTrack> ownRow;   // only without a panel
};

class CHDTrackMachineInfoMono : public CMachineInfo {
public:
    CHDTrackMachineInfoMono(CHost* host, CHDRecorder* recorder);
    CMachine* CreateMachine() override;

private:
    CHost* host;
    CHDRecorder* recorder;
};

class CHDTrackMachineInfoStereo : public CMachineInfo {
public:
    CHDTrackMachineInfoStereo(CHost* host, CHDRecorder* recorder);
    CMachine* CreateMachine() override;

private:
    CHost* host;
    CHDRecorder* recorder;
};
