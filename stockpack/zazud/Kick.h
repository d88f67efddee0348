#pragma once
// CKick ("KV Zazud"): the monophonic kick-drum generator of the stock
// library. Ports: "Control In" (notes and parameter events) and the mono
// "Line Out". Seven parameters shape the pitch sweep, the amplitude
// envelope and the fixed low-pass; ZazudEngine makes the sound.
//
// Threads: Work runs on the machine's worker with the machine locked.
// SetParameter may come from the user-interface thread; it takes the
// machine's lock to queue the change, so a value reaches the engine only
// through its queue, inside Work.

#include "framework/Machine.h"
#include "stockpack/zazud/ZazudEngine.h"

class CKick : public CMachine {
public:
    static constexpr int kControlInPort = 0;
    static constexpr int kLineOutPort = 1;

    explicit CKick(CHost* host);
    ~CKick() override;

    void Work() override;
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return true; }

    // For tests.
    const ZazudEngine& Engine() const { return engine; }
    static double DefaultValue(int index);

private:
    void DispatchEvents() noexcept;

    double values[zazud::kParameterCount];
    int sampleRate;
    int blockSize;
    ZazudEngine engine;
};
