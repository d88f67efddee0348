#pragma once
// CArpeggiator: a held note on "Control In" starts a repeating step
// sequence. A grid of 12 rows (the held note and the 11 semitones above it,
// the highest in row 0) by up to 32 steps says which notes sound at each
// step; the notes leave through "Control Out" to any synthesizer.
//
// Threads: Work on the audio thread (or the machine's worker). The editor
// writes steps per beat, length and cells from the user-interface thread
// without a lock: single stores that the audio thread picks up at the next
// step.

#include <atomic>
#include <cstdint>

#include "framework/ControlBuffer.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"

class CArpeggiator : public CMachine {
public:
    static constexpr int kRows = 12;
    static constexpr int kMaxSteps = 32;
    static constexpr int kMinStepsPerBeat = 1;
    static constexpr int kMaxStepsPerBeat = 16;
    static constexpr int kDefaultStepsPerBeat = 4;
    static constexpr int kStateBytes = 8 + kRows * kMaxSteps;   // 392
    /// Velocity of every note it plays: 100 of MIDI's 127.
    static constexpr double kVelocity = 100.0 / 127.0;
    /// Events either buffer holds without allocating; a block that would
    /// need more drops whole notes (never an on without its off).
    static constexpr int kEventCapacity = 2048;

    enum Port { kControlIn = 0, kControlOut = 1 };

    explicit CArpeggiator(CHost* host);
    ~CArpeggiator() override;

    void Work() override;
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void CloseEditor() override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return false; }
    /// Takes only blocks of exactly 392 bytes; out-of-range counts are
    /// brought into range, so a damaged project cannot stop the steps.
    void LoadState(const void* data, int length, bool hostFormat) override;
    void SaveState(void** data, int* length, bool* hostFormat) override;

    // Editor side, user-interface thread. Values outside the ranges are
    // brought into them.
    void SetStepsPerBeat(int steps);
    int GetStepsPerBeat() const;
    void SetLength(int steps);
    int GetLength() const;
    void SetCell(int row, int column, bool on);
    bool GetCell(int row, int column) const;

    /// Samples per step at the host's tempo now; at least 1.
    int StepLength();

    // What the audio thread last left, for the editor's cursor and tests.
    bool IsActive() const { return active; }
    int BaseNote() const { return baseNote; }
    int Column() const { return column; }
    int Phase() const { return phase; }
    /// For the editor on another thread: what the last block left, as one
    /// value. False when silent; else the held note and the next column.
    bool PlayingStep(int* note, int* nextColumn) const;

private:
    /// Plays the steps that fall in [start, start + span) of this block.
    void Generate(int start, int span);
    void PlayStep(int time);

    void* editor = nullptr;
    std::int32_t sampleRate;
    std::int32_t blockSize;
    std::int32_t stepsPerBeat = kDefaultStepsPerBeat;
    std::int32_t length = kMaxSteps;
    std::uint8_t grid[kRows][kMaxSteps] = {};
    bool active = false;
    std::int32_t baseNote = 0;
    std::int32_t column = 0;
    std::int32_t phase = 0;
    CControlBuffer deferred;   // note-offs that fall after the current block

    // This block's view of the settings, read once at its start.
    std::int32_t blockStepLength = 1;
    std::int32_t blockLength = kMaxSteps;
    /// -1 when silent, else the held note << 8 | the next column; stored
    /// once per block so the editor never reads the fields Work is changing.
    std::atomic<std::int32_t> shownStep{-1};
};

class CArpeggiatorInfo : public CMachineInfo {
public:
    explicit CArpeggiatorInfo(CHost* host);
    CMachine* CreateMachine() override;

private:
    CHost* host;
};
