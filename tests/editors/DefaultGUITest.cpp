// The default machine GUI's model: the window size rule and its 17/18
// parameter boundary, the scroll range and slider positions, the text
// boxes, and when the machine is called.

#include <gtest/gtest.h>

#include <cstring>

#include "editors/DefaultGUI.h"
#include "tests/gui/GuiTestSupport.h"

using namespace gui_test;

TEST(DefaultGUI, AMachineWithoutParametersGetsAnEmptyWindow)
{
    CBoundMachineRig rig(0);
    CDefaultGUI gui(rig.machine);
    EXPECT_EQ(gui.GetParameterCount(), 0);
    EXPECT_EQ(gui.GetWidth(), 405);
    EXPECT_EQ(gui.GetHeight(), 10);
    EXPECT_FALSE(gui.HasScrollBar());
    EXPECT_LT(gui.GetLastVisibleRow(), gui.GetFirstVisibleRow());
    gui.RefreshRow(0);
    gui.OnSliderMoved(0, 0.5);
    EXPECT_TRUE(rig.machine->sets.empty());
}

TEST(DefaultGUI, SeventeenParametersFitEighteenScroll)
{
    {
        CBoundMachineRig rig(17);
        CDefaultGUI gui(rig.machine);
        EXPECT_EQ(gui.GetWidth(), 405);
        EXPECT_EQ(gui.GetHeight(), 17 * 22 + 10);   // 384
        EXPECT_FALSE(gui.HasScrollBar());
        EXPECT_EQ(gui.GetScrollRange(), 0);
        EXPECT_EQ(gui.GetLastVisibleRow(), 16);
        EXPECT_EQ(gui.GetSliderRect(16).y, 4 + 22 * 16);
    }
    {
        CBoundMachineRig rig(18);   // 18 x 22 + 10 = 406
        CDefaultGUI gui(rig.machine);
        EXPECT_EQ(gui.GetWidth(), 421);
        EXPECT_EQ(gui.GetHeight(), 400);
        ASSERT_TRUE(gui.HasScrollBar());
        const CDefaultGUI::Rect bar = gui.GetScrollBarRect();
        EXPECT_EQ(bar.x, 421 - 17);
        EXPECT_EQ(bar.y, 0);
        EXPECT_EQ(bar.width, 16);
        EXPECT_EQ(bar.height, 400);
        // Rows first .. first + 17 are shown: all 18, so nothing to scroll.
        EXPECT_EQ(gui.GetScrollRange(), 0);
        EXPECT_EQ(gui.GetLastVisibleRow(), 17);
    }
}

TEST(DefaultGUI, ScrollingMovesTheSlidersAndHidesTheRowsAbove)
{
    CBoundMachineRig rig(40);
    CDefaultGUI gui(rig.machine);
    int repaints = 0;
    gui.SetRepaintHandler([&] { ++repaints; });
    EXPECT_EQ(gui.GetScrollRange(), 40 - 17 - 1);

    gui.ScrollTo(5);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(gui.GetFirstVisibleRow(), 5);
    EXPECT_EQ(gui.GetLastVisibleRow(), 22);
    for (int row = 0; row < 5; ++row)
        EXPECT_FALSE(gui.IsSliderVisible(row)) << row;
    EXPECT_TRUE(gui.IsSliderVisible(5));
    EXPECT_TRUE(gui.IsSliderVisible(39)) << "below the window: moved, not hidden";
    const CDefaultGUI::Rect slider = gui.GetSliderRect(6);
    EXPECT_EQ(slider.x, 172);
    EXPECT_EQ(slider.y, 4 + 22);
    EXPECT_EQ(slider.width, 129);
    EXPECT_EQ(slider.height, 24);
    EXPECT_EQ(gui.GetNameBox(6).top, 10 + 22);

    gui.ScrollTo(1000);
    EXPECT_EQ(gui.GetFirstVisibleRow(), 22);
    EXPECT_EQ(gui.GetLastVisibleRow(), 39);
    gui.ScrollTo(-3);
    EXPECT_EQ(gui.GetFirstVisibleRow(), 0);
    EXPECT_TRUE(gui.IsSliderVisible(0));
}

