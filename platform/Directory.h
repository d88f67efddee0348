#pragma once
// Folder listing with a shell-style pattern, in the order the file system
// returns the entries.

#include <string>
#include <vector>

namespace platform {

struct DirectoryEntry {
    std::string name;        // file name only, without the folder
    bool isDirectory = false;
};

/// Entries of folder whose names match pattern ("*.so", "*"); "." and ".."
/// are listed when the pattern matches them, as the caller may expect.
/// An unreadable or missing folder gives an empty list.
std::vector<DirectoryEntry> ListDirectory(const std::string& folder, const std::string& pattern);

/// "folder/name", with one separator.
std::string JoinPath(const std::string& folder, const std::string& name);
/// The part after the last '/', or the whole path.
std::string FileNameOf(const std::string& path);
/// The part before the last '/', or "." when there is none.
std::string FolderOf(const std::string& path);

} // namespace platform
