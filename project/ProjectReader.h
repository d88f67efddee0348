#pragma once
// Reading a project file of version 0 to 4 into a cleared project.
//
// Every length, count and index is checked against what the file holds.
// A file whose data runs out, or whose counts cannot be what it holds, is
// reported as "File '%s' Is Corrupt" and reading stops there, keeping what
// was made until then. Values that do not fit the program are limited or
// left out instead: tempo and ticks per beat are limited to what the tool
// bar offers, the song length to 1 … 4096, a pattern's stored points beyond
// its ticks are skipped, notes and entries that break the placement rules
// and tracks of parameters the machine does not have are left out, as are
// patterns whose port is missing and the entries that name them. Song
// entries go to the track of their pattern's port.

#include <cstddef>
#include <string>

class CProject;

/// Throws "Failed To Open File '%s' For Reading", "File '%s' Is Corrupt" or
/// "File '%s' Has Incompatible Version Number". A machine type that is not
/// registered goes to the project's reporter and reading goes on.
void ReadProject(CProject& project, const std::string& path);

/// The same from bytes in memory; path only names the file in messages.
void ReadProjectData(CProject& project, const unsigned char* data, std::size_t size, const std::string& path);

/// "Machine of name \"%s\" could not be loaded. ..." for an instance name.
std::string MissingMachineMessage(const std::string& instanceName);
