#pragma once
// CControlChangeMapper: renumbers parameter events on their way between
// machines. A list of (map in, map out) pairs replaces an incoming index
// equal to a pair's map-in number by its map-out number (the first pair
// that matches wins), so that a hardware controller can drive any parameter
// of any machine. A pair in training takes its map-in number from the next
// parameter event that arrives.
//
// Threads: Work on the audio thread or the machine's worker; the editor
// changes the list from the user-interface thread. Both hold the machine's
// lock while they touch the list.

#include <atomic>
#include <cstdint>

#include "framework/Array.h"
#include "framework/ControlEvent.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"

class CControlChangeMapper : public CMachine {
public:
    struct Mapping {
        std::int32_t mapIn = 0;
        std::int32_t mapOut = 0;
        bool training = false;   // the row's "Train" button is down
    };

    enum Port { kControlIn = 0, kControlOut = 1 };
    static constexpr int kReservedEvents = 1024;

    explicit CControlChangeMapper(CHost* host);
    ~CControlChangeMapper() override;

    void Work() override;
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void CloseEditor() override;
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return false; }
    /// n, then n pairs of int32; appended to the list. A block whose length
    /// is not (2n + 1) x 4 is ignored.
    void LoadState(const void* data, int length, bool hostFormat) override;
    void SaveState(void** data, int* length, bool* hostFormat) override;

    // Editor side, user-interface thread; each takes the machine's lock.
    /// Appends the pair (0, 0); returns its index.
    int AddMapping();
    void SetMapping(int pair, int mapIn, int mapOut);
    void RemoveMapping(int pair);
    void RemoveLastMapping();
    int MappingCount();
    /// False for an index outside the list.
    bool GetMapping(int pair, Mapping* out);
    /// The row's "Train" button.
    void SetTraining(int pair, bool on);
    /// Bumped whenever training changed a pair, so an open editor knows to
    /// show the new numbers.
    int TrainedCount() const { return trained.load(std::memory_order_relaxed); }

private:
    Mapping* At(int pair) const { return static_cast<Mapping*>(mappings.GetItem(pair)); }
    void Map(ControlEvent& event);

    void* editor = nullptr;
    CArray mappings;   // Mapping*, in the order they were added
    std::atomic<int> trained{0};
};

class CControlChangeMapperInfo : public CMachineInfo {
public:
    explicit CControlChangeMapperInfo(CHost* host);
    CMachine* CreateMachine() override;

private:
    CHost* host;
};
