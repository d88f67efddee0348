// Buttons: the hover, press and release states, when plain and toggle
// buttons report a click, and disabled buttons.

#include <gtest/gtest.h>

#include "gui/LiteButton.h"
#include "tests/gui/GuiTestSupport.h"

using namespace gui_test;

namespace {

struct ButtonRig {
    explicit ButtonRig(bool toggle)
        : normal(SolidPicture(20, 10, 10, 0, 0)),
          hover(SolidPicture(20, 10, 20, 0, 0)),
          pressed(SolidPicture(20, 10, 30, 0, 0)),
          panel(100, 50)
    {
        panel.SetWindow(&window);
        button = new CLiteButton(&panel, 10, 10, 20, 10, &normal, &hover, &pressed, toggle);
    }
    ~ButtonRig() { panel.SetWindow(nullptr); }

    int Shown()
    {
        panel.RedrawAll();
        return PixelOf(panel.GetBackBuffer(), 15, 15)[0] / 10 - 1;
    }

    CPicture normal, hover, pressed;
    CRecordingContainer panel;
    CRecordingWindow window;
    CLiteButton* button;
};

} // namespace

TEST(LiteButton, PlainButtonsClickOnReleaseOverThem)
{
    ButtonRig rig(false);
    rig.panel.OnMouseMove(15, 15);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kHover);
    EXPECT_EQ(rig.panel.GetCapture(), rig.button);
    EXPECT_EQ(rig.Shown(), 1);
    rig.panel.OnMousePress(15, 15);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kPressed);
    EXPECT_EQ(rig.Shown(), 2);
    EXPECT_EQ(rig.panel.Count("clicked"), 0) << "not on the press";
    rig.panel.OnMouseRelease(15, 15);
    EXPECT_EQ(rig.panel.Count("clicked"), 1);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kHover);
    EXPECT_EQ(rig.Shown(), 1);
    // Still hovered, it still holds the mouse, so leaving unlights it.
    EXPECT_EQ(rig.panel.GetCapture(), rig.button);
    rig.panel.OnMouseMove(60, 30);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kNormal);
    EXPECT_EQ(rig.panel.GetCapture(), nullptr);
    EXPECT_EQ(rig.window.captures, rig.window.releases);
    EXPECT_EQ(rig.panel.Count("clicked"), 1);
}

TEST(LiteButton, AButtonDisabledWhileHoveredLetsGoOfTheMouse)
{
    ButtonRig rig(false);
    rig.panel.OnMouseMove(15, 15);
    ASSERT_EQ(rig.panel.GetCapture(), rig.button);
    rig.button->SetEnabled(false);
    EXPECT_EQ(rig.panel.GetCapture(), nullptr);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kNormal);
    rig.button->SetEnabled(true);
    rig.panel.OnMouseMove(15, 15);
    rig.panel.OnMousePress(15, 15);

    // A click that disables the button: it lets go too.
    struct CDisablingPanel : CRecordingContainer {
        using CRecordingContainer::CRecordingContainer;
        void OnButtonClicked(CLiteButton* button) override { button->SetEnabled(false); }
    };
    const CPicture picture = SolidPicture(20, 10, 10, 0, 0);
    CDisablingPanel panel(100, 50);
    auto* button = new CLiteButton(&panel, 10, 10, 20, 10, &picture, &picture, &picture);
    panel.OnMouseMove(15, 15);
    panel.OnMousePress(15, 15);
    panel.OnMouseRelease(15, 15);
    EXPECT_EQ(panel.GetCapture(), nullptr);
    EXPECT_EQ(button->GetState(), CLiteButton::kNormal);
}

TEST(LiteButton, LeavingWhilePressedCancelsTheClick)
{
    ButtonRig rig(false);
    rig.panel.OnMouseMove(15, 15);
    rig.panel.OnMousePress(15, 15);
    rig.panel.OnMouseMove(50, 40);   // still captured: the button sees it
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kNormal);
    EXPECT_EQ(rig.panel.GetCapture(), nullptr);
    rig.panel.OnMouseRelease(50, 40);
    EXPECT_EQ(rig.panel.Count("clicked"), 0);
    // Hover, then leave without pressing.
    rig.panel.OnMouseMove(15, 15);
    rig.panel.OnMouseMove(9, 15);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kNormal);
    EXPECT_EQ(rig.window.captures, rig.window.releases);
    // A press without a hover first (state 0) changes nothing.
    rig.panel.OnMousePress(15, 15);
    rig.panel.OnMouseRelease(15, 15);
    EXPECT_EQ(rig.panel.Count("clicked"), 0);
}

TEST(LiteButton, TogglesClickOnTheReleaseThatSwitchesOnAndThePressThatSwitchesOff)
{
    ButtonRig rig(true);
    rig.panel.OnMouseMove(15, 15);
    rig.panel.OnMousePress(15, 15);
    EXPECT_EQ(rig.panel.Count("clicked"), 0);
    rig.panel.OnMouseRelease(15, 15);
    EXPECT_EQ(rig.panel.Count("clicked"), 1);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kPressed) << "on stays pressed";
    EXPECT_EQ(rig.panel.GetCapture(), nullptr);

    // While on, the pointer is ignored.
    rig.panel.OnMouseMove(80, 40);
    rig.panel.OnMouseMove(16, 16);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kPressed);
    EXPECT_EQ(rig.Shown(), 2);

    rig.panel.OnMousePress(16, 16);
    EXPECT_EQ(rig.panel.Count("clicked"), 2) << "switching off reports on the press";
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kNormal);
    rig.panel.OnMouseRelease(16, 16);
    EXPECT_EQ(rig.panel.Count("clicked"), 2) << "and not again on the release";
    rig.panel.OnMouseMove(16, 15);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kHover);
}

TEST(LiteButton, DisabledButtonsIgnoreTheMouseAndSetStateRedrawsOnChange)
{
    ButtonRig rig(false);
    rig.button->SetEnabled(false);
    rig.panel.OnMouseMove(15, 15);
    rig.panel.OnMousePress(15, 15);
    rig.panel.OnMouseRelease(15, 15);
    EXPECT_EQ(rig.button->GetState(), CLiteButton::kNormal);
    EXPECT_TRUE(rig.panel.notices.empty());
    EXPECT_EQ(rig.window.captures, 0);

    const std::size_t presents = rig.window.presented.size();
    rig.button->SetState(CLiteButton::kPressed);
    EXPECT_EQ(rig.window.presented.size(), presents + 1);
    rig.button->SetState(CLiteButton::kPressed);
    EXPECT_EQ(rig.window.presented.size(), presents + 1);
    EXPECT_EQ(PixelOf(rig.panel.GetBackBuffer(), 15, 15)[0], 30);
}
