#pragma once
// The program's main window (CStudioRig) with the studio view on its first
// page, as the studio, editor and machine-editor tests drive it: the
// view's menus are answered from a queue of ids, and each menu shown is
// kept for the test to read.

#include <string>
#include <vector>

#include <QPoint>
#include <QSize>

#include "editors/StudioGestures.h"
#include "editors/StudioView.h"
#include "tests/editors/mainwindow/StudioRig.h"

class CMachineContainer;
class CStudio;

namespace mainwindow_test {

struct CStudioPageRig {
    explicit CStudioPageRig(RigOptions options = {}, QSize windowSize = QSize(1280, 800));

    CStudio& Studio();
    /// A machine of the type through the New Machine menu opened at a
    /// pixel of the canvas; null when the menu has no such type or nothing
    /// was made.
    CMachineContainer* AddByMenu(const std::string& type, QPoint pixel);

    CStudioRig rig;
    CStudioView* view = nullptr;
    std::vector<int> answers;                                  // ids the menus answer, in order
    std::vector<std::vector<studio_view::MenuEntry>> shown;    // every menu asked
};

} // namespace mainwindow_test
