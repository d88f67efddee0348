#pragma once
// Machines for the sequencing and project tests.
//
// CRecordingMachine takes notes and parameter events on "Control In" and
// keeps every event it finds in Work, with the number of the block it came
// in, so that tests can check times against sample numbers. Its parameters
// are plain values saved in the host's state block. The record vector is
// reserved up front, so recording allocates nothing during a render.
//
// CCustomStateMachine saves a state block of its own (flag 0) and keeps
// what LoadState was handed.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ControlEvent.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"

namespace sequencing_test {

inline constexpr std::size_t kRecordCapacity = 1 << 16;

struct CReceived {
    int block;   // 0 for the first block the machine worked in
    // Packed events put their doubles at 4-byte boundaries; here they sit
    // where the tests can bind references to them.
    alignas(8) ControlEvent event;
};

class CRecordingMachine : public CMachine {
public:
    /// Ports: 0 "Control In", 1 "Line Out" (mono); with a second control
    /// input when asked, 2 "Control In 2".
    CRecordingMachine(CHost* host, int parameters, int triggers, bool secondControlInput = false);
    ~CRecordingMachine() override;

    void Work() override;
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return true; }
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;
    /// "Param %i" for even indexes, "" for odd ones.
    void GetParameterName(int index, char* out) override;
    /// "%.3f".
    void FormatParameter(int index, double value, char* out) override;
    /// "Pad %i".
    void GetNoteName(int note, char* out) override;

    /// Events of one type, in the order they arrived.
    std::vector<CReceived> OfType(int type) const;
    /// Events of one type as absolute sample numbers (block × size + time).
    std::vector<long> SamplesOf(int type, int blockSize) const;

    std::vector<CReceived> received;
    std::vector<double> values;
    int blocks = 0;
};

class CCustomStateMachine : public CRecordingMachine {
public:
    explicit CCustomStateMachine(CHost* host) : CRecordingMachine(host, 0, 0) {}
    void LoadState(const void* data, int length, bool hostFormat) override;
    void SaveState(void** data, int* length, bool* hostFormat) override;

    std::string ownState = "own state bytes";
    bool loaded = false;
    bool loadedHostFormat = true;
};

/// A descriptor whose machines are recording machines of a given shape.
class CRecordingMachineInfo : public CMachineInfo {
public:
    enum class Kind { Recorder, CustomState };
    CRecordingMachineInfo(CHost* host, const char* typeName, const char* typeIdentifier, int parameters,
                          int triggers, Kind kind = Kind::Recorder, bool secondControlInput = false);
    CMachine* CreateMachine() override;

private:
    CHost* host;
    int parameters;
    int triggers;
    Kind kind;
    bool secondControlInput;
};

} // namespace sequencing_test
