#include "stockpack/mixer/MixerTrackGUI.h"

#include <cstdio>

#include "gui/LiteButton.h"
#include "gui/LiteLCDText.h"
#include "gui/LiteSlider.h"
#include "stockpack/common/LiteMeter.h"
#include "stockpack/common/PanelControls.h"
#include "stockpack/common/ParameterPanel.h"
#include "stockpack/common/SkinImages.h"
#include "stockpack/mixer/Mixer.h"

namespace {

constexpr int kThumb = 138;
constexpr int kTrack = 139;
constexpr int kKnob = 140;
constexpr int kMuteNormal = 141;
constexpr int kSoloNormal = 144;
constexpr int kNameDisplay = 147;
constexpr int kLeftMargin = 16;
constexpr int kReturnsGap = 8;
constexpr int kLabelGap = 3;

const char* KnobLabel(int position)
{
    switch (position) {
    case CMixer::kLow: return "LOW";
    case CMixer::kMid: return "MID";
    case CMixer::kHigh: return "HIGH";
    case CMixer::kBalance: return "PAN";
    case CMixer::kAux1: return "AUX1";
    case CMixer::kAux2: return "AUX2";
    default: return "";
    }
}

} // namespace

bool CMixerTrackGUI::KnobCell(int strip, int position, int& column, int& row)
{
    switch (position) {
    case CMixer::kLow: column = 0; row = 0; return true;
    case CMixer::kMid: column = 1; row = 0; return true;
    case CMixer::kHigh: column = 0; row = 1; return true;
    case CMixer::kBalance: column = 1; row = 1; return true;
    case CMixer::kAux1: column = 0; row = 2; return strip < CMixer::kTracks;
    case CMixer::kAux2: column = 1; row = 2; return strip < CMixer::kTracks;
    default: return false;
    }
}

int CMixerTrackGUI::StripX(int strip)
{
    return kLeftMargin + strip * kWidth + (strip >= CMixer::kTracks ? kReturnsGap : 0);
}

std::string CMixerTrackGUI::Name(int strip)
{
    char text[16];
    if (strip < CMixer::kTracks)
        std::snprintf(text, sizeof text, "TRACK %i", strip + 1);
    else
        std::snprintf(text, sizeof text, "AUX %i", strip - CMixer::kTracks + 1);
    return text;
}

CMixerTrackGUI::CMixerTrackGUI(CParameterPanel& panel, CMixer& mixer, int strip, const CSkinImages& images)
    : strip(strip)
{
    const int x = StripX(strip);
    const CPicture* display = images.Get(kNameDisplay);
    new CPanelPicture(&panel, x + 2, kNameY, display);
    const int displayWidth = display != nullptr ? display->GetWidth() : 56;
    const int displayHeight = display != nullptr ? display->GetHeight() : 14;
    auto* name = new CLiteLCDText(&panel, x + 4, kNameY + (displayHeight - 7) / 2, displayWidth - 4, 7, 0.9);
    name->SetInput(false);
    name->SetText(Name(strip).c_str());

    const int positions = strip < CMixer::kTracks ? CMixer::kTrackParameters : CMixer::kReturnParameters;
    for (int position = CMixer::kBalance; position < positions; ++position) {
        int column = 0, row = 0;
        if (!KnobCell(strip, position, column, row))
            continue;
        const int knobX = x + kKnobColumn[column];
        panel.AddKnob(CMixer::ParameterIndex(strip, position), knobX, kKnobRow[row], images.Get(kKnob));
        panel.AddLabel(knobX + kKnobSize / 2, kKnobRow[row] + kKnobSize + kLabelGap, KnobLabel(position), false, true);
    }

    mute = new CLiteButton(&panel, x + kMuteX, kButtonY, 28, 16, images.Get(kMuteNormal), images.Get(kMuteNormal + 1),
                           images.Get(kMuteNormal + 2), true);
    solo = new CLiteButton(&panel, x + kSoloX, kButtonY, 28, 16, images.Get(kSoloNormal), images.Get(kSoloNormal + 1),
                           images.Get(kSoloNormal + 2), true);
    const CPicture* thumb = images.Get(kThumb);
    const int thumbHeight = thumb != nullptr ? thumb->GetHeight() : 12;
    fader = panel.AddSlider(CMixer::ParameterIndex(strip, CMixer::kLevel), x + kFaderX, kFaderY, 22, kFaderHeight,
                            thumb, true, kFaderHeight - thumbHeight, images.Get(kTrack), 0);
    meter = new CLiteMeter(&panel, x + kMeterX, kMeterY, kMeterWidth, kMeterHeight, &mixer.MeterFeed(strip));
}

void CMixerTrackGUI::ShowSwitches(bool muted, bool soloed)
{
    // A switch that is on shows pressed; one that went off elsewhere
    // leaves its pressed look (hover stays as the pointer left it).
    if (muted != (mute->GetState() == CLiteButton::kPressed))
        mute->SetState(muted ? CLiteButton::kPressed : CLiteButton::kNormal);
    if (soloed != (solo->GetState() == CLiteButton::kPressed))
        solo->SetState(soloed ? CLiteButton::kPressed : CLiteButton::kNormal);
}
