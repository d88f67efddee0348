// The studio view as a user drives it: Qt Test presses, moves and releases
// at pixel positions on the canvas (at 1x and 2x), the menus answered by
// the test, on the real program's application with the stock library. Also
// the default GUI widget, the custom editor window, deleting while a driver
// renders, and the screenshot of the demo's graph.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <QDir>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include "editors/CableVolumeSlider.h"
#include "editors/DefaultGUIView.h"
#include "editors/EditorWindow.h"
#include "editors/MainWindow.h"
#include "editors/StudioView.h"
#include "framework/Connection.h"
#include "framework/Machine.h"
#include "framework/MachineInfo.h"
#include "framework/Port.h"
#include "gui/WindowHandle.h"
#include "host/Connector.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "sequencing/SequenceEditor.h"
#include "tests/editors/mainwindow/StudioRig.h"
#include "tests/editors/studioview/StudioPageRig.h"
#include "tests/host/TestMachines.h"

using namespace mainwindow_test;
using namespace studio_view;

namespace {

/// The rig's main window with the studio view on its first page, the menus
/// answered from a queue of ids.
struct ViewRig : CStudioPageRig {
    explicit ViewRig(RigOptions options = {}) : CStudioPageRig(std::move(options)) {}
    QWidget* Canvas() { return view->Canvas(); }
    QPoint Pixel(CConnector* connector) { return view->ToCanvas(view->Gestures().ConnectorCentre(connector)); }
    QPoint Pixel(Point p) { return view->ToCanvas(p); }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(Canvas(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Canvas(), (from + to) / 2);
        QTest::mouseMove(Canvas(), to);
        QTest::mouseRelease(Canvas(), Qt::LeftButton, {}, to);
    }
};

CConnector* FirstPort(CMachineContainer* box, int flags)
{
    for (CConnector* connector : box->connectors)
        if ((connector->port->flags & flags) == flags)
            return connector;
    return nullptr;
}

int CableCount(const CStudio& studio)
{
    int count = 0;
    for (const CMachineContainer* box : studio.Containers())
        for (const CConnector* connector : box->connectors)
            count += static_cast<int>(connector->connections.size());
    return count;
}

} // namespace

TEST(StudioView, MouseBuildsACableAndMovesABoxAtOneAndTwoTimesZoom)
{
    for (const double zoom : {1.0, 2.0}) {
        ViewRig rig;
        rig.view->SetZoom(zoom, QPoint(0, 0));
        ASSERT_EQ(rig.view->Zoom(), zoom);
        // The menu is asked at the click; the box lands under it.
        CMachineContainer* synth = rig.AddByMenu("KV RazuZuri", rig.Pixel(Point{300, 200}));
        ASSERT_EQ(synth->GetName(), "KV RazuZuri 1");
        EXPECT_EQ(synth->x, 300);
        EXPECT_EQ(synth->y, 200);
        for (const MenuEntry& entry : rig.shown.back())
            EXPECT_NE(entry.text, "Master");

        CConnector* out = FirstPort(synth, kPortAudio | kPortOutput);
        CConnector* masterIn = FirstPort(rig.Studio().MasterContainer(), kPortAudio | kPortInput);
        ASSERT_NE(out, nullptr);
        ASSERT_NE(masterIn, nullptr);
        rig.Drag(rig.Pixel(out), rig.Pixel(masterIn));
        ASSERT_EQ(masterIn->connections.size(), 1u) << "zoom " << zoom;
        EXPECT_EQ(masterIn->connections[0]->source, out);

        // Grab the box by its body and drag it 100 studio pixels right and
        // past the top edge: it stops at y = 0.
        const QPoint grab = rig.Pixel(Point{synth->x + 40, synth->y + 50});
        rig.Drag(grab, grab + QPoint(static_cast<int>(100 * zoom), static_cast<int>(-400 * zoom)));
        EXPECT_EQ(synth->x, 400) << "zoom " << zoom;
        EXPECT_EQ(synth->y, 0);
        EXPECT_EQ(masterIn->connections.size(), 1u);
        EXPECT_GE(rig.Canvas()->width(), static_cast<int>((400 + 128) * zoom));
    }
}

