#pragma once
// The built-in machines' editors in a real studio: the program's
// application and main window (CStudioRig) with the studio view on its
// first page; machines come from the New Machine menu and their editors
// from the box menu's "Show Custom GUI", both answered by the test.

#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include "editors/StudioGestures.h"
#include "tests/editors/mainwindow/StudioRig.h"
#include "tests/editors/studioview/StudioPageRig.h"

class CEditorWindow;
class CMachineContainer;
class CStudio;
class CStudioView;
class QWidget;

namespace machine_editors_test {

class CEditorRig : public mainwindow_test::CStudioPageRig {
public:
    explicit CEditorRig(mainwindow_test::RigOptions options = {});

    /// A machine of the type through the New Machine menu, at a canvas pixel.
    CMachineContainer* Add(const std::string& type, int x = 300, int y = 200);
    /// Clicks the box's menu button and answers "Show Custom GUI"; the
    /// window that opened, or null.
    CEditorWindow* OpenFromBoxMenu(CMachineContainer* box);
    /// Box menu "Hide GUI": the editor closes.
    void Hide(CMachineContainer* box);
    /// The entries the last box menu showed.
    const std::vector<studio_view::MenuEntry>& LastMenu() const { return shown.back(); }
};

/// The editor widget inside a window: its only direct child.
QWidget* EditorIn(CEditorWindow* window);
/// Grabs the window to build-test/screenshots/<name>.png and returns it.
QImage Screenshot(QWidget* window, const QString& name);

} // namespace machine_editors_test
