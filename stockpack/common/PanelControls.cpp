#include "stockpack/common/PanelControls.h"

#include <algorithm>
#include <cmath>

#include "framework/Machine.h"
#include "framework/Mutex.h"
#include "framework/ScopedLock.h"
#include "gui/BitmapFont.h"
#include "gui/LiteContainer.h"

CPanelLabel::CPanelLabel(CLiteContainer* container, int x, int y, const char* text, ColorRef color, bool centred,
                         int scale)
    : CLiteControl(container, x, y, 0, CBitmapFont::kGlyphHeight * scale), text(text), color(color), anchorX(x),
      centred(centred), scale(scale)
{
    SetInput(false);
    SetText(text);
}

void CPanelLabel::SetText(const char* newText)
{
    text = newText != nullptr ? newText : "";
    width = CBitmapFont::TextWidth(text.c_str(), scale);
    x = centred ? anchorX - width / 2 : anchorX;
}

void CPanelLabel::Draw(CPicture& backBuffer)
{
    CBitmapFont::DrawText(backBuffer, x, y, text.c_str(), color, scale);
}

CPanelSelector::CPanelSelector(CLiteContainer* container, int x, int y, const CPicture* strip, int width, int height,
                               CMachine* machine, int parameter, int entries)
    : CLiteControl(container, x, y, width, height), strip(strip), machine(machine), parameter(parameter),
      entries(std::max(entries, 1))
{
}

void CPanelSelector::SetValue(double newValue, const char* text)
{
    value = newValue;
    valueText = text != nullptr ? text : "";
}

double CPanelSelector::NextValue(double v, int entries)
{
    if (entries < 2)
        return 0.0;
    int k = static_cast<int>(std::clamp(v, 0.0, 1.0) * entries);
    k = std::min(k, entries - 1);
    k = (k + 1) % entries;
    return static_cast<double>(k) / (entries - 1);
}

void CPanelSelector::Draw(CPicture& backBuffer)
{
    if (strip != nullptr)
        strip->Draw(backBuffer, x, y, 0, state * height, width, height);
    // The entry's text, cut to what fits the face.
    std::string shown = valueText;
    while (!shown.empty() && CBitmapFont::TextWidth(shown.c_str()) > width - 4)
        shown.pop_back();
    const int textX = x + (width - CBitmapFont::TextWidth(shown.c_str())) / 2;
    const int textY = y + (height - CBitmapFont::kGlyphHeight) / 2 - (state == 2 ? 1 : 0);
    CBitmapFont::DrawText(backBuffer, textX, textY, shown.c_str(),
                          state == 2 ? panel_colors::kTitle : panel_colors::kValue);
}

void CPanelSelector::OnMouseMove(int px, int py)
{
    const bool inside = Contains(px, py);
    if (state == 0 && inside) {
        state = 1;
        if (container != nullptr)
            container->CaptureMouse(this);
        Redraw();
    } else if (state != 0 && !inside) {
        state = 0;
        if (container != nullptr)
            container->ReleaseMouse(this);
        Redraw();
    }
}

void CPanelSelector::OnMousePress(int, int)
{
    state = 2;
    Redraw();
}

void CPanelSelector::OnMouseRelease(int px, int py)
{
    if (state != 2)
        return;
    state = Contains(px, py) ? 1 : 0;
    if (state == 1 && machine != nullptr) {
        CScopedLock<CMachine> machineLock(*machine);
        const double next = NextValue(machine->GetParameter(parameter), entries);
        if (container != nullptr) {
            CScopedLock<CMutex> containerLock(container->GetLock());
            ShowParameterToolTip(machine, parameter, next);
        }
        machine->SetParameterNotify(parameter, next);
    }
    if (state == 0 && container != nullptr)
        container->ReleaseMouse(this);
    Redraw();
}

CPanelPicture::CPanelPicture(CLiteContainer* container, int x, int y, const CPicture* picture)
    : CLiteControl(container, x, y, picture != nullptr ? picture->GetWidth() : 0,
                   picture != nullptr ? picture->GetHeight() : 0),
      picture(picture)
{
    SetInput(false);
}

void CPanelPicture::Draw(CPicture& backBuffer)
{
    if (picture != nullptr)
        picture->Draw(backBuffer, x, y);
}
