#include "gui/LiteContainer.h"

#include <algorithm>

#include "framework/Error.h"
#include "gui/ColorTable.h"
#include "gui/LiteControl.h"
#include "framework/Mutex.h"
#include "framework/ScopedLock.h"

CLiteContainer::CLiteContainer(int width, int height, const CPicture* background)
    : width(std::max(width, 0)), height(std::max(height, 0)), background(background)
{
    if (background != nullptr &&
        (background->GetWidth() != this->width || background->GetHeight() != this->height || background->HasAlpha()))
        throw CError("CLiteContainer : Invalid Background Picture");
    backBuffer.Create(this->width, this->height, false);
}

CLiteContainer::~CLiteContainer()
{
    // Controls unlink themselves when deleted; detach them first so that
    // deleting runs over a list that no longer changes.
    std::vector<CLiteControl*> remaining;
    remaining.swap(controls);
    // Nothing of a window that outlives the panel may still point at its
    // controls: their timers stop and the mouse is let go here.
    if (window != nullptr) {
        for (CLiteControl* control : remaining)
            window->StopTimer(*control);
        if (capture != nullptr)
            window->ReleaseMouse();
    }
    capture = nullptr;
    for (CLiteControl* control : remaining)
        control->Detach();
    for (CLiteControl* control : remaining)
        delete control;
}

void CLiteContainer::AddControl(CLiteControl* control)
{
    controls.push_back(control);
}

void CLiteContainer::RemoveControl(CLiteControl* control)
{
    if (capture == control) {
        capture = nullptr;
        if (window != nullptr)
            window->ReleaseMouse();
    }
    if (window != nullptr)
        window->StopTimer(*control);
    controls.erase(std::remove(controls.begin(), controls.end(), control), controls.end());
}

void CLiteContainer::PaintBackground(int x, int y, int w, int h)
{
    if (background != nullptr) {
        background->Draw(backBuffer, x, y, x, y, w, h);
        return;
    }
    const int tileWidth = tilePattern != nullptr ? tilePattern->GetWidth() : 0;
    const int tileHeight = tilePattern != nullptr ? tilePattern->GetHeight() : 0;
    if (tileWidth > 0 && tileHeight > 0) {
        // Tiles start at the origin; only the ones meeting the rectangle.
        for (int ty = y - y % tileHeight; ty < y + h; ty += tileHeight) {
            for (int tx = x - x % tileWidth; tx < x + w; tx += tileWidth)
                tilePattern->Draw(backBuffer, tx, ty);
        }
        return;
    }
    const ColorRef color = colorTable != nullptr ? colorTable->GetColor(CColorTable::kContainerBackground)
                                                 : CColorTable::InitialColor(CColorTable::kContainerBackground);
    backBuffer.FillClipRect(color);
}

void CLiteContainer::Redraw(int x, int y, int w, int h)
{
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const long long right = std::min<long long>(static_cast<long long>(x) + w, width);
    const long long bottom = std::min<long long>(static_cast<long long>(y) + h, height);
    if (w <= 0 || h <= 0 || left >= right || top >= bottom)
        return;
    const int clippedWidth = static_cast<int>(right - left);
    const int clippedHeight = static_cast<int>(bottom - top);

    // Painting and presenting share the lock, so that a timer or another
    // thread never presents a half-painted buffer.
    CScopedLock<CMutex> guard(lock);
    backBuffer.SetClipRect(left, left + clippedWidth - 1, top, top + clippedHeight - 1);
    PaintBackground(left, top, clippedWidth, clippedHeight);
    for (CLiteControl* control : controls) {
        if (control->IsVisible() && control->Meets(left, top, clippedWidth, clippedHeight))
            control->Draw(backBuffer);
    }
    backBuffer.ResetClipRect();
    if (window != nullptr)
        window->Present(backBuffer, left, top, clippedWidth, clippedHeight);
}

CLiteControl* CLiteContainer::ControlAt(int x, int y) const
{
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        if ((*it)->TakesInput() && (*it)->Contains(x, y))
            return *it;
    }
    return nullptr;
}

CLiteControl* CLiteContainer::MouseTarget(int x, int y) const
{
    return capture != nullptr ? capture : ControlAt(x, y);
}

void CLiteContainer::OnMouseMove(int x, int y)
{
    if (CLiteControl* target = MouseTarget(x, y))
        target->OnMouseMove(x, y);
}

void CLiteContainer::OnMousePress(int x, int y)
{
    if (CLiteControl* target = MouseTarget(x, y))
        target->OnMousePress(x, y);
}

void CLiteContainer::OnMouseRelease(int x, int y)
{
    if (CLiteControl* target = MouseTarget(x, y))
        target->OnMouseRelease(x, y);
}

void CLiteContainer::CaptureMouse(CLiteControl* control)
{
    capture = control;
    if (window != nullptr)
        window->CaptureMouse();
}

void CLiteContainer::ReleaseMouse(CLiteControl* control)
{
    if (control == nullptr || control != capture)
        return;
    capture = nullptr;
    if (window != nullptr)
        window->ReleaseMouse();
}

void CLiteContainer::ShowToolTip(const CLiteControl& control, const char* text)
{
    if (window != nullptr)
        window->ShowToolTip(control, text);
}

void CLiteContainer::StartTimer(CLiteControl& control, int intervalMs)
{
    if (window != nullptr)
        window->StartTimer(control, intervalMs);
}

void CLiteContainer::StopTimer(CLiteControl& control)
{
    if (window != nullptr)
        window->StopTimer(control);
}
