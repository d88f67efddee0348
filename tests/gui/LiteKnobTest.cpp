// Knobs: which frame of the strip is drawn, the drag law (100 pixels for a
// full sweep, the division in single precision), and what a bound knob does
// to its machine.

#include <gtest/gtest.h>

#include "gui/LiteKnob.h"
#include "tests/gui/GuiTestSupport.h"

using namespace gui_test;

namespace {

constexpr int kSize = 8;

/// The frame a knob drew, read back from its colour (k, 255 - k, 7).
int DrawnFrame(CLiteContainer& panel, const CLiteKnob& knob)
{
    panel.RedrawAll();
    const Pixel p = PixelOf(panel.GetBackBuffer(), knob.GetX() + 3, knob.GetY() + 3);
    EXPECT_EQ(p[0] + p[1], 255);
    return p[0];
}

/// Presses on the knob, moves up by `up` pixels, releases; the value.
double DragUp(CLiteContainer& panel, CLiteKnob& knob, int up)
{
    const int x = knob.GetX() + 1;
    const int y = knob.GetY() + 4;
    panel.OnMousePress(x, y);
    panel.OnMouseMove(x, y - up);
    panel.OnMouseRelease(x, y - up);
    return knob.GetValue();
}

} // namespace

TEST(LiteKnob, DrawsFrameTruncOfNMinusOneTimesTheValue)
{
    const CPicture strip = NumberedStrip(kSize, kSize, 101);
    CLiteContainer panel(40, 40);
    auto* knob = new CLiteKnob(&panel, 10, 10, kSize, kSize, &strip, 101);
    for (const auto& [value, frame] : std::vector<std::pair<double, int>>{
             {0.0, 0}, {0.009, 0}, {0.01, 1}, {0.505, 50}, {0.999, 99}, {1.0, 100}, {-0.5, 0}, {3.0, 100}}) {
        knob->SetValue(value);
        EXPECT_EQ(DrawnFrame(panel, *knob), frame) << value;
    }
    const CPicture two = NumberedStrip(kSize, kSize, 2);
    auto* toggle = new CLiteKnob(&panel, 25, 10, kSize, kSize, &two, 2);
    for (const auto& [value, frame] : std::vector<std::pair<double, int>>{{0.0, 0}, {0.5, 0}, {0.99, 0}, {1.0, 1}}) {
        toggle->SetValue(value);
        EXPECT_EQ(DrawnFrame(panel, *toggle), frame) << value;
    }
}

TEST(LiteKnob, HundredAndOneFramesMoveAFramePerPixel)
{
    const CPicture strip = NumberedStrip(kSize, kSize, 101);
    CLiteContainer panel(40, 400);
    auto* knob = new CLiteKnob(&panel, 0, 196, kSize, kSize, &strip, 101);

    // From 0, each pixel upward adds one frame; the single-precision
    // 1/100 lands just below a whole frame where it is inexact, so some
    // pixels lag by one.
    double previous = 0.0;
    for (int up = 1; up <= 100; ++up) {
        knob->SetValue(0.0);
        const double value = DragUp(panel, *knob, up);
        const int frame = static_cast<int>(value * 100.0 + 0.5);
        EXPECT_TRUE(frame == up || frame == up - 1) << up << " -> " << frame;
        EXPECT_GE(value, previous);
        previous = value;
    }
    knob->SetValue(0.0);
    EXPECT_EQ(DragUp(panel, *knob, 100), 1.0) << "a full sweep in 100 pixels";
    knob->SetValue(0.0);
    EXPECT_EQ(DragUp(panel, *knob, 50), 0.5);
    EXPECT_EQ(DragUp(panel, *knob, 1000), 1.0) << "limited at the top";
    // Downward the inexact 1/100 errs the other way: 1 - 0.3f is just
    // below 0.7, and 69.999... truncates to frame 69.
    EXPECT_EQ(DragUp(panel, *knob, -30), 0.69);
    EXPECT_EQ(DragUp(panel, *knob, -1000), 0.0) << "limited at the bottom";
}

TEST(LiteKnob, TwoFramesNeedTheWholeSweep)
{
    const CPicture strip = NumberedStrip(kSize, kSize, 2);
    CLiteContainer panel(40, 400);
    auto* knob = new CLiteKnob(&panel, 0, 196, kSize, kSize, &strip, 2);
    for (const auto& [up, value] : std::vector<std::pair<int, double>>{{50, 0.0}, {99, 0.0}, {100, 1.0}, {140, 1.0}}) {
        knob->SetValue(0.0);
        EXPECT_EQ(DragUp(panel, *knob, up), value) << up;
    }
    knob->SetValue(1.0);
    EXPECT_EQ(DragUp(panel, *knob, -1), 0.0) << "down from the top drops at once";
    EXPECT_EQ(CLiteKnob::DragValue(100, 0.5, 50, 2), 1.0);
    EXPECT_EQ(CLiteKnob::DragValue(100, 0.5, 51, 2), 0.0);
}

