#include "stockpack/drumkit/DrumKitGUI.h"

#include "stockpack/common/SkinImages.h"

using panel_layout::Cell;
using panel_layout::CellKind;
using panel_layout::Row;
using panel_layout::Section;

namespace {

Cell Knob(int parameter, const char* label)
{
    return {parameter, CellKind::Knob, label};
}

/// Level and balance, which every sound has, after its first parameter.
Section Tom(const char* title, int first)
{
    return {title, {Knob(first, "TUNE"), Knob(first + 1, "LEVEL"), Knob(first + 2, "PAN"), Knob(first + 3, "DECAY")}};
}

Section LevelOnly(const char* title, int first)
{
    return {title, {Knob(first, "LEVEL"), Knob(first + 1, "PAN")}};
}

Section WithDecay(const char* title, int first)
{
    return {title, {Knob(first, "LEVEL"), Knob(first + 1, "PAN"), Knob(first + 2, "DECAY")}};
}

std::vector<Row> MakeRows()
{
    return {
        {{"BASS DRUM",
          {Knob(0, "TUNE"), Knob(1, "LEVEL"), Knob(2, "PAN"), Knob(3, "ATTACK"), Knob(4, "DECAY")}},
         {"SNARE DRUM", {Knob(5, "TUNE"), Knob(6, "LEVEL"), Knob(7, "PAN"), Knob(8, "TONE"), Knob(9, "SNAPPY")}},
         Tom("LOW TOM", 10)},
        {Tom("MID TOM", 14), Tom("HIGH TOM", 18), LevelOnly("RIM SHOT", 22), LevelOnly("CLAP", 24)},
        {WithDecay("CLOSED HAT", 26), WithDecay("OPEN HAT", 29), WithDecay("CRASH", 32), WithDecay("RIDE", 35)},
    };
}

panel_layout::Metrics MakeMetrics()
{
    panel_layout::Metrics metrics;
    metrics.knobSize = 28;
    metrics.knobCell = 38;
    metrics.rowHeight = 58;
    return metrics;
}

} // namespace

const std::vector<Row>& CDrumKitGUI::Rows()
{
    static const std::vector<Row> rows = MakeRows();
    return rows;
}

const panel_layout::Metrics& CDrumKitGUI::Metrics()
{
    static const panel_layout::Metrics metrics = MakeMetrics();
    return metrics;
}

CDrumKitGUI::CDrumKitGUI(CMachine* machine, const CSkinImages& images)
    : CParameterPanel(machine, images.Get(kBackground)->GetWidth(), images.Get(kBackground)->GetHeight(),
                      images.Get(kBackground))
{
    AddPlacement(panel_layout::Place(Rows(), Metrics()), Metrics(), images.Get(kKnob), nullptr, nullptr);
}
