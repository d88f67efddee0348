#pragma once
// Loads the machine plug-in libraries of a folder: every "*.so" file, in the
// order the file system lists them, is opened and its CorvPlugInit called
// with the host. A file that is not a loadable library is skipped, and a
// library without the entry point is closed again. Libraries that were
// initialised stay loaded until the program ends, since their machine types
// live in the registry.

#include <functional>
#include <string>

class CCorvHost;
class CMachineRegistry;

/// Shows one start-up status line ("Loading PlugIn Library %s...").
using StatusCallback = std::function<void(const std::string& line)>;

/// The "PlugIns" folder beside the executable.
std::string DefaultPlugInFolder();

/// Returns how many libraries were initialised. Types are attributed to their
/// library in the registry.
int LoadMachineLibraries(const std::string& folder, CCorvHost& host, CMachineRegistry& registry,
                         const StatusCallback& status);
