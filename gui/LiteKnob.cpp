#include "gui/LiteKnob.h"

#include <cmath>

#include "framework/Machine.h"
#include "gui/LiteContainer.h"
#include "gui/Picture.h"
#include "framework/ScopedLock.h"

CLiteKnob::CLiteKnob(CLiteContainer* container, int x, int y, int width, int height, const CPicture* strip,
                     int frames)
    : CLiteControl(container, x, y, width, height), strip(strip), frames(frames)
{
}

void CLiteKnob::Bind(CMachine* boundMachine, int boundParameter)
{
    machine = boundMachine;
    parameter = boundParameter;
}

int CLiteKnob::CurrentFrame() const
{
    if (frames <= 1 || !(value > 0.0))
        return 0;
    const double k = std::trunc((frames - 1) * value);
    return k >= frames - 1 ? frames - 1 : static_cast<int>(k);
}

void CLiteKnob::Draw(CPicture& backBuffer)
{
    if (strip == nullptr)
        return;
    strip->Draw(backBuffer, x, y, 0, CurrentFrame() * height, width, height);
}

double CLiteKnob::DragValue(int pressY, double pressValue, int y, int frames)
{
    const float travel = static_cast<float>(pressY - y) / 100.0f;
    const double position = (travel + pressValue) * (frames - 1);
    double k = std::trunc(position);
    if (!(k > 0.0))
        k = 0.0;
    if (k > frames - 1)
        k = frames - 1;
    return k / (frames - 1);
}

void CLiteKnob::OnMousePress(int, int py)
{
    pressY = py;
    pressValue = value;
    dragging = true;
    if (machine != nullptr) {
        CScopedLock<CMachine> machineLock(*machine);
        ShowParameterToolTip(machine, parameter, value);
    }
    if (container != nullptr)
        container->CaptureMouse(this);
}

void CLiteKnob::OnMouseMove(int, int py)
{
    // A strip of one frame has no steps to move through (and k / (N - 1)
    // would divide by zero).
    if (!dragging || frames < 2)
        return;
    const double v = DragValue(pressY, pressValue, py, frames);
    if (v == value)
        return;
    if (machine == nullptr) {
        value = v;
        Redraw();
        return;
    }
    CScopedLock<CMachine> machineLock(*machine);
    if (container != nullptr) {
        CScopedLock<CMutex> containerLock(container->GetLock());
        ShowParameterToolTip(machine, parameter, v);
        machine->SetParameterNotify(parameter, v);
    } else {
        machine->SetParameterNotify(parameter, v);
    }
}

void CLiteKnob::OnMouseRelease(int, int)
{
    if (container != nullptr)
        container->ReleaseMouse(this);
    dragging = false;
}
