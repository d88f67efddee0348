#pragma once
// CDrumKit ("KV VUziD8"): the analogue-style drum machine of the stock
// library: eleven synthesized sounds (CDrumKitVoice subclasses), each with
// a level and a stereo balance, some with tuning and decay. Notes play the
// sound of (note mod 11); trigger events name the sound directly. There
// are no choke groups.
//
// Ports: "Control In" (notes, triggers, parameter events) and the stereo
// "Line Out".
//
// Threads: Work runs on the machine's worker with the machine locked.
// SetParameter may come from the user-interface thread; it takes the
// machine's lock to queue the change for its sound, so a value reaches a
// sound only through that sound's queue, inside Work. Levels and balances
// are read by Work itself and queue nothing.

#include <memory>
#include <vector>

#include "framework/Machine.h"
#include "stockpack/common/EditorSlot.h"
#include "stockpack/drumkit/DrumKitParameters.h"

class CDrumKitVoice;
class CMachineInfo;
class CParameterPanel;
class CSkinImages;

class CDrumKit : public CMachine {
public:
    static constexpr int kControlInPort = 0;
    static constexpr int kLineOutPort = 1;

    /// The descriptor, when it is the stock one, lends its skin pictures to
    /// the editor; without it the machine has no editor.
    explicit CDrumKit(CHost* host, CMachineInfo* descriptor = nullptr);
    ~CDrumKit() override;

    void Work() override;
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;
    void GetNoteName(int note, char* out) override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return true; }
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void CloseEditor() override;
    /// The open editor's panel, or null.
    CParameterPanel* Editor() const { return editor.Panel(); }

    /// G = 0 for a level of 0 or less, else 10^(-32(1 - level)/10).
    static double LevelGain(double level);

    // For tests.
    const CDrumKitVoice& Voice(int sound) const { return *voices[static_cast<std::size_t>(sound)]; }

private:
    void DispatchEvents() noexcept;
    void FillNoise(int frames) noexcept;

    double values[drumkit::kParameterCount];
    std::vector<std::unique_ptr<CDrumKitVoice>> voices;
    std::vector<double> noise;
    int sampleRate;
    int blockSize;
    const CSkinImages* images;
    CEditorSlot editor;
};
