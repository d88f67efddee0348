#include "gui/LiteSlider.h"

#include <cmath>

#include "framework/Machine.h"
#include "gui/LiteContainer.h"
#include "gui/Picture.h"
#include "framework/ScopedLock.h"

CLiteSlider::CLiteSlider(CLiteContainer* container, int x, int y, int width, int height, const CPicture* thumb,
                         SliderOrientation orientation, int travel, const CPicture* track, int trackOffset)
    : CLiteControl(container, x, y, width, height),
      thumb(thumb),
      track(track),
      trackOffset(trackOffset),
      orientation(orientation),
      travel(travel)
{
}

void CLiteSlider::Bind(CMachine* boundMachine, int boundParameter)
{
    machine = boundMachine;
    parameter = boundParameter;
}

int CLiteSlider::Offset() const
{
    // A value set from outside 0 .. 1 (a machine's own parameter) keeps the
    // thumb on its travel; NaN sits at the start.
    const double clamped = value > 1.0 ? 1.0 : (value > 0.0 ? value : 0.0);
    return static_cast<int>(clamped * travel);
}

int CLiteSlider::ThumbX() const
{
    return orientation == SliderOrientation::Horizontal ? x + Offset() : x;
}

int CLiteSlider::ThumbY() const
{
    return orientation == SliderOrientation::Vertical ? y + travel - Offset() : y;
}

bool CLiteSlider::OnThumb(int px, int py) const
{
    const int thumbWidth = thumb != nullptr ? thumb->GetWidth() : 0;
    const int thumbHeight = thumb != nullptr ? thumb->GetHeight() : 0;
    if (orientation == SliderOrientation::Vertical)
        return py >= ThumbY() && py < ThumbY() + thumbHeight;
    return px >= ThumbX() && px < ThumbX() + thumbWidth;
}

void CLiteSlider::Draw(CPicture& backBuffer)
{
    if (track != nullptr)
        track->Draw(backBuffer, x, y - trackOffset);
    if (thumb != nullptr)
        thumb->Draw(backBuffer, ThumbX(), ThumbY());
}

void CLiteSlider::OnMousePress(int px, int py)
{
    if (!OnThumb(px, py))
        return;
    pressValue = value;
    pressCoordinate = orientation == SliderOrientation::Vertical ? py : px;
    if (container != nullptr)
        container->CaptureMouse(this);
    dragging = true;
    if (machine != nullptr) {
        CScopedLock<CMachine> machineLock(*machine);
        ShowParameterToolTip(machine, parameter, value);
    } else if (container != nullptr) {
        CScopedLock<CMutex> containerLock(container->GetLock());
        container->OnSliderPressed(this, value);
    }
}

void CLiteSlider::OnMouseMove(int px, int py)
{
    // Without travel there is nothing to slide along (d / t would divide by
    // zero).
    if (!dragging || travel <= 0)
        return;
    const int d = orientation == SliderOrientation::Vertical ? pressCoordinate - py : px - pressCoordinate;
    double v = static_cast<double>(d) / travel + pressValue;
    v = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
    if (v == value)
        return;
    if (machine != nullptr) {
        CScopedLock<CMachine> machineLock(*machine);
        ShowParameterToolTip(machine, parameter, v);
        machine->SetParameterNotify(parameter, v);
        return;
    }
    if (container == nullptr) {
        value = v;
        return;
    }
    CScopedLock<CMutex> containerLock(container->GetLock());
    value = v;
    Redraw();
    container->OnSliderMoved(this, v);
}

void CLiteSlider::OnMouseRelease(int, int)
{
    if (!dragging)
        return;
    if (container != nullptr)
        container->ReleaseMouse(this);
    dragging = false;
}
