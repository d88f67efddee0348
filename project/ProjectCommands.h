#pragma once
// The project commands without their dialogs: the GUI asks for a path and
// calls these; the command line passes its arguments. Each throws CError
// with the text the user sees; the caller shows it ("Corvane" box or
// standard error) and the command ends there.

#include <string>

class CMachineContainer;
class CMachineInfo;
class CProject;

/// Forgets the path; under the studio lock the song loses every track, the
/// pattern editor every pattern (under its own lock), and the studio every
/// machine, the master included.
void ClearProject(CProject& project);
/// ClearProject, then the master "Master" at (32, 32) and empty notes.
/// Tempo, ticks per beat and the song length stay. Throws "Machine <Master>
/// Not Found" without a master type.
void NewProject(CProject& project);
/// ClearProject, remember the path, read the file.
void OpenProject(CProject& project, const std::string& path);
/// Writes to the remembered path; false without one (the caller then asks
/// for a path and calls SaveProjectAs).
bool SaveProject(CProject& project);
/// Remembers the path and writes the project there.
void SaveProjectAs(CProject& project, const std::string& path);
/// "Corvane Studio", or "Corvane Studio - %s" with the remembered file's
/// name.
std::string ProjectTitle(const CProject& project);

/// A machine of a registry type placed by the user (the New Machine menu):
/// named "%s %i", placed at the point, and known to both editors.
CMachineContainer* AddProjectMachine(CProject& project, CMachineInfo* descriptor, int x, int y);
