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
/// Why the X display named by DISPLAY cannot be used (it is gone, or
/// refuses us), or empty when it can or another platform was chosen. Qt
/// would abort on such a display; the user gets this line instead.
std::string DisplayProblem();
/// Runs the studio; the exit code (0 after File > Exit).
int RunStudio(int argc, char** argv);
