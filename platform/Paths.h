#pragma once
// Where things are: the running program, a loaded library, the user's
// configuration folder.

#include <string>

namespace platform {

/// Full path of the running executable, or "" when it cannot be read.
std::string ExecutablePath();
/// Full path of the module (executable or shared library) that contains
/// address, or "" when none does.
std::string ModulePathOf(const void* address);
/// $XDG_CONFIG_HOME when set and absolute, else $HOME/.config; "" when
/// neither can be found.
std::string UserConfigFolder();

} // namespace platform
