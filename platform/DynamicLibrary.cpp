#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace platform {

namespace {
thread_local std::string lastError;
}

LibraryHandle OpenLibrary(const char* path) noexcept
{
    // Plug-ins resolve their own copies of the framework first, so that two
    // modules never bind to each other's internal symbols.
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        try {
            lastError = text ? text : "";
        } catch (...) {
        }
    }
    return handle;
}

void* FindSymbol(LibraryHandle library, const char* name) noexcept
{
    if (library == nullptr)
        return nullptr;
    dlerror();
    return dlsym(library, name);
}

void CloseLibrary(LibraryHandle library) noexcept
{
    if (library != nullptr)
        dlclose(library);
}

std::string LastLibraryError()
{
    return lastError;
}

} // namespace platform
