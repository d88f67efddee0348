// Sliders: where the thumb and track are drawn, that only a press on the
// thumb starts a drag, the drag law in both orientations, and the
// notifications and locks of unbound and bound sliders.

#include <gtest/gtest.h>

#include "gui/LiteSlider.h"
#include "tests/gui/GuiTestSupport.h"

using namespace gui_test;

namespace {
constexpr int kTravel = 80;
}

TEST(LiteSlider, DrawsTheTrackFirstThenTheThumbAtItsPosition)
{
    const CPicture thumb = SolidPicture(10, 6, 200, 0, 0);
    const CPicture track = SolidPicture(10, 96, 0, 0, 200);
    CLiteContainer panel(60, 120);
    auto* slider = new CLiteSlider(&panel, 20, 10, 10, kTravel + 6, &thumb, SliderOrientation::Vertical, kTravel, &track, 4);
    slider->SetValue(0.25);   // a = 20: thumb at y = 10 + 80 - 20 = 70
    EXPECT_EQ(slider->ThumbY(), 70);
    panel.RedrawAll();
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 25, 70), (Pixel{200, 0, 0, -1}));
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 25, 75), (Pixel{200, 0, 0, -1}));
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 25, 76), (Pixel{0, 0, 200, -1}));
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 25, 69), (Pixel{0, 0, 200, -1}));
    // The track starts 4 rows above the slider, but the redraw of the
    // whole panel is what paints there.
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 25, 6), (Pixel{0, 0, 200, -1}));
    EXPECT_EQ(PixelOf(panel.GetBackBuffer(), 25, 5), (Pixel{0x20, 0x20, 0x20, -1}));

    auto* across = new CLiteSlider(&panel, 0, 100, kTravel + 10, 6, &thumb, SliderOrientation::Horizontal, kTravel);
    across->SetValue(0.5);
    EXPECT_EQ(across->ThumbX(), 40);
    EXPECT_EQ(across->ThumbY(), 100);
    across->SetValue(1.0);
    EXPECT_EQ(across->ThumbX(), 80);
}

TEST(LiteSlider, APressBesideTheThumbDoesNothing)
{
    const CPicture thumb = SolidPicture(10, 6, 1, 1, 1);
    CRecordingContainer panel(60, 120);
    CRecordingWindow window;
    panel.SetWindow(&window);
    auto* slider = new CLiteSlider(&panel, 20, 10, 10, kTravel + 6, &thumb, SliderOrientation::Vertical, kTravel);
    slider->SetValue(0.5);   // thumb rows 50 .. 55
    for (int y : {49, 56, 10, 90}) {
        panel.OnMousePress(25, y);
        EXPECT_FALSE(slider->IsDragging()) << y;
        panel.OnMouseMove(25, y - 30);
        panel.OnMouseRelease(25, y - 30);
    }
    EXPECT_EQ(slider->GetValue(), 0.5);
    EXPECT_EQ(window.captures, 0);
    EXPECT_TRUE(panel.notices.empty());

    panel.OnMousePress(25, 55);
    EXPECT_TRUE(slider->IsDragging());
    EXPECT_EQ(panel.GetCapture(), slider);
    panel.OnMouseRelease(25, 55);
    panel.SetWindow(nullptr);
}

TEST(LiteSlider, UnboundDragsFollowThePointerAndNotifyUnderTheLock)
{
    const CPicture thumb = SolidPicture(10, 6, 1, 1, 1);
    CRecordingContainer panel(200, 120);
    CRecordingWindow window;
    window.container = &panel;
    panel.SetWindow(&window);
    auto* vertical = new CLiteSlider(&panel, 20, 10, 10, kTravel + 6, &thumb, SliderOrientation::Vertical, kTravel);
    vertical->SetValue(0.5);
    panel.OnMousePress(25, 52);
    ASSERT_EQ(panel.notices.size(), 1u);
    EXPECT_EQ(panel.notices[0].what, "pressed");
    EXPECT_EQ(panel.notices[0].value, 0.5);
    EXPECT_TRUE(panel.notices[0].locked);

    panel.OnMouseMove(100, 32);   // 20 up: + 20 / 80
    EXPECT_EQ(vertical->GetValue(), 0.75);
    panel.OnMouseMove(100, 32);   // the same value: no notice
    panel.OnMouseMove(100, -500);
    EXPECT_EQ(vertical->GetValue(), 1.0);
    panel.OnMouseMove(100, 500);
    EXPECT_EQ(vertical->GetValue(), 0.0);
    ASSERT_EQ(panel.Count("moved"), 3);
    EXPECT_EQ(panel.notices[1].value, 0.75);
    EXPECT_EQ(panel.notices[2].value, 1.0);
    for (const auto& notice : panel.notices)
        EXPECT_TRUE(notice.locked);
    panel.OnMouseRelease(100, 500);
    EXPECT_EQ(panel.GetCapture(), nullptr);

    auto* horizontal = new CLiteSlider(&panel, 100, 100, kTravel + 10, 6, &thumb, SliderOrientation::Horizontal, kTravel);
    panel.OnMousePress(105, 103);
    panel.OnMouseMove(125, 0);    // 20 right
    EXPECT_EQ(horizontal->GetValue(), 0.25);
    panel.OnMouseMove(85, 0);
    EXPECT_EQ(horizontal->GetValue(), 0.0);
    panel.OnMouseRelease(85, 0);
    panel.SetWindow(nullptr);
}

TEST(LiteSlider, BoundSlidersSetTheParameterWithOnlyTheMachineLocked)
{
    CBoundMachineRig rig;
    const CPicture thumb = SolidPicture(12, 24, 1, 1, 1);
    CRecordingContainer panel(200, 40);
    CRecordingWindow window;
    window.container = &panel;
    panel.SetWindow(&window);
    rig.machine->containerLock = &panel.GetLock();
    auto* slider = new CLiteSlider(&panel, 0, 0, 129, 24, &thumb, SliderOrientation::Horizontal, 117);
    slider->Bind(rig.machine, 2);
    panel.OnMousePress(3, 10);
    EXPECT_TRUE(panel.notices.empty()) << "bound sliders do not notify";
    ASSERT_EQ(window.toolTips.size(), 1u);
    EXPECT_EQ(window.toolTips[0], "Attack 0.0%");

    panel.OnMouseMove(3 + 117, 10);
    ASSERT_EQ(rig.notifications.size(), 1u);
    EXPECT_EQ(rig.notifications[0].index, 2);
    EXPECT_EQ(rig.notifications[0].value, 1.0);
    EXPECT_EQ(window.toolTips.back(), "Attack 100.0%");
    for (const CParameterMachine::Set& set : rig.machine->sets) {
        EXPECT_TRUE(set.machineLocked);
        EXPECT_FALSE(set.containerLocked);
    }
    EXPECT_EQ(slider->GetValue(), 0.0) << "the editor shows the machine's value";
    panel.OnMouseRelease(120, 10);
    EXPECT_FALSE(rig.machine->IsLockedByCaller());
    panel.SetWindow(nullptr);
}

TEST(LiteSlider, WithoutTravelDragsChangeNothing)
{
    const CPicture thumb = SolidPicture(10, 6, 1, 1, 1);
    CRecordingContainer panel(60, 60);
    auto* slider = new CLiteSlider(&panel, 0, 0, 10, 6, &thumb, SliderOrientation::Vertical, 0);
    panel.OnMousePress(3, 3);
    panel.OnMouseMove(3, -20);
    EXPECT_EQ(slider->GetValue(), 0.0);
    EXPECT_EQ(panel.Count("moved"), 0);
}
