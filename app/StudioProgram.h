#pragma once
// The studio with its windows: what `corvane [PROJECT]` runs when no
// command-line option is given. The splash shows the start-up steps, the
// main window opens maximized (or where it was last time) with the project
// of the command line or a new one, and the Qt event loop runs until File >
// Exit or the window is closed.

#include <string>

/// Whether the arguments ask for the studio (no argument starts with "-").
bool IsStudioCommandLine(int argc, char** argv);
/// Whether a window can be shown: DISPLAY, WAYLAND_DISPLAY or a Qt platform
/// chosen through QT_QPA_PLATFORM.
bool HasDisplay();
/// Runs the studio; the exit code (0 after File > Exit).
int RunStudio(int argc, char** argv);