TEST(StudioView, MenuButtonCommandsShowTheDefaultGuiRenameAndDelete)
{
    ViewRig rig;
    CMachineContainer* synth = rig.AddByMenu("KV RazuZuri", QPoint(300, 300));
    // The button follows the box's right edge, which grows with the GUI.
    auto buttonAt = [&] {
        const Rect button = rig.view->Gestures().MenuButtonRect(synth);
        return rig.Pixel(Point{synth->x + button.x + 3, synth->y + button.y + 3});
    };
    QPoint buttonPixel = buttonAt();

    // "Show Default GUI": the box grows round a live default GUI.
    rig.answers.push_back(CStudioGestures::kShowDefaultGui);
    QTest::mouseClick(rig.Canvas(), Qt::LeftButton, {}, buttonPixel);
    ASSERT_EQ(rig.shown.back().size(), 7u);
    EXPECT_EQ(rig.shown.back()[3].id, 0);
    EXPECT_EQ(synth->guiMode, GuiMode::DefaultGui);
    CDefaultGUIView* gui = rig.view->DefaultGui(synth);
    ASSERT_NE(gui, nullptr);
    EXPECT_TRUE(gui->isVisible());
    EXPECT_EQ(gui->objectName(), "DefaultGUI");
    EXPECT_EQ(gui->pos(), QPoint(synth->x + 4, synth->y + 19 + (synth->machine->programCount > 0 ? 24 : 0)));
    EXPECT_GE(rig.view->Gestures().BoxRect(synth).width, gui->width() + 8);

    // Its slider sets the parameter; the machine's report moves the slider.
    QSlider* slider = gui->Slider(0);
    ASSERT_NE(slider, nullptr);
    const int target = slider->value() > 5000 ? 1000 : 9000;
    slider->setValue(target);
    EXPECT_NEAR(synth->machine->GetParameter(0), target / 10000.0, 1e-3);
    rig.Studio().Host().OnParameterChanged(synth->machine, 0, 0.25);
    EXPECT_NEAR(synth->machine->GetParameter(0), 0.25, 1e-3);
    EXPECT_EQ(gui->Slider(0)->value(), 2500);

    // "Randomize" refreshes the rows from the machine.
    buttonPixel = buttonAt();
    rig.answers.push_back(CStudioGestures::kRandomize);
    QTest::mouseClick(rig.Canvas(), Qt::LeftButton, {}, buttonPixel);
    for (int i = 0; i < synth->machine->parameterCount; ++i)
        EXPECT_NEAR(gui->Slider(i)->value() / 10000.0, synth->machine->GetParameter(i), 1e-4);

    // "Rename", answered by the prompt, then "Hide GUI".
    rig.view->SetRenamePrompt([](const std::string& current) -> std::optional<std::string> {
        EXPECT_EQ(current, "KV RazuZuri 1");
        return std::string("Bass");
    });
    rig.answers.push_back(CStudioGestures::kRename);
    QTest::mouseClick(rig.Canvas(), Qt::LeftButton, {}, buttonPixel);
    EXPECT_EQ(synth->GetName(), "Bass");
    rig.answers.push_back(CStudioGestures::kHideGui);
    QTest::mouseClick(rig.Canvas(), Qt::LeftButton, {}, buttonPixel);
    EXPECT_EQ(rig.view->DefaultGui(synth), nullptr);

    // Delete by key leaves the master; "Delete Machine" is greyed there.
    const std::size_t before = rig.Studio().Containers().size();
    QTest::mouseClick(rig.Canvas(), Qt::LeftButton, {}, rig.Pixel(Point{synth->x + 30, synth->y + 40}));
    QTest::keyClick(rig.Canvas(), Qt::Key_Delete);
    EXPECT_EQ(rig.Studio().Containers().size(), before - 1);
    CMachineContainer* master = rig.Studio().MasterContainer();
    QTest::mouseClick(rig.Canvas(), Qt::LeftButton, {}, rig.Pixel(Point{master->x + 30, master->y + 40}));
    QTest::keyClick(rig.Canvas(), Qt::Key_Delete);
    EXPECT_EQ(rig.Studio().MasterContainer(), master);
    EXPECT_FALSE(rig.view->Gestures().BoxMenu(master)[6].enabled);
}

