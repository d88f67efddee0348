#pragma once
// The framework passes windows as opaque WindowHandle values so that it
// includes no Qt header; for the host's own editors a handle is a QWidget*.

#include "framework/Machine.h"

class QWidget;

namespace gui {

inline QWidget* WidgetFromHandle(WindowHandle handle)
{
    return static_cast<QWidget*>(handle);
}

inline WindowHandle HandleFromWidget(QWidget* widget)
{
    return static_cast<WindowHandle>(widget);
}

} // namespace gui
