#include "gui/LiteControl.h"

#include <cstdio>
#include <cstring>

#include "framework/Machine.h"
#include "gui/LiteContainer.h"

CLiteControl::CLiteControl(CLiteContainer* container, int x, int y, int width, int height)
    : container(container), x(x), y(y), width(width), height(height)
{
    if (container != nullptr)
        container->AddControl(this);
}

CLiteControl::~CLiteControl()
{
    if (container != nullptr)
        container->RemoveControl(this);
}

void CLiteControl::Redraw()
{
    if (container != nullptr)
        container->Redraw(x, y, width, height);
}

bool CLiteControl::Contains(int px, int py) const
{
    return px >= x && static_cast<long long>(px) < static_cast<long long>(x) + width && py >= y &&
           static_cast<long long>(py) < static_cast<long long>(y) + height;
}

bool CLiteControl::Meets(int left, int top, int w, int h) const
{
    const long long right = static_cast<long long>(left) + w;
    const long long bottom = static_cast<long long>(top) + h;
    return width > 0 && height > 0 && x < right && static_cast<long long>(x) + width > left && y < bottom &&
           static_cast<long long>(y) + height > top;
}

void CLiteControl::ShowParameterToolTip(CMachine* machine, int parameter, double value)
{
    // Machines write their texts into buffers they assume are large; these
    // are far larger than any name or value text.
    char name[256] = {};
    char text[256] = {};
    machine->GetParameterName(parameter, name);
    machine->FormatParameter(parameter, value, text);
    name[sizeof name - 1] = '\0';
    text[sizeof text - 1] = '\0';
    char tip[sizeof name + sizeof text + 2];
    std::snprintf(tip, sizeof tip, "%s %s", name, text);
    if (container != nullptr)
        container->ShowToolTip(*this, tip);
}
