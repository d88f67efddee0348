#pragma once
// The pieces the stock editors add to the toolkit's skinned controls: a
// printed label (names under knobs, section titles) and a selector, a
// button that steps a list parameter through its entries and shows the
// current entry's text on its face.
//
// Threads: user-interface thread.

#include <string>

#include "gui/LiteControl.h"
#include "gui/Picture.h"

namespace panel_colors {
// The skin's palette (see tools/skingen): light grey labels, azure titles.
inline constexpr ColorRef kLabel = MakeColorRef(158, 168, 178);
inline constexpr ColorRef kTitle = MakeColorRef(0, 187, 255);
inline constexpr ColorRef kValue = MakeColorRef(226, 232, 238);
inline constexpr ColorRef kPlotGround = MakeColorRef(14, 15, 17);
inline constexpr ColorRef kPlotGrid = MakeColorRef(44, 48, 54);
} // namespace panel_colors

/// Text printed on the panel in the toolkit's bitmap font; takes no input.
class CPanelLabel : public CLiteControl {
public:
    /// Centred on cx when centred, else starting at x.
    CPanelLabel(CLiteContainer* container, int x, int y, const char* text, ColorRef color, bool centred = false,
                int scale = 1);

    void SetText(const char* newText);
    const std::string& GetText() const { return text; }
    void Draw(CPicture& backBuffer) override;

private:
    std::string text;
    ColorRef color;
    int anchorX;
    bool centred;
    int scale;
};

/// A list parameter as a button: a click moves to the next entry (after
/// the last back to the first), through the machine's SetParameterNotify
/// under its lock, and shows the "%s %s" tool tip. Entry k of n is the
/// value k / (n - 1), which the machines' (int)(v * n) maps back to k.
class CPanelSelector : public CLiteControl {
public:
    /// strip: three frames (normal, hover, pressed) stacked vertically.
    CPanelSelector(CLiteContainer* container, int x, int y, const CPicture* strip, int width, int height,
                   CMachine* machine, int parameter, int entries);

    CMachine* GetMachine() const { return machine; }
    int GetParameter() const { return parameter; }
    int GetEntries() const { return entries; }
    /// Stores the value and its text (no redraw).
    void SetValue(double newValue, const char* valueText);
    double GetValue() const { return value; }
    const std::string& GetValueText() const { return valueText; }
    /// The value a click gives from v.
    static double NextValue(double v, int entries);

    void Draw(CPicture& backBuffer) override;
    void OnMouseMove(int x, int y) override;
    void OnMousePress(int x, int y) override;
    void OnMouseRelease(int x, int y) override;

private:
    const CPicture* strip;
    CMachine* machine;
    int parameter;
    int entries;
    double value = 0.0;
    std::string valueText;
    int state = 0;   // 0 normal, 1 hover, 2 pressed
};

/// A picture printed on the panel (displays behind LCD texts); takes no
/// input.
class CPanelPicture : public CLiteControl {
public:
    CPanelPicture(CLiteContainer* container, int x, int y, const CPicture* picture);
    void Draw(CPicture& backBuffer) override;

private:
    const CPicture* picture;
};
