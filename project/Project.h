#pragma once
// CProject: what a project consists of, as the project commands see it:
// the host (tempo, ticks per beat), the registry the machine types come
// from, the studio with its machines and cables, the two editors with the
// patterns and the song, and the project notes. The application owns the
// objects; the notes text and the remembered path live here.
//
// Threads: the user-interface (or command-line) thread only.

#include <functional>
#include <string>

class CCorvHost;
class CMachineRegistry;
class CPatternEditor;
class CSequenceEditor;
class CStudio;

class CProject {
public:
    /// Receives a message the user must see without the command failing
    /// (a machine type that could not be loaded): the GUI shows it in a box,
    /// the command line prints it.
    using Reporter = std::function<void(const std::string& message)>;

    CProject(CCorvHost& host, CMachineRegistry& registry, CStudio& studio, CPatternEditor& patternEditor,
             CSequenceEditor& sequenceEditor)
        : host(host), registry(registry), studio(studio), patternEditor(patternEditor), sequenceEditor(sequenceEditor)
    {
    }

    CCorvHost& host;
    CMachineRegistry& registry;
    CStudio& studio;
    CPatternEditor& patternEditor;
    CSequenceEditor& sequenceEditor;

    /// The Project Info page's text.
    std::string notes;
    /// The file the project was opened from or saved to; "" for none.
    std::string path;
    Reporter reporter;
};