TEST(StudioView, TriangleClickShowsTheCableSliderAndEscapeCancelsADrag)
{
    ViewRig rig;
    CMachineContainer* synth = rig.AddByMenu("KV RazuZuri", QPoint(40, 300));
    CConnector* out = FirstPort(synth, kPortAudio | kPortOutput);
    CConnector* masterIn = FirstPort(rig.Studio().MasterContainer(), kPortAudio | kPortInput);

    // Escape in the middle of a drag: no cable.
    QTest::mousePress(rig.Canvas(), Qt::LeftButton, {}, rig.Pixel(out));
    QTest::mouseMove(rig.Canvas(), rig.Pixel(masterIn));
    EXPECT_TRUE(rig.view->Gestures().HoverAccepts());
    QTest::keyClick(rig.Canvas(), Qt::Key_Escape);
    QTest::mouseRelease(rig.Canvas(), Qt::LeftButton, {}, rig.Pixel(masterIn));
    EXPECT_TRUE(masterIn->connections.empty());

    rig.Drag(rig.Pixel(out), rig.Pixel(masterIn));
    ASSERT_EQ(masterIn->connections.size(), 1u);
    const auto cables = rig.view->Gestures().Cables();
    ASSERT_EQ(cables.size(), 1u);
    const PointF centroid = cables[0].Centroid();
    QTest::mouseClick(rig.Canvas(), Qt::LeftButton, {}, rig.view->ToCanvas(centroid));
    CCableVolumeSlider* slider = rig.view->CableSlider();
    ASSERT_TRUE(slider->isVisible());
    EXPECT_LE((slider->geometry().center() - rig.view->ToCanvas(centroid)).manhattanLength(), 2);
    EXPECT_EQ(slider->Slider()->value(), CCableVolumeSlider::kSteps);
    slider->Slider()->setValue(0);
    EXPECT_NEAR(masterIn->connections[0]->volume, 1e-9, 1e-21);

    // The cable menu's "Disconnect", from a right click on the line.
    rig.answers.push_back(CStudioGestures::kDisconnect);
    const PointF a = cables[0].from;
    const PointF b = cables[0].to;
    QTest::mouseClick(rig.Canvas(), Qt::RightButton, {},
                      rig.view->ToCanvas(PointF{a.x + (b.x - a.x) * 0.25, a.y + (b.y - a.y) * 0.25}));
    EXPECT_EQ(rig.shown.back().front().text, "Disconnect");
    EXPECT_TRUE(masterIn->connections.empty());
}

namespace {

/// A machine whose editor is a labelled child of the window it is given.
class CWindowedMachine : public CMachine {
public:
    explicit CWindowedMachine(CHost* host) : CMachine(host) {}
    void Work() override {}
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return false; }
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override
    {
        *top = 10;
        *left = 20;
        *bottom = 210;
        *right = 320;
        return true;
    }
    WindowHandle CreateEditor(WindowHandle parent) override
    {
        parentGiven = parent;
        child = new QWidget(gui::WidgetFromHandle(parent));
        return gui::HandleFromWidget(child);
    }
    void ShowEditor() override { ++shown; }
    void CloseEditor() override { ++closed; }
    WindowHandle parentGiven = nullptr;
    QWidget* child = nullptr;
    int shown = 0;
    int closed = 0;
};

class CWindowedInfo : public CMachineInfo {
public:
    CWindowedInfo()
    {
        name = "Windowed";
        identifier = "Test::Windowed";
    }
    CMachine* CreateMachine() override { return nullptr; }
};

} // namespace

TEST(StudioView, CustomGuiOpensAWindowSizedFromTheEditorRectAndClosingReturnsToModeZero)
{
    ViewRig rig;
    CWindowedInfo info;
    auto* machine = new CWindowedMachine(&rig.Studio().Host());
    CMachineContainer* box = rig.Studio().AddMachine(machine, &info, "Windowed", 300, 300);
    rig.view->SyncWidgets();
    EXPECT_TRUE(rig.view->Gestures().BoxMenu(box)[2].enabled);

    rig.view->BoxCommand(box, CStudioGestures::kShowCustomGui);
    CEditorWindow* window = rig.view->EditorWindow(box);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(box->guiMode, GuiMode::CustomGui);
    EXPECT_EQ(window->size(), QSize(300, 200));
    EXPECT_EQ(gui::WidgetFromHandle(machine->parentGiven), window);
    EXPECT_EQ(machine->shown, 1);
    EXPECT_TRUE(window->isVisible());

    window->close();
    EXPECT_EQ(box->guiMode, GuiMode::Hidden);
    EXPECT_EQ(machine->closed, 1);
    EXPECT_EQ(rig.view->EditorWindow(box), nullptr);

    // Reopened, then deleted with the window open: closed once more.
    rig.view->BoxCommand(box, CStudioGestures::kShowCustomGui);
    ASSERT_NE(rig.view->EditorWindow(box), nullptr);
    rig.view->BoxCommand(box, CStudioGestures::kDeleteMachine);
    EXPECT_EQ(rig.Studio().FindByName("Windowed"), nullptr);
    QCoreApplication::processEvents();
}

