#include "stockpack/common/ParameterPanel.h"

#include <algorithm>

#include "framework/Machine.h"
#include "framework/ScopedLock.h"
#include "gui/BitmapFont.h"
#include "gui/LiteKnob.h"
#include "gui/LiteSlider.h"
#include "stockpack/common/PanelControls.h"

namespace {
/// Room between a control and the label under it.
constexpr int kLabelGap = 2;
}

CParameterPanel::CParameterPanel(CMachine* machine, int width, int height, const CPicture* background)
    : CLiteContainer(width, height, background), machine(machine)
{
}

CLiteControl* CParameterPanel::ControlOf(int parameter) const
{
    for (const Binding& binding : bindings) {
        if (binding.parameter == parameter)
            return binding.control;
    }
    return nullptr;
}

CLiteKnob* CParameterPanel::AddKnob(int parameter, int x, int y, const CPicture* strip, const char* label)
{
    const int size = strip != nullptr ? strip->GetWidth() : 0;
    const int frames = size > 0 ? strip->GetHeight() / size : 1;
    auto* knob = new CLiteKnob(this, x, y, size, size, strip, frames);
    knob->Bind(machine, parameter);
    bindings.push_back({knob, parameter, Binding::Kind::Knob});
    if (label != nullptr)
        AddLabel(x + size / 2, y + size + kLabelGap, label, false, true);
    return knob;
}

CLiteSlider* CParameterPanel::AddSlider(int parameter, int x, int y, int width, int height, const CPicture* thumb,
                                        bool vertical, int travel, const CPicture* track, int trackOffset)
{
    auto* slider = new CLiteSlider(this, x, y, width, height, thumb,
                                   vertical ? SliderOrientation::Vertical : SliderOrientation::Horizontal, travel,
                                   track, trackOffset);
    slider->Bind(machine, parameter);
    bindings.push_back({slider, parameter, Binding::Kind::Slider});
    return slider;
}

CPanelSelector* CParameterPanel::AddSelector(int parameter, int x, int y, const CPicture* strip, int entries,
                                             const char* label)
{
    const int w = strip != nullptr ? strip->GetWidth() : 0;
    const int h = strip != nullptr ? strip->GetHeight() / 3 : 0;
    auto* selector = new CPanelSelector(this, x, y, strip, w, h, machine, parameter, entries);
    bindings.push_back({selector, parameter, Binding::Kind::Selector});
    if (label != nullptr)
        AddLabel(x + w / 2, y + h + kLabelGap + 1, label, false, true);
    return selector;
}

CPanelLabel* CParameterPanel::AddLabel(int x, int y, const char* text, bool title, bool centred)
{
    return new CPanelLabel(this, x, y, text, title ? panel_colors::kTitle : panel_colors::kLabel, centred);
}

void CParameterPanel::AddPlacement(const panel_layout::Placement& placement, const panel_layout::Metrics& metrics,
                                   const CPicture* knob, const CPicture* smallKnob, const CPicture* selector)
{
    using panel_layout::CellKind;
    for (const panel_layout::PlacedTitle& title : placement.titles)
        AddLabel(title.x, title.y, title.text, true);
    for (const panel_layout::PlacedCell& placed : placement.cells) {
        const int rowTop = placed.cell.kind == CellKind::Knob ? placed.y
                         : placed.cell.kind == CellKind::SmallKnob
                             ? placed.y - (metrics.knobSize - metrics.smallKnobSize) / 2
                             : placed.y - (metrics.knobSize - metrics.selectorHeight) / 2;
        switch (placed.cell.kind) {
        case CellKind::Knob: AddKnob(placed.cell.parameter, placed.x, placed.y, knob); break;
        case CellKind::SmallKnob: AddKnob(placed.cell.parameter, placed.x, placed.y, smallKnob); break;
        case CellKind::Selector:
            AddSelector(placed.cell.parameter, placed.x, placed.y, selector, placed.cell.entries);
            break;
        }
        if (placed.cell.label != nullptr && placed.cell.label[0] != '\0')
            AddLabel(placed.x + placed.width / 2, rowTop + metrics.knobSize + kLabelGap + 1, placed.cell.label, false,
                     true);
    }
}

int CParameterPanel::Refresh()
{
    // One short hold of the machine's lock for all values: a Work in
    // progress finishes its block first, and no value is read half-stored.
    values.resize(bindings.size());
    std::vector<std::string> texts;
    {
        CScopedLock<CMachine> hold(*machine);
        for (std::size_t i = 0; i < bindings.size(); ++i)
            values[i] = machine->GetParameter(bindings[i].parameter);
        for (const Binding& binding : bindings) {
            if (binding.kind != Binding::Kind::Selector)
                continue;
            char text[256] = {};
            machine->FormatParameter(binding.parameter, machine->GetParameter(binding.parameter), text);
            text[sizeof text - 1] = '\0';
            texts.emplace_back(text);
        }
    }
    int moved = 0;
    std::size_t selectorIndex = 0;
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        const Binding& binding = bindings[i];
        const double v = values[i];
        bool changed = false;
        switch (binding.kind) {
        case Binding::Kind::Knob: {
            auto* knob = static_cast<CLiteKnob*>(binding.control);
            if (knob->GetValue() != v) {
                knob->SetValue(v);
                changed = true;
            }
            break;
        }
        case Binding::Kind::Slider: {
            auto* slider = static_cast<CLiteSlider*>(binding.control);
            if (slider->GetValue() != v) {
                slider->SetValue(v);
                changed = true;
            }
            break;
        }
        case Binding::Kind::Selector: {
            auto* selector = static_cast<CPanelSelector*>(binding.control);
            const std::string& text = texts[selectorIndex++];
            if (selector->GetValue() != v || selector->GetValueText() != text) {
                selector->SetValue(v, text.c_str());
                changed = true;
            }
            break;
        }
        }
        if (changed) {
            binding.control->Redraw();
            ++moved;
        }
    }
    RefreshViews();
    return moved;
}
