// Kept apart from the Qt code: Xlib's macros (None, Bool, Status) clash
// with names in Qt's headers.

#include <cstdlib>
#include <string>

#include <X11/Xlib.h>

#include "app/StudioProgram.h"

std::string DisplayProblem()
{
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && value[0] != '\0';
    };
    if (isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM") || !isSet("DISPLAY"))
        return {};
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return std::string("cannot open the display ") + std::getenv("DISPLAY");
    XCloseDisplay(display);
    return {};
}
