#pragma once
// The editors' three tab pages of the main window: "Pattern Editor",
// "Sequence Editor" and "HD Recorder", made over the application's models,
// put into the window's tabs, told of each other's changes, and refreshed
// together from the display thread.
//
// Threads: user-interface thread, except RefreshFromDisplayThread.

class CApplication;
class CFileChooser;
class CMainWindow;
class CMessageSink;
class CPatternEditorPage;
class CRecorderPanelView;
class CSequenceEditorPage;

class CEditorPages {
public:
    /// The window owns the pages; this only points at them, so it must not
    /// outlive the window.
    CEditorPages(CMainWindow& window, CApplication& application, CFileChooser& chooser, CMessageSink& messages);

    /// Display thread: posts the play cursors', buttons' and recorder rows'
    /// refresh to the user-interface thread.
    void RefreshFromDisplayThread();

    CPatternEditorPage* PatternPage() const { return patternPage; }
    CSequenceEditorPage* SequencePage() const { return sequencePage; }
    CRecorderPanelView* RecorderPage() const { return recorderPage; }

private:
    CPatternEditorPage* patternPage;
    CSequenceEditorPage* sequencePage;
    CRecorderPanelView* recorderPage;
};
