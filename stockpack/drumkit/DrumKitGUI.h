#pragma once
// CDrumKitGUI: VUziD8's editor, one knob for each of its 38 parameters,
// grouped by sound (tuning, level, balance and the sound's own tone and
// decay controls) on the type's background (130) and knob (131).
//
// Threads: user-interface thread.

#include <vector>

#include "stockpack/common/PanelLayout.h"
#include "stockpack/common/ParameterPanel.h"

class CSkinImages;

class CDrumKitGUI : public CParameterPanel {
public:
    static constexpr int kBackground = 130;
    static constexpr int kKnob = 131;

    static const std::vector<panel_layout::Row>& Rows();
    static const panel_layout::Metrics& Metrics();

    /// images must be complete.
    CDrumKitGUI(CMachine* machine, const CSkinImages& images);
};
