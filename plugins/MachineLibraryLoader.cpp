#include "plugins/MachineLibraryLoader.h"

#include <cstdio>

#include "framework/PlugInit.h"
#include "host/CorvHost.h"
#include "host/MachineRegistry.h"
#include "platform/Directory.h"
#include "platform/DynamicLibrary.h"
#include "platform/Paths.h"

std::string DefaultPlugInFolder()
{
    return platform::JoinPath(platform::FolderOf(platform::ExecutablePath()), "PlugIns");
}

int LoadMachineLibraries(const std::string& folder, CCorvHost& host, CMachineRegistry& registry,
                         const StatusCallback& status)
{
    int initialised = 0;
    for (const platform::DirectoryEntry& entry : platform::ListDirectory(folder, "*.so")) {
        if (entry.isDirectory)
            continue;
        const std::string path = platform::JoinPath(folder, entry.name);
        if (status) {
            char line[512];
            std::snprintf(line, sizeof line, "Loading PlugIn Library %s...", entry.name.c_str());
            status(line);
        }
        platform::LibraryHandle library = platform::OpenLibrary(path.c_str());
        if (library == nullptr)
            continue;
        auto init = reinterpret_cast<CorvPlugInitFunction>(platform::FindSymbol(library, CORVANE_PLUGIN_ENTRY_NAME));
        if (init == nullptr) {
            platform::CloseLibrary(library);
            continue;
        }
        registry.SetCurrentLibrary(path);
        init(library, &host);
        registry.SetCurrentLibrary({});
        ++initialised;
    }
    return initialised;
}
