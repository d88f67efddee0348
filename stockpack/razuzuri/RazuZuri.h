#pragma once
// CRazuZuri: the subtractive synthesizer of the stock library, as one voice
// ("KV RazuZuri") or sixteen ("KV RazuZuri (Polyphonic)").
//
// Ports: "Control In" (notes and parameter events) and the stereo "Line
// Out". Each block, Work takes the events of "Control In" in time order:
// parameter events are set through SetParameterNotify; a note-on goes to the
// voice already playing that note, else to the next voice in turn (a
// sounding voice is simply retriggered); a note-off goes to the voice playing
// its note or is dropped. Then every voice plays its own queue into the
// output.
//
// Threads: Work runs on the machine's worker with the machine locked.
// SetParameter may come from the user-interface thread; it takes the
// machine's lock to queue the change for every voice, so a parameter reaches
// the voices only through their queues, at the start of the next segment.

#include <memory>
#include <vector>

#include "framework/Machine.h"
#include "stockpack/common/EditorSlot.h"
#include "stockpack/razuzuri/RazuZuriParameters.h"

class CRazuZuriVoice;
class CSkinImages;

class CRazuZuri : public CMachine {
public:
    static constexpr int kPolyphonicVoices = 16;
    static constexpr int kControlInPort = 0;
    static constexpr int kLineOutPort = 1;

    /// images: the type's skin pictures (its descriptor's), or null for a
    /// machine without an editor.
    CRazuZuri(CHost* host, const CSkinImages* images, bool polyphonic);
    ~CRazuZuri() override;

    void Work() override;
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return true; }
    /// The editor's size is its background's; no rectangle (and no
    /// editor) when the skin did not load.
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void CloseEditor() override;

    // For views and tests.
    bool IsPolyphonic() const { return polyphonic; }
    int VoiceCount() const { return static_cast<int>(voices.size()); }
    const CRazuZuriVoice& Voice(int index) const { return *voices[static_cast<std::size_t>(index)]; }
    /// The voice the next new note goes to.
    int NextVoice() const { return nextVoice; }
    const CSkinImages* Images() const { return images; }
    /// The open editor's panel, or null.
    CParameterPanel* Editor() const { return editor.Panel(); }

private:
    void DispatchEvents() noexcept;
    CRazuZuriVoice* VoicePlaying(int note) noexcept;

    const CSkinImages* images;
    bool polyphonic;
    double values[razuzuri::kParameterCount];
    std::vector<std::unique_ptr<CRazuZuriVoice>> voices;
    int nextVoice = 0;
    int sampleRate;
    int blockSize;
    CEditorSlot editor;
};
