#pragma once
// How the editors meet the studio: playback in every block, the pattern
// editor's lock, the machine list and audio format changes.

class CMachineContainer;
class CPatternEditor;
class CSequenceEditor;
class CStudio;

/// Installs the two editors into the studio: in every block, after the
/// control inputs are cleared, the pattern editor's playback and then the
/// song's, with the pattern editor's lock held to the end of the block; a
/// machine deleted from the studio takes its tracks and patterns with it;
/// a new sample rate (and the block size current then) reaches every
/// pattern. The sequence editor must be the one made for the pattern
/// editor. Installing again into the same studio changes nothing.
void InstallPlayback(CStudio& studio, CPatternEditor& patternEditor, CSequenceEditor& sequenceEditor);
/// Takes the playback out of the studio it was installed in; the editors
/// stay as they are. Not needed before destroying either side.
void UninstallPlayback(CPatternEditor& patternEditor);
/// Tells both editors about a machine just placed in the studio: the
/// pattern editor lists it, the song gets a track for each control input.
void AddMachineToEditors(CPatternEditor& patternEditor, CSequenceEditor& sequenceEditor,
                         CMachineContainer* machine);