TEST(StudioView, DeletingWhileTheDriverRendersLosesNoOtherCable)
{
    RigOptions options;
    options.audio = true;
    options.driver = 0;   // null driver: the callback runs on its own thread
    ViewRig rig(options);
    rig.rig.window->Commands().OpenStartProject(DemoPath());
    rig.view->SyncWidgets();
    CStudio& studio = rig.Studio();
    ASSERT_GT(studio.Containers().size(), 2u);

    for (int round = 0; round < 3 && studio.Containers().size() > 1; ++round) {
        // A box that is not the master, with its own cables counted.
        CMachineContainer* victim = nullptr;
        for (CMachineContainer* box : studio.Containers())
            if (box != studio.MasterContainer())
                victim = box;
        int own = 0;
        for (const CMachineContainer* box : studio.Containers())
            for (const CConnector* connector : box->connectors)
                for (const CConnection* cable : connector->connections)
                    own += (box == victim || cable->source->owner == victim) ? 1 : 0;
        const int before = CableCount(studio);
        const int counter = studio.Host().GetSampleCounter();
        ASSERT_TRUE(ProcessEventsUntil([&] { return studio.Host().GetSampleCounter() != counter; }, 5000));

        rig.view->Gestures().Select(victim);
        rig.view->Canvas()->setFocus();
        QTest::keyClick(rig.Canvas(), Qt::Key_Delete);
        EXPECT_EQ(CableCount(studio), before - own);

        // The callback goes on after the delete.
        const int after = studio.Host().GetSampleCounter();
        EXPECT_TRUE(ProcessEventsUntil([&] { return studio.Host().GetSampleCounter() != after; }, 5000));
    }
}

namespace {

class CConstantInfo : public CMachineInfo {
public:
    CConstantInfo()
    {
        name = "Constant";
        identifier = "Test::Constant";
    }
    CMachine* CreateMachine() override { return nullptr; }
};

/// The colour the canvas shows a few pixels into a box's level bar.
QColor BarPixel(ViewRig& rig, const CMachineContainer* box)
{
    const Rect r = rig.view->Gestures().BoxRect(box);
    const QPoint at = rig.view->ToCanvas(Point{r.x + 6, r.y + r.height - 3});
    return rig.Canvas()->grab().toImage().pixelColor(at);
}

} // namespace

TEST(StudioView, LevelBarsLightForASoundingMachineAndFallDarkAfterSilence)
{
    RigOptions options;
    options.audio = true;
    options.driver = 0;   // null driver: the callback runs on its own thread
    ViewRig rig(options);
    CConstantInfo info;
    auto* loud = new engine_test::CConstantSource(&rig.Studio().Host(), false, 0.5);
    auto* quiet = new engine_test::CConstantSource(&rig.Studio().Host(), false, 0.0);
    CMachineContainer* loudBox = rig.Studio().AddMachine(loud, &info, "Loud", 300, 100);
    CMachineContainer* quietBox = rig.Studio().AddMachine(quiet, &info, "Quiet", 300, 300);
    rig.view->SyncWidgets();

    // Half of full scale reads -6 dBFS; the silent box stays at the floor.
    ASSERT_TRUE(ProcessEventsUntil([&] { return rig.view->LevelDb(loudBox) > -7.0; }, 10000));
    EXPECT_LE(rig.view->LevelDb(loudBox), -6.0);
    EXPECT_EQ(rig.view->LevelDb(quietBox), CStudioView::kLevelFloorDb);
    const QColor lit = BarPixel(rig, loudBox);
    EXPECT_GT(lit.green(), 150) << lit.name().toStdString();
    const QColor dark = BarPixel(rig, quietBox);
    EXPECT_LT(std::max({dark.red(), dark.green(), dark.blue()}), 40) << dark.name().toStdString();

    // Silence: the bar falls back to dark.
    loud->left = 0.0;
    ASSERT_TRUE(ProcessEventsUntil([&] { return rig.view->LevelDb(loudBox) == CStudioView::kLevelFloorDb; }, 20000));
    const QColor fallen = BarPixel(rig, loudBox);
    EXPECT_LT(std::max({fallen.red(), fallen.green(), fallen.blue()}), 40) << fallen.name().toStdString();
}

