// The skinned panel: background rules, redrawing only what a rectangle
// meets, and which control gets the mouse.

#include <gtest/gtest.h>

#include <functional>

#include "framework/Error.h"
#include "gui/ColorTable.h"
#include "gui/LiteContainer.h"
#include "gui/LiteControl.h"
#include "tests/gui/GuiTestSupport.h"

using namespace gui_test;

namespace {

/// A control that fills its rectangle with one colour and logs its mouse.
class CProbeControl : public CLiteControl {
public:
    CProbeControl(CLiteContainer* container, int x, int y, int w, int h, ColorRef color, std::vector<std::string>* log,
                  std::string name)
        : CLiteControl(container, x, y, w, h), color(color), log(log), name(std::move(name))
    {
    }
    void Draw(CPicture& backBuffer) override
    {
        ++draws;
        backBuffer.FillRect(color, x, y, width, height);
    }
    void OnMouseMove(int px, int py) override { Log("move", px, py); }
    void OnMousePress(int px, int py) override { Log("press", px, py); }
    void OnMouseRelease(int px, int py) override { Log("release", px, py); }
    int draws = 0;

private:
    void Log(const char* what, int px, int py)
    {
        log->push_back(name + " " + what + " " + std::to_string(px) + "," + std::to_string(py));
    }
    ColorRef color;
    std::vector<std::string>* log;
    std::string name;
};

std::string Message(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CError& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(LiteContainer, RefusesBackgroundsOfAnotherSizeOrWithAlpha)
{
    const CPicture right(40, 30, false);
    const CPicture narrow(39, 30, false);
    const CPicture shallow(40, 31, false);
    const CPicture withAlpha(40, 30, true);
    EXPECT_EQ(Message([&] { CLiteContainer panel(40, 30, &right); }), "");
    for (const CPicture* wrong : {&narrow, &shallow, &withAlpha})
        EXPECT_EQ(Message([&] { CLiteContainer panel(40, 30, wrong); }), "CLiteContainer : Invalid Background Picture");
}

TEST(LiteContainer, PaintsThePictureThenATileThenColourTwo)
{
    // Background picture: copied as it stands.
    CPicture background = SolidPicture(20, 10, 5, 6, 7);
    SetPixel(background, 13, 4, 90, 91, 92);
    CLiteContainer pictured(20, 10, &background);
    pictured.RedrawAll();
    EXPECT_EQ(PixelOf(pictured.GetBackBuffer(), 13, 4), (Pixel{90, 91, 92, -1}));
    EXPECT_EQ(PixelOf(pictured.GetBackBuffer(), 0, 0), (Pixel{5, 6, 7, -1}));

    // Without one: the tiling pattern, repeated from the origin even when
    // the redrawn rectangle starts elsewhere.
    CPicture tile(3, 2, false);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            SetPixel(tile, x, y, 10 * x, 10 * y, 1);
    }
    CLiteContainer tiled(20, 10);
    tiled.SetTilePattern(&tile);
    tiled.Redraw(4, 3, 9, 5);
    for (int y = 3; y < 8; ++y) {
        for (int x = 4; x < 13; ++x)
            EXPECT_EQ(PixelOf(tiled.GetBackBuffer(), x, y), (Pixel{10 * (x % 3), 10 * (y % 2), 1, -1})) << x << "," << y;
    }
    EXPECT_EQ(PixelOf(tiled.GetBackBuffer(), 3, 3), (Pixel{160, 160, 160, -1})) << "outside the rectangle";

    // Neither: colour table entry 2, the application's when it is given.
    CLiteContainer plain(20, 10);
    plain.RedrawAll();
    EXPECT_EQ(PixelOf(plain.GetBackBuffer(), 19, 9), (Pixel{0x20, 0x20, 0x20, -1}));
    CColorTable colors;
    colors.SetColor(CColorTable::kContainerBackground, 0x00030201);
    plain.SetColorTable(&colors);
    plain.RedrawAll();
    EXPECT_EQ(PixelOf(plain.GetBackBuffer(), 19, 9), (Pixel{1, 2, 3, -1}));
}

TEST(LiteContainer, RedrawPaintsOnlyTheRectangleAndTheVisibleControlsMeetingIt)
{
    std::vector<std::string> log;
    CLiteContainer panel(50, 40);
    CRecordingWindow window;
    window.container = &panel;
    panel.SetWindow(&window);
    auto* left = new CProbeControl(&panel, 0, 0, 10, 10, 0x0000FF, &log, "left");
    auto* right = new CProbeControl(&panel, 30, 0, 10, 10, 0x00FF00, &log, "right");
    auto* hidden = new CProbeControl(&panel, 0, 0, 50, 40, 0xFF0000, &log, "hidden");
    hidden->SetVisible(false);

    panel.Redraw(5, 5, 10, 10);
    EXPECT_EQ(left->draws, 1);
    EXPECT_EQ(right->draws, 0);
    EXPECT_EQ(hidden->draws, 0);
    // The control's own fill is clipped to the rectangle.
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 5, 5), (Pixel{255, 0, 0, -1}));
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 4, 4), (Pixel{160, 160, 160, -1}));
    ASSERT_EQ(window.presented.size(), 1u);
    EXPECT_EQ(window.presented[0].x, 5);
    EXPECT_EQ(window.presented[0].w, 10);
    EXPECT_TRUE(window.presented[0].locked);

    // A rectangle reaching outside the panel is clipped before anything.
    panel.Redraw(-10, 35, 100, 100);
    ASSERT_EQ(window.presented.size(), 2u);
    EXPECT_EQ(window.presented[1].x, 0);
    EXPECT_EQ(window.presented[1].y, 35);
    EXPECT_EQ(window.presented[1].w, 50);
    EXPECT_EQ(window.presented[1].h, 5);
    panel.Redraw(60, 0, 5, 5);
    panel.Redraw(0, 0, 0, 5);
    EXPECT_EQ(window.presented.size(), 2u);
    panel.SetWindow(nullptr);
}

