#pragma once
// Writing a project file (version 4): the header, every machine with its
// state, every machine's cables and patterns, the song and the notes.

#include <string>
#include <vector>

class CProject;

/// The file's bytes. Numbers the patterns by their list positions first.
/// Names of 1024 bytes or more are cut to 1023.
std::vector<unsigned char> EncodeProject(CProject& project);

/// Encodes the project and replaces the file at path with it; a failure
/// leaves an existing file untouched. Throws "Failed To Open File '%s' For
/// Writing" or "Failed To Write File '%s'".
void WriteProject(CProject& project, const std::string& path);