TEST(StudioView, ScreenshotOfTheDemoLevelsWhilePlaying)
{
    RigOptions options;
    options.audio = true;
    options.driver = 0;
    ViewRig rig(options);
    rig.rig.window->Commands().OpenStartProject(DemoPath());
    rig.rig.window->resize(1400, 900);
    rig.rig.application.SequenceEditor().Play();
    CMachineContainer* master = rig.Studio().MasterContainer();
    ASSERT_TRUE(ProcessEventsUntil([&] { return rig.view->LevelDb(master) > -40.0; }, 20000));
    QDir().mkpath(QStringLiteral(CORVANE_SCREENSHOT_DIR));
    ASSERT_TRUE(rig.rig.window->grab().toImage().save(QStringLiteral(CORVANE_SCREENSHOT_DIR "/studio-levels.png")));
    rig.rig.application.SequenceEditor().Stop();
}

TEST(StudioView, ScreenshotOfTheDemoWithOneDefaultGui)
{
    ViewRig rig;
    rig.rig.window->Commands().OpenStartProject(DemoPath());
    rig.rig.window->resize(1400, 900);
    QDir().mkpath(QStringLiteral(CORVANE_SCREENSHOT_DIR));
    ProcessEventsUntil([] { return false; }, 200);
    ASSERT_TRUE(rig.rig.window->grab().toImage().save(QStringLiteral(CORVANE_SCREENSHOT_DIR "/studio-graph.png")));

    // The machine with the shortest default GUI, in front.
    CMachineContainer* shownBox = nullptr;
    for (CMachineContainer* box : rig.Studio().Containers()) {
        const int count = box->machine->parameterCount;
        if (box != rig.Studio().MasterContainer() && count > 0 &&
            (shownBox == nullptr || count < shownBox->machine->parameterCount))
            shownBox = box;
    }
    ASSERT_NE(shownBox, nullptr);
    rig.view->BoxCommand(shownBox, CStudioGestures::kShowDefaultGui);
    rig.view->Gestures().Select(shownBox);
    rig.view->Gestures().BringToFront(shownBox);
    ProcessEventsUntil([] { return false; }, 300);
    const QImage image = rig.rig.window->grab().toImage();
    ASSERT_TRUE(image.save(QStringLiteral(CORVANE_SCREENSHOT_DIR "/studio.png")));

    // At 2x the default GUI is shown as its picture.
    rig.view->SetZoom(2.0, QPoint(0, 0));
    ProcessEventsUntil([] { return false; }, 200);
    ASSERT_TRUE(rig.rig.window->grab().toImage().save(QStringLiteral(CORVANE_SCREENSHOT_DIR "/studio-zoom2.png")));
}

namespace {

/// A machine of n parameters that counts the values it is given.
class CParameterMachine : public CMachine {
public:
    CParameterMachine(CHost* host, int count) : CMachine(host), values(static_cast<std::size_t>(count), 0.5)
    {
        parameterCount = count;
    }
    void Work() override {}
    void SetSampleRate(int) override {}
    void SetBlockSize(int) override {}
    bool IsInstrument() override { return false; }
    double GetParameter(int index) override { return values[static_cast<std::size_t>(index)]; }
    void SetParameter(int index, double value) override
    {
        ++sets;
        values[static_cast<std::size_t>(index)] = value;
    }
    std::vector<double> values;
    int sets = 0;
};

} // namespace

TEST(StudioView, DefaultGuiWidgetScrollsPastSeventeenRowsAndIgnoresUnmovedSliders)
{
    ViewRig rig;
    CParameterMachine small(&rig.Studio().Host(), 17);
    CParameterMachine large(&rig.Studio().Host(), 18);
    CDefaultGUIView smallView(&small);
    CDefaultGUIView largeView(&large);
    EXPECT_EQ(smallView.size(), QSize(405, 17 * 22 + 10));
    EXPECT_EQ(smallView.ScrollBar(), nullptr);
    EXPECT_EQ(largeView.size(), QSize(421, 400));
    ASSERT_NE(largeView.ScrollBar(), nullptr);
    EXPECT_EQ(largeView.ScrollBar()->geometry(), QRect(421 - 17, 0, 16, 400));
    EXPECT_EQ(largeView.Slider(3)->geometry(), QRect(172, 4 + 22 * 3, 129, 24));

    // A slider set to the value it shows leaves the machine alone.
    smallView.Slider(2)->setValue(smallView.Slider(2)->value());
    EXPECT_EQ(small.sets, 0);
    smallView.Slider(2)->setValue(CDefaultGUIView::kSliderSteps);
    EXPECT_EQ(small.sets, 1);
    EXPECT_EQ(small.values[2], 1.0);
}