TEST(LiteKnob, AStripOfOneFrameIgnoresDrags)
{
    const CPicture strip = NumberedStrip(kSize, kSize, 1);
    CLiteContainer panel(40, 400);
    auto* knob = new CLiteKnob(&panel, 0, 196, kSize, kSize, &strip, 1);
    knob->SetValue(0.25);
    EXPECT_EQ(DragUp(panel, *knob, 60), 0.25);
    EXPECT_EQ(DrawnFrame(panel, *knob), 0);
}

TEST(LiteKnob, UnboundMovesRedrawAndCaptureTheMouse)
{
    const CPicture strip = NumberedStrip(kSize, kSize, 101);
    CRecordingContainer panel(40, 400);
    CRecordingWindow window;
    window.container = &panel;
    panel.SetWindow(&window);
    auto* knob = new CLiteKnob(&panel, 0, 196, kSize, kSize, &strip, 101);
    panel.OnMousePress(2, 200);
    EXPECT_EQ(panel.GetCapture(), knob);
    EXPECT_TRUE(knob->IsDragging());
    EXPECT_TRUE(window.toolTips.empty()) << "unbound knobs show no tool tip";
    const std::size_t before = window.presented.size();
    panel.OnMouseMove(300, 150);   // outside the knob: the capture still holds
    EXPECT_EQ(knob->GetValue(), 0.5);
    EXPECT_EQ(window.presented.size(), before + 1);
    panel.OnMouseMove(2, 150);     // same value: nothing happens
    EXPECT_EQ(window.presented.size(), before + 1);
    panel.OnMouseRelease(2, 150);
    EXPECT_EQ(panel.GetCapture(), nullptr);
    EXPECT_FALSE(knob->IsDragging());
    panel.OnMouseMove(2, 100);
    EXPECT_EQ(knob->GetValue(), 0.5) << "no drag after the release";
    panel.SetWindow(nullptr);
}

TEST(LiteKnob, BoundKnobsSetTheParameterUnderBothLocksAndShowItsText)
{
    CBoundMachineRig rig;
    const CPicture strip = NumberedStrip(kSize, kSize, 101);
    CLiteContainer panel(40, 400);
    CRecordingWindow window;
    window.container = &panel;
    panel.SetWindow(&window);
    rig.machine->containerLock = &panel.GetLock();
    auto* knob = new CLiteKnob(&panel, 0, 196, kSize, kSize, &strip, 101);
    knob->Bind(rig.machine, 1);
    knob->SetValue(0.25);

    panel.OnMousePress(2, 200);
    ASSERT_EQ(window.toolTips.size(), 1u);
    EXPECT_EQ(window.toolTips[0], "Resonance 25.0%");
    EXPECT_FALSE(window.toolTipLocked[0]) << "the press takes only the machine's lock";
    EXPECT_TRUE(rig.machine->sets.empty());

    panel.OnMouseMove(2, 190);
    ASSERT_EQ(rig.notifications.size(), 1u);
    EXPECT_EQ(rig.notifications[0].index, 1);
    EXPECT_DOUBLE_EQ(rig.notifications[0].value, 0.35);
    ASSERT_FALSE(rig.machine->sets.empty());
    for (const CParameterMachine::Set& set : rig.machine->sets) {
        EXPECT_TRUE(set.machineLocked);
        EXPECT_TRUE(set.containerLocked);
    }
    EXPECT_EQ(window.toolTips.back(), "Resonance 35.0%");
    EXPECT_TRUE(window.toolTipLocked.back());
    // The knob shows the machine's value only when the editor sets it.
    EXPECT_EQ(knob->GetValue(), 0.25);
    EXPECT_FALSE(rig.machine->IsLockedByCaller());
    EXPECT_FALSE(panel.GetLock().IsLockedByCaller());

    // Back at the knob's own value: the machine is not called.
    const std::size_t notified = rig.notifications.size();
    panel.OnMouseMove(2, 200);
    EXPECT_EQ(rig.notifications.size(), notified);
    panel.OnMouseRelease(2, 200);
    panel.SetWindow(nullptr);
}
