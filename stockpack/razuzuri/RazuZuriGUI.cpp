#include "stockpack/razuzuri/RazuZuriGUI.h"

#include "stockpack/common/SkinImages.h"
#include "stockpack/razuzuri/RazuZuriParameters.h"

using namespace razuzuri;
using panel_layout::Cell;
using panel_layout::CellKind;
using panel_layout::Row;
using panel_layout::Section;

namespace {

constexpr int kShapeEntries = 3;
constexpr int kOnOffEntries = 2;
constexpr int kModeEntries = 2;
constexpr int kRoutingEntries = 3;
constexpr int kSaturationEntries = 4;
constexpr int kLfoShapeEntries = 6;

Cell Knob(int parameter, const char* label)
{
    return {parameter, CellKind::Knob, label};
}

Cell Small(int parameter, const char* label)
{
    return {parameter, CellKind::SmallKnob, label};
}

Cell Selector(int parameter, int entries, const char* label)
{
    return {parameter, CellKind::Selector, label, entries};
}

Section Envelope(const char* title, int first)
{
    return {title,
            {Knob(first, "ATK"), Knob(first + 1, "DEC"), Knob(first + 2, "SUS"), Knob(first + 3, "REL"),
             Knob(first + 4, "A CRV"), Knob(first + 5, "D CRV"), Knob(first + 6, "R CRV")}};
}

Section Filter(const char* title, int first)
{
    return {title,
            {Selector(first, kModeEntries, "MODE"), Knob(first + 1, "CUT"), Knob(first + 2, "RES"),
             Knob(first + 3, "KEY"), Knob(first + 4, "ENV")}};
}

Section Lfo(const char* title, int first)
{
    return {title,
            {Selector(first + 1, kLfoShapeEntries, "SHAPE"), Knob(first, "RATE"), Knob(first + 2, "FADE"),
             Small(first + 3, "S1"), Small(first + 4, "A1"), Small(first + 5, "S2"), Small(first + 6, "A2"),
             Small(first + 7, "S3"), Small(first + 8, "A3")}};
}

std::vector<Row> MakeRows()
{
    const int vco2 = kVco1Shape + kOscillatorParameterStride;
    return {
        {Envelope("AMP ENVELOPE", kAmpAttack), Envelope("FILTER ENVELOPE", kFilterAttack)},
        {{"VCO 1",
          {Selector(kVco1Shape, kShapeEntries, "SHAPE"), Knob(kVco1PulseWidth, "PW"), Knob(kVco1Semitone, "SEMI"),
           Knob(kVco1EnvMod, "ENV")}},
         {"VCO 2",
          {Selector(vco2, kShapeEntries, "SHAPE"), Knob(vco2 + 1, "PW"), Knob(vco2 + 2, "SEMI"),
           Knob(kVco2Detune, "DETUNE"), Knob(kVco2EnvMod, "ENV")}},
         {"SYNC", {Selector(kSync, kOnOffEntries, "")}},
         {"MIX", {Knob(kOscBalance, "BAL"), Knob(kOscVolume, "VOL"), Knob(kNoise, "NOISE"), Knob(kRingMod, "RING")}}},
        {Filter("VCF 1", kVcf1Mode), Filter("VCF 2", kVcf2Mode),
         {"ROUTING", {Selector(kFilterRouting, kRoutingEntries, "")}},
         {"FORMANT", {Knob(kFormantMix, "MIX"), Knob(kFormantVowel, "VOWEL")}}},
        {Lfo("LFO 1", kLfo1Rate), Lfo("LFO 2", kLfo1Rate + kLfoParameterStride)},
        {Lfo("LFO 3", kLfo1Rate + 2 * kLfoParameterStride),
         {"DRIVE", {Selector(kSaturation, kSaturationEntries, "SAT"), Knob(kOverdrive, "GAIN")}},
         {"GLIDE", {Knob(kPortamento, "PORTA"), Knob(kGlide, "GLIDE"), Knob(kSlideCurve, "CURVE")}}},
    };
}

} // namespace

const std::vector<Row>& CRazuZuriGUI::Rows()
{
    static const std::vector<Row> rows = MakeRows();
    return rows;
}

const panel_layout::Metrics& CRazuZuriGUI::Metrics()
{
    static const panel_layout::Metrics metrics = [] {
        panel_layout::Metrics m;
        m.justifyRight = 704;   // the background's width less the margin
        return m;
    }();
    return metrics;
}

CRazuZuriGUI::CRazuZuriGUI(CMachine* machine, const CSkinImages& images)
    : CParameterPanel(machine, images.Get(kBackground)->GetWidth(), images.Get(kBackground)->GetHeight(),
                      images.Get(kBackground))
{
    AddPlacement(panel_layout::Place(Rows(), Metrics()), Metrics(), images.Get(kKnob), images.Get(kSmallKnob),
                 images.Get(kSelector));
}
