#pragma once
// CMixerTrackGUI: one strip of the mixer's editor: its name display
// ("TRACK %i" or "AUX %i"), the "LOW", "MID", "HIGH" knobs, the balance
// knob, the "AUX1" and "AUX2" send knobs (tracks only), the mute and solo
// buttons, the level fader and the strip's stereo meter. The strip puts
// its controls on the editor's panel and keeps their handles; geometry is
// fixed here so tests can find every control.
//
// Threads: user-interface thread.

#include <string>

class CLiteButton;
class CLiteMeter;
class CLiteSlider;
class CMixer;
class CParameterPanel;
class CPeakFeed;
class CSkinImages;

class CMixerTrackGUI {
public:
    static constexpr int kWidth = 60;
    static constexpr int kNameY = 24;
    static constexpr int kKnobSize = 24;
    static constexpr int kKnobColumn[2] = {4, 32};
    static constexpr int kKnobRow[3] = {44, 80, 116};
    static constexpr int kButtonY = 152;
    static constexpr int kMuteX = 2;
    static constexpr int kSoloX = 30;
    static constexpr int kFaderX = 6;
    static constexpr int kFaderY = 176;
    static constexpr int kFaderHeight = 160;
    static constexpr int kMeterX = 38;
    static constexpr int kMeterY = 178;
    static constexpr int kMeterWidth = 11;
    static constexpr int kMeterHeight = 156;

    /// Where a strip's knob for a parameter position sits (column, row), or
    /// false when the strip has none for it (levels are faders; returns
    /// have no sends).
    static bool KnobCell(int strip, int position, int& column, int& row);
    /// The strip's left edge on the panel: tracks side by side, the
    /// returns after a gap.
    static int StripX(int strip);
    /// "TRACK %i" or "AUX %i".
    static std::string Name(int strip);

    CMixerTrackGUI(CParameterPanel& panel, CMixer& mixer, int strip, const CSkinImages& images);

    int Strip() const { return strip; }
    CLiteButton* Mute() const { return mute; }
    CLiteButton* Solo() const { return solo; }
    CLiteSlider* Fader() const { return fader; }
    CLiteMeter* Meter() const { return meter; }
    /// Shows the machine's mute and solo state on the buttons.
    void ShowSwitches(bool muted, bool soloed);

private:
    int strip;
    CLiteButton* mute = nullptr;
    CLiteButton* solo = nullptr;
    CLiteSlider* fader = nullptr;
    CLiteMeter* meter = nullptr;
};
