#pragma once
// CParameterPanel: the skinned panel of a stock machine's editor, whose
// knobs, sliders and selectors are bound to the machine's parameters. A
// control turned sets its parameter through the machine's normal path
// (SetParameterNotify under the machine's lock: the host hears of it and
// the sound follows); a parameter changed anywhere else (default GUI,
// control track, automation, Randomize) reaches the controls through
// Refresh, which the editor's window calls on every display refresh, so
// no other thread ever touches the panel.
//
// Threads: user-interface thread.

#include <string>
#include <vector>

#include "gui/LiteContainer.h"
#include "stockpack/common/PanelLayout.h"

class CLiteKnob;
class CLiteSlider;
class CMachine;
class CPanelLabel;
class CPanelSelector;

class CParameterPanel : public CLiteContainer {
public:
    static constexpr int kRefreshMs = 40;

    /// One control bound to a parameter.
    struct Binding {
        CLiteControl* control;
        int parameter;
        enum class Kind { Knob, Slider, Selector } kind;
    };

    CParameterPanel(CMachine* machine, int width, int height, const CPicture* background);

    CMachine* GetMachine() const { return machine; }
    const std::vector<Binding>& Bindings() const { return bindings; }
    /// The control bound to a parameter, or null.
    CLiteControl* ControlOf(int parameter) const;

    CLiteKnob* AddKnob(int parameter, int x, int y, const CPicture* strip, const char* label = nullptr);
    CLiteSlider* AddSlider(int parameter, int x, int y, int width, int height, const CPicture* thumb,
                           bool vertical, int travel, const CPicture* track = nullptr, int trackOffset = 0);
    CPanelSelector* AddSelector(int parameter, int x, int y, const CPicture* strip, int entries,
                                const char* label = nullptr);
    CPanelLabel* AddLabel(int x, int y, const char* text, bool title = false, bool centred = false);
    /// Every cell of a layout as its control, the labels on one line under
    /// each row's knobs, and the sections' titles.
    void AddPlacement(const panel_layout::Placement& placement, const panel_layout::Metrics& metrics,
                      const CPicture* knob, const CPicture* smallKnob, const CPicture* selector);

    /// Brings every bound control to its parameter's value, redrawing the
    /// ones that moved, then lets the editor refresh its own views. Returns
    /// how many controls moved.
    int Refresh();

protected:
    /// Plots, meters and other views of an editor (display refresh).
    virtual void RefreshViews() {}

private:
    CMachine* machine;
    std::vector<Binding> bindings;
    std::vector<double> values;   // scratch for Refresh
};