TEST(LiteContainer, TheLaterOfOverlappingControlsGetsTheMouse)
{
    std::vector<std::string> log;
    CLiteContainer panel(50, 40);
    auto* first = new CProbeControl(&panel, 0, 0, 30, 30, 0, &log, "first");
    auto* second = new CProbeControl(&panel, 10, 10, 30, 30, 0, &log, "second");
    panel.OnMousePress(15, 15);
    panel.OnMousePress(5, 5);
    panel.OnMouseMove(39, 39);
    panel.OnMouseRelease(40, 40);   // right and bottom edges are outside
    EXPECT_EQ(log, (std::vector<std::string>{"second press 15,15", "first press 5,5", "second move 39,39"}));

    // Without input the later one lets the mouse through.
    log.clear();
    second->SetInput(false);
    panel.OnMousePress(15, 15);
    EXPECT_EQ(log, (std::vector<std::string>{"first press 15,15"}));
    EXPECT_EQ(panel.ControlAt(35, 35), nullptr);
    second->SetInput(true);
    EXPECT_EQ(panel.ControlAt(15, 15), second);
    EXPECT_EQ(panel.ControlAt(5, 5), first);
}

TEST(LiteContainer, TheCapturingControlGetsEverythingUntilItReleases)
{
    std::vector<std::string> log;
    CLiteContainer panel(50, 40);
    CRecordingWindow window;
    panel.SetWindow(&window);
    auto* first = new CProbeControl(&panel, 0, 0, 10, 10, 0, &log, "first");
    auto* second = new CProbeControl(&panel, 20, 0, 10, 10, 0, &log, "second");
    panel.CaptureMouse(first);
    EXPECT_EQ(window.captures, 1);
    panel.OnMouseMove(25, 5);
    panel.OnMouseRelease(-100, 500);
    EXPECT_EQ(log, (std::vector<std::string>{"first move 25,5", "first release -100,500"}));

    // Only the capturing control's release counts.
    panel.ReleaseMouse(second);
    EXPECT_EQ(panel.GetCapture(), first);
    EXPECT_EQ(window.releases, 0);
    panel.ReleaseMouse(first);
    EXPECT_EQ(panel.GetCapture(), nullptr);
    EXPECT_EQ(window.releases, 1);

    // Deleting the capturing control ends the capture and its timers.
    panel.CaptureMouse(second);
    delete second;
    EXPECT_EQ(panel.GetCapture(), nullptr);
    EXPECT_EQ(window.releases, 2);
    EXPECT_EQ(panel.GetControls().size(), 1u);
    log.clear();
    panel.OnMouseMove(25, 5);
    EXPECT_TRUE(log.empty());
    panel.SetWindow(nullptr);
}
