#pragma once
// The writing side of project files (reading is CProjectFileSource): a
// project is written by replacing the old file in one step. The new bytes go to a
// temporary file in the same folder, are flushed to the disk, and only then
// renamed over the old file, so a failed save (no room on the disk, a
// folder that cannot be written) leaves the old project as it was.

#include <string>
#include <vector>

/// Throws "Failed To Open File '%s' For Writing" when the temporary file
/// cannot be made or cannot replace the target, and "Failed To Write File
/// '%s'" when the bytes cannot all be written and flushed. The target keeps
/// its permissions; a symbolic link is followed and the file it names is
/// replaced.
void ReplaceFileContents(const std::string& path, const std::vector<unsigned char>& bytes);
