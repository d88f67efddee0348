#pragma once
// CRazuZuriGUI: RazuZuri's editor, one knob or selector for each of its 73
// parameters, grouped as the voice is built (envelopes, oscillators,
// filters, mixing, LFOs, drive and glide) on the type's skin: background
// 132, knob 133, small knob 134 (the LFO sends and depths) and the
// selector 135 (the list parameters).
//
// Threads: user-interface thread.

#include <vector>

#include "stockpack/common/ParameterPanel.h"
#include "stockpack/common/PanelLayout.h"

class CSkinImages;

class CRazuZuriGUI : public CParameterPanel {
public:
    static constexpr int kBackground = 132;
    static constexpr int kKnob = 133;
    static constexpr int kSmallKnob = 134;
    static constexpr int kSelector = 135;

    /// The panel's rows of sections.
    static const std::vector<panel_layout::Row>& Rows();
    static const panel_layout::Metrics& Metrics();

    /// images must be complete (the machine opens no editor otherwise).
    CRazuZuriGUI(CMachine* machine, const CSkinImages& images);
};
