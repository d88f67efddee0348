#pragma once
// The stock editors as a user meets them: the real program's application
// with stockpack.so loaded, its studio view on the main window, a machine
// added through the New Machine menu and its editor opened through the box
// menu's "Show Custom GUI". The editor lives in the library, so the tests
// reach it as a user does: through pixels of its window. What they expect
// there comes from the editors' own layouts and the skin pictures, which
// this program reads from the generated files.

#include <string>
#include <vector>

#include <QImage>
#include <QPoint>

#include "editors/StudioView.h"
#include "framework/ControlEvent.h"
#include "gui/Picture.h"
#include "stockpack/common/PanelLayout.h"
#include "tests/editors/mainwindow/StudioRig.h"
#include "tests/editors/studioview/StudioPageRig.h"

class CEditorWindow;
class CMachine;
class CMachineContainer;
class QWidget;

namespace editors_test {

struct EditorRig : mainwindow_test::CStudioPageRig {
    EditorRig();

    /// A machine of the type through the New Machine menu.
    CMachineContainer* Add(const std::string& type);
    CMachineContainer* Find(const std::string& name);
    /// "Show Custom GUI" from the box's menu button (checked enabled); the
    /// editor's own window inside the frame, or null.
    QWidget* ShowCustomGui(CMachineContainer* box);
    void HideGui(CMachineContainer* box);
    /// Opens the bundled demo project.
    void OpenDemo();
    /// A new machine's editor, checked to be the size of its skin picture
    /// and settled; null (with a failure) when it does not open.
    QWidget* OpenNew(const std::string& type, int backgroundId, CMachineContainer** box = nullptr);
    /// Opens and closes a new machine's editor this many times; the widgets
    /// that outlived it (0 when nothing leaks).
    int WidgetsLeftByReopening(const std::string& type, int times);
};

/// Presses at from, moves to to in two steps and releases there.
void Drag(QWidget* widget, QPoint from, QPoint to);
/// Clicks at a point.
void Click(QWidget* widget, QPoint at);
/// What the window shows, one pixel per panel pixel.
QImage Shown(QWidget* editor);
/// The skin picture of the stock library with this id, decoded from the
/// file skingen wrote.
const CPicture& Skin(int id);
/// The panel's pixels at a knob: the background with the strip's frame
/// drawn over it, as the container paints it.
QImage ExpectedKnob(const CPicture& background, const CPicture& strip, int x, int y, int frame);
/// The background with a w x h block of a picture (from sx, sy) drawn over
/// it at (x, y).
QImage ExpectedPicture(const CPicture& background, const CPicture& picture, int x, int y, int sx, int sy, int w,
                       int h);
/// The same rectangle of a shown image.
QImage Region(const QImage& shown, int x, int y, int w, int h);
/// Runs the event loop for at least ms (display refreshes happen).
void Settle(int ms = 120);
/// Saves the window's grab under the screenshot folder ("-200" before the
/// extension on a screen of device pixel ratio 2).
void SaveScreenshot(QWidget* editor, const std::string& name);

/// Renders a machine directly, as its worker does, with the machine
/// locked; the note events (if any) are queued on port 0 first.
std::vector<double> RenderLeft(CMachine* machine, int outputPort, int blocks);
/// Queues an event on a machine's first port (its "Control In").
void Queue(CMachine* machine, const ControlEvent& event);
double RmsOf(const std::vector<double>& x, std::size_t start, std::size_t length);
/// Checks, for each placed knob, its drawing at the parameter's value and
/// the "%s %s" tool tip a press shows; returns how many it checked.
int CheckKnobs(QWidget* editor, CMachine* machine, const CPicture& background, const panel_layout::Placement& placement,
               int knobId, int smallKnobId);
/// Each of the machine's parameterCount parameters has exactly one cell;
/// every control with its label lies on the skin, clear of the screws, and
/// none meets another.
void CheckLayout(const panel_layout::Placement& placement, const CPicture& background, int parameterCount);
/// The tool tip a bound control shows for a value.
std::string ToolTipFor(CMachine* machine, int parameter, double value);
/// The knob frame a value shows on a strip of 101 frames.
int Frame(double value);

/// Amplitude-weighted mean frequency of the spectrum of x.
double SpectralCentroid(const std::vector<double>& x, std::size_t start, std::size_t length, int sampleRate);

} // namespace editors_test
