#pragma once
// CMixer ("KV Mixer"): eight stereo tracks and two stereo aux send/return
// loops, each strip with level, balance and a three-band equaliser, summed
// into one stereo output.
//
// The engine runs it in two passes per block: Work mixes the tracks into
// "OUTPUT" and the two sends; after the machines fed by the sends have run,
// the engine adds their outputs onto the return ports and calls
// WorkReturns, which mixes the returns into "OUTPUT". The engine does not
// zero the return ports before adding, so Work clears them.
//
// Threads: Work and WorkReturns run on the machine's worker with the machine
// locked. SetParameter, SetMute and SetSolo may come from the user-interface
// thread; they take the machine's lock for the few stores they make.

#include <array>

#include "framework/Machine.h"
#include "stockpack/common/EditorSlot.h"
#include "stockpack/common/PeakFeed.h"
#include "stockpack/mixer/MixerStrip.h"

class CParameterPanel;
class CSkinImages;

class CMixer : public CMachine {
public:
    static constexpr int kTracks = 8;
    static constexpr int kAuxLoops = 2;
    static constexpr int kStrips = kTracks + kAuxLoops;
    static constexpr int kTrackParameters = 7;
    static constexpr int kReturnParameters = 5;
    static constexpr int kFirstReturnParameter = kTrackParameters * kTracks;
    static constexpr int kParameterCount = kFirstReturnParameter + kReturnParameters * kAuxLoops;
    static constexpr int kPortCount = 1 + kTracks + 2 * kAuxLoops;
    static constexpr int kOutputPort = 0;
    static constexpr int kNoSolo = -1;

    /// Parameter positions within a strip (returns stop after High).
    enum Position { kLevel = 0, kBalance, kLow, kMid, kHigh, kAux1, kAux2 };

    static constexpr int TrackInputPort(int track) { return 1 + track; }
    static constexpr int SendPort(int aux) { return 1 + kTracks + 2 * aux; }
    static constexpr int ReturnPort(int aux) { return 2 + kTracks + 2 * aux; }
    /// The index of a strip's parameter; strips 8 and 9 are the returns.
    static constexpr int ParameterIndex(int strip, int position)
    {
        return strip < kTracks ? kTrackParameters * strip + position
                               : kFirstReturnParameter + kReturnParameters * (strip - kTracks) + position;
    }

    /// images: the type's skin pictures, or null for a mixer without an
    /// editor.
    explicit CMixer(CHost* host, const CSkinImages* images = nullptr);
    ~CMixer() override;

    void Work() override;
    void WorkReturns() override;
    void Idle() override;
    double GetParameter(int index) override;
    void SetParameter(int index, double value) override;
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;
    void SetSampleRate(int rate) override;
    void SetBlockSize(int length) override;
    bool IsInstrument() override { return false; }
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override;
    WindowHandle CreateEditor(WindowHandle parent) override;
    void CloseEditor() override;
    /// The open editor's panel, or null.
    CParameterPanel* Editor() const { return editor.Panel(); }
    /// Where Idle hands a strip's peaks to the editor's meter.
    CPeakFeed& MeterFeed(int strip) { return meterFeeds[strip]; }

    // The mixer's own operations, for its editor. Out-of-range strips are
    // ignored.
    void SetMute(int strip, bool on);
    /// Only one strip is soloed at a time: soloing another strip replaces
    /// the solo, switching the soloed strip off clears it.
    void SetSolo(int strip, bool on);

    bool IsMuted(int strip) const { return strip >= 0 && strip < kStrips && muted[strip]; }
    int SoloStrip() const { return soloStrip; }
    /// The last block's peak of a strip's channel (0 left, 1 right).
    double Peak(int strip, int channel) const { return peaks[strip][channel]; }
    const CMixerStrip& Strip(int strip) const { return strips[strip]; }

private:
    bool IsAudible(int strip) const noexcept;
    /// The level targets of a strip for its left and right channel.
    void StripTargets(int strip, double level[2]) const noexcept;
    void UpdateBandTargets(int strip) noexcept;
    /// The strip an index belongs to and the position in it.
    static void Locate(int index, int& strip, int& position);

    double values[kParameterCount];
    std::array<CMixerStrip, kStrips> strips;
    double peaks[kStrips][2] = {};
    bool peaksFresh = false;   // a block rendered since Idle last handed them over
    bool muted[kStrips] = {};
    int soloStrip = kNoSolo;
    int sampleRate;
    int blockSize;
    const CSkinImages* images;
    CPeakFeed meterFeeds[kStrips];
    CEditorSlot editor;
};
