// VUziD8's editor in a real studio: a knob per parameter, grouped by sound;
// the closed hat's level knob dragged to the bottom silences the closed hat
// exactly; values set elsewhere move the knobs; a hundred openings leave
// nothing behind.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QToolTip>

#include "framework/AudioBuffer.h"
#include "framework/ControlEvent.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "gui/LiteKnob.h"
#include "host/MachineContainer.h"
#include "stockpack/drumkit/DrumKitGUI.h"
#include "tests/stockpack/editors/MachineEditorRig.h"

using namespace editors_test;
using studio_view::CStudioGestures;

namespace {

constexpr int kChLevel = 26;
constexpr int kClosedHatNote = 7;

panel_layout::Placement Layout()
{
    return panel_layout::Place(CDrumKitGUI::Rows(), CDrumKitGUI::Metrics());
}

const panel_layout::PlacedCell& CellOf(const panel_layout::Placement& placement, int parameter)
{
    return *std::find_if(placement.cells.begin(), placement.cells.end(),
                         [&](const auto& placed) { return placed.cell.parameter == parameter; });
}

/// The RMS of one closed-hat hit's first 4096 samples.
double HitRms(CMachine* kit)
{
    Queue(kit, MakeControlEvent(kEventNoteOn, 0, kClosedHatNote, 1.0, 0.0));
    const std::vector<double> left = RenderLeft(kit, 1, 4096 / kit->ports[1]->audio->length);
    RenderLeft(kit, 1, 60);   // let it ring out
    return RmsOf(left, 0, left.size());
}

} // namespace

TEST(DrumKitGUI, OpensWithOneNamedKnobPerParameterAndItsLevelKnobSilencesTheSound)
{
    EditorRig rig;
    CMachineContainer* box = nullptr;
    QWidget* editor = rig.OpenNew("KV VUziD8", CDrumKitGUI::kBackground, &box);
    ASSERT_NE(editor, nullptr);
    const CPicture& background = Skin(CDrumKitGUI::kBackground);
    CMachine* kit = box->machine;
    const auto placement = Layout();
    CheckLayout(placement, background, kit->parameterCount);
    EXPECT_EQ(CheckKnobs(editor, kit, background, placement, CDrumKitGUI::kKnob, CDrumKitGUI::kKnob), 38);

    const double before = HitRms(kit);
    EXPECT_GT(before, 0.01);
    const auto& level = CellOf(placement, kChLevel);
    const QPoint centre(level.x + level.width / 2, level.y + level.height / 2);
    Drag(editor, centre, centre + QPoint(0, 100));
    EXPECT_EQ(kit->GetParameter(kChLevel), CLiteKnob::DragValue(centre.y(), 1.0, centre.y() + 100, 101));
    EXPECT_EQ(kit->GetParameter(kChLevel), 0.0);
    EXPECT_EQ(QToolTip::text().toStdString(), "CH Level 0%");
    EXPECT_EQ(HitRms(kit), 0.0);

    // Set elsewhere: the knob follows.
    kit->SetParameterNotify(kChLevel, 0.63);
    Settle();
    EXPECT_EQ(Region(Shown(editor), level.x, level.y, level.width, level.height),
              ExpectedKnob(background, Skin(CDrumKitGUI::kKnob), level.x, level.y, 63));
}

TEST(DrumKitGUI, OpeningAndClosingAHundredTimesLeavesNothingBehind)
{
    EditorRig rig;
    EXPECT_EQ(rig.WidgetsLeftByReopening("KV VUziD8", 100), 0);
}

TEST(DrumKitGUI, ScreenshotWithTheDemosSettings)
{
    EditorRig rig;
    rig.OpenDemo();
    CMachineContainer* box = rig.Find("KV VUziD8 1");
    ASSERT_NE(box, nullptr);
    QWidget* editor = rig.ShowCustomGui(box);
    ASSERT_NE(editor, nullptr);
    Settle();
    SaveScreenshot(editor, "editor-vuzid8.png");
}
