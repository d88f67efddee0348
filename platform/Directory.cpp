#include "platform/Directory.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

namespace platform {

std::vector<DirectoryEntry> ListDirectory(const std::string& folder, const std::string& pattern)
{
    std::vector<DirectoryEntry> entries;
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr)
        return entries;
    while (dirent* item = readdir(directory)) {
        if (fnmatch(pattern.c_str(), item->d_name, 0) != 0)
            continue;
        DirectoryEntry entry;
        entry.name = item->d_name;
        if (item->d_type == DT_DIR) {
            entry.isDirectory = true;
        } else if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
            struct stat info {};
            if (stat(JoinPath(folder, entry.name).c_str(), &info) == 0)
                entry.isDirectory = S_ISDIR(info.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    closedir(directory);
    return entries;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

} // namespace platform