TEST(DefaultGUI, RowsCarryIndexNameAndValueTextInTheirBoxes)
{
    CBoundMachineRig rig(8);
    rig.machine->values[7] = 0.25;
    CDefaultGUI gui(rig.machine);
    EXPECT_EQ(gui.GetIndexText(7), "[0007]");
    EXPECT_STREQ(gui.GetName(7), "Release");
    EXPECT_STREQ(gui.GetValueText(7), "25.0%");
    EXPECT_EQ(gui.GetSliderValue(7), 0.25);
    const CDefaultGUI::TextBox index = gui.GetIndexBox(7);
    const CDefaultGUI::TextBox name = gui.GetNameBox(7);
    const CDefaultGUI::TextBox value = gui.GetValueBox(7);
    EXPECT_EQ(index.left, 4);
    EXPECT_EQ(index.right, 51);
    EXPECT_FALSE(index.rightAligned);
    EXPECT_EQ(name.left, 56);
    EXPECT_EQ(name.right, 167);
    EXPECT_TRUE(name.rightAligned);
    EXPECT_EQ(value.left, 305);
    EXPECT_EQ(value.right, 400);
    EXPECT_TRUE(value.rightAligned);
    EXPECT_EQ(value.top, 10 + 22 * 7);
    EXPECT_EQ(value.height, 15);
    EXPECT_STREQ(gui.GetName(8), "");
    EXPECT_STREQ(gui.GetName(-1), "");
}

TEST(DefaultGUI, AMoveToTheSameValueDoesNotCallTheMachine)
{
    CBoundMachineRig rig(4);
    rig.machine->values[2] = 0.5;
    CDefaultGUI gui(rig.machine);
    int repaints = 0;
    gui.SetRepaintHandler([&] { ++repaints; });
    const int formats = rig.machine->formatReads;
    gui.OnSliderMoved(2, 0.5);
    EXPECT_TRUE(rig.machine->sets.empty());
    EXPECT_EQ(rig.machine->formatReads, formats);
    EXPECT_EQ(repaints, 0);

    gui.OnSliderMoved(2, 0.75);
    ASSERT_EQ(rig.machine->sets.size(), 1u);
    EXPECT_EQ(rig.machine->sets[0].index, 2);
    EXPECT_EQ(rig.machine->sets[0].value, 0.75);
    EXPECT_TRUE(rig.machine->sets[0].machineLocked);
    EXPECT_TRUE(rig.notifications.empty()) << "set directly, not reported to the host";
    EXPECT_EQ(gui.GetLastValue(2), 0.75);
    EXPECT_STREQ(gui.GetValueText(2), "75.0%");
    EXPECT_EQ(repaints, 1);
    gui.OnSliderMoved(2, 0.75);
    EXPECT_EQ(rig.machine->sets.size(), 1u);
    gui.OnSliderMoved(4, 0.1);
    gui.OnSliderMoved(-1, 0.1);
    EXPECT_EQ(rig.machine->sets.size(), 1u);
}

TEST(DefaultGUI, RefreshReadsTheMachineBack)
{
    CBoundMachineRig rig(3);
    CDefaultGUI gui(rig.machine);
    int repaints = 0;
    gui.SetRepaintHandler([&] { ++repaints; });
    // Randomize changed the machine behind the GUI's back.
    rig.machine->values = {0.1, 0.2, 0.3};
    gui.RefreshRow(1);
    EXPECT_EQ(gui.GetSliderValue(1), 0.2);
    EXPECT_EQ(gui.GetSliderValue(2), 0.0);
    EXPECT_EQ(repaints, 1);
    gui.RefreshRow(3);
    gui.RefreshRow(-1);
    EXPECT_EQ(repaints, 1) << "rows outside are ignored";
    gui.RefreshAll();
    EXPECT_EQ(gui.GetSliderValue(2), 0.3);
    EXPECT_STREQ(gui.GetValueText(0), "10.0%");
    // A move to a value equal to the refreshed one is no change.
    gui.OnSliderMoved(2, 0.3);
    EXPECT_TRUE(rig.machine->sets.empty());
}

namespace {
/// Writes names and texts far longer than the row's buffers.
class CVerboseMachine : public CParameterMachine {
public:
    using CParameterMachine::CParameterMachine;
    void GetParameterName(int, char* out) override { std::memset(out, 'n', 300), out[300] = '\0'; }
    void FormatParameter(int, double, char* out) override { std::memset(out, 'v', 200), out[200] = '\0'; }
};
} // namespace

TEST(DefaultGUI, LongNamesAndTextsAreCutToTheRowBuffers)
{
    engine_test::CEngineStudio studio;
    CVerboseMachine* machine = studio.Add<CVerboseMachine>("Verbose", 2);
    CDefaultGUI gui(machine);
    EXPECT_EQ(std::strlen(gui.GetName(1)), 63u);
    EXPECT_EQ(std::strlen(gui.GetValueText(1)), 63u);
}
