#include "platform/Paths.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

namespace platform {

std::string ExecutablePath()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string ModulePathOf(const void* address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::string path = info.dli_fname;
    // The main program's own entry may be reported by its argv[0] form.
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr)
        path = resolved;
    return path;
}

std::string UserConfigFolder()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        if (const passwd* entry = getpwuid(getuid()))
            home = entry->pw_dir;
    }
    if (home == nullptr || home[0] == '\0')
        return {};
    std::string folder = home;
    if (folder.back() != '/')
        folder += '/';
    return folder + ".config";
}

} // namespace platform
