#include "editors/EditorPages.h"

#include "app/Application.h"
#include "editors/MainWindow.h"
#include "editors/PatternEditorPage.h"
#include "editors/RecorderPanelView.h"
#include "editors/SequenceEditorPage.h"
#include "host/CorvHost.h"
#include "sequencing/PatternEditor.h"

CEditorPages::CEditorPages(CMainWindow& window, CApplication& application, CFileChooser& chooser, CMessageSink& messages)
    : patternPage(new CPatternEditorPage(application.PatternEditor())),
      sequencePage(new CSequenceEditorPage(application.SequenceEditor(), application.PatternEditor().Host())),
      recorderPage(new CRecorderPanelView(application.Recorder(), chooser, messages))
{
    window.InstallPage(CMainWindow::kPatternEditorPage, patternPage);
    window.InstallPage(CMainWindow::kSequenceEditorPage, sequencePage);
    window.InstallPage(CMainWindow::kHDRecorderPage, recorderPage);
    // Patterns added, removed, renamed or resized change the song's lists.
    patternPage->onPatternsChanged = [this] { sequencePage->SyncChoices(); };
}

void CEditorPages::RefreshFromDisplayThread()
{
    patternPage->RefreshFromDisplayThread();
    sequencePage->RefreshFromDisplayThread();
    recorderPage->RefreshFromDisplayThread();
}
