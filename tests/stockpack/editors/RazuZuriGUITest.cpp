// RazuZuri's editor in a real studio: opened from the box menu, one control
// per parameter in the places its layout gives, the cutoff knob dragged by
// the toolkit's law brightening the sound, values set elsewhere moving the
// knobs, and a hundred openings leaving nothing behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <set>

#include <QApplication>
#include <QTest>
#include <QToolTip>

#include "framework/AudioBuffer.h"
#include "framework/ControlBuffer.h"
#include "framework/ControlEvent.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "gui/LiteKnob.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "stockpack/razuzuri/RazuZuriGUI.h"
#include "stockpack/razuzuri/RazuZuriParameters.h"
#include "tests/stockpack/editors/MachineEditorRig.h"

using namespace editors_test;
using panel_layout::CellKind;
using studio_view::CStudioGestures;

namespace {

panel_layout::Placement Layout()
{
    return panel_layout::Place(CRazuZuriGUI::Rows(), CRazuZuriGUI::Metrics());
}

const panel_layout::PlacedCell& CellOf(const panel_layout::Placement& placement, int parameter)
{
    return *std::find_if(placement.cells.begin(), placement.cells.end(),
                         [&](const auto& placed) { return placed.cell.parameter == parameter; });
}

/// A note of 110 Hz held for the render; the centroid of its sustained part.
double NoteCentroid(CMachine* synth, int sampleRate)
{
    const ControlEvent on = MakeControlEvent(kEventNoteOn, 0, 45, 1.0, 110.0);
    const ControlEvent off = MakeControlEvent(kEventNoteOff, 0, 45, 0.0);
    {
        CScopedLock<CMachine> hold(*synth);
        synth->ports[0]->control->Insert(&on);
    }
    const std::vector<double> left = RenderLeft(synth, 1, 8192 / synth->ports[1]->audio->length + 1);
    {
        CScopedLock<CMachine> hold(*synth);
        synth->ports[0]->control->Insert(&off);
    }
    RenderLeft(synth, 1, 40);
    return SpectralCentroid(left, 4096, 2048, sampleRate);
}

} // namespace

TEST(RazuZuriGUI, OpensFromTheBoxMenuWithOneNamedControlPerParameterOnTheSkin)
{
    EditorRig rig;
    CMachineContainer* box = nullptr;
    QWidget* editor = rig.OpenNew("KV RazuZuri", CRazuZuriGUI::kBackground, &box);
    ASSERT_NE(editor, nullptr);
    const CPicture& background = Skin(CRazuZuriGUI::kBackground);

    // Every parameter has exactly one control, inside the skin, and no two
    // controls or labels overlap.
    CMachine* synth = box->machine;
    const auto placement = Layout();
    CheckLayout(placement, background, synth->parameterCount);

    // Each knob is drawn at its value and, pressed, names its parameter.
    EXPECT_EQ(CheckKnobs(editor, synth, background, placement, CRazuZuriGUI::kKnob, CRazuZuriGUI::kSmallKnob), 63);
    EXPECT_EQ(synth->GetParameter(razuzuri::kVcf1Cutoff), 0.15);   // pressing alone changes nothing
}

TEST(RazuZuriGUI, DraggingTheCutoffKnobFollowsTheDragLawAndBrightensTheSound)
{
    EditorRig rig;
    CMachineContainer* box = rig.Add("KV RazuZuri");
    QWidget* editor = rig.ShowCustomGui(box);
    ASSERT_NE(editor, nullptr);
    Settle();
    CMachine* synth = box->machine;
    const int rate = rig.Studio().Host().GetSampleRate();
    const double before = NoteCentroid(synth, rate);

    const auto placement = Layout();
    const auto& knob = CellOf(placement, razuzuri::kVcf1Cutoff);
    const QPoint centre(knob.x + knob.width / 2, knob.y + knob.height / 2);
    const double pressValue = synth->GetParameter(razuzuri::kVcf1Cutoff);
    Drag(editor, centre, centre - QPoint(0, 30));
    const double expected = CLiteKnob::DragValue(centre.y(), pressValue, centre.y() - 30, 101);
    EXPECT_EQ(expected, 0.45);
    EXPECT_EQ(synth->GetParameter(razuzuri::kVcf1Cutoff), expected);
    EXPECT_EQ(QToolTip::text().toStdString(), "VCF1 Cutoff 45%");

    const double after = NoteCentroid(synth, rate);
    // Three octaves more cutoff on a 110 Hz saw: the centroid rises well
    // beyond the filter envelope's own sweep.
    EXPECT_GT(after, 2.0 * before) << before << " Hz -> " << after << " Hz";
    std::printf("spectral centroid %.0f Hz -> %.0f Hz\n", before, after);
}

TEST(RazuZuriGUI, ValuesSetElsewhereMoveTheControls)
{
    EditorRig rig;
    CMachineContainer* box = rig.Add("KV RazuZuri");
    QWidget* editor = rig.ShowCustomGui(box);
    ASSERT_NE(editor, nullptr);
    CMachine* synth = box->machine;
    const auto placement = Layout();
    const auto& cutoff = CellOf(placement, razuzuri::kVcf1Cutoff);

    // As automation and control tracks do: the machine's own report path.
    synth->SetParameterNotify(razuzuri::kVcf1Cutoff, 0.8);
    Settle();
    EXPECT_EQ(Region(Shown(editor), cutoff.x, cutoff.y, cutoff.width, cutoff.height),
              ExpectedKnob(Skin(CRazuZuriGUI::kBackground), Skin(CRazuZuriGUI::kKnob), cutoff.x, cutoff.y, 80));

    // Randomize from the box menu moves every knob to its new value.
    rig.view->BoxCommand(box, CStudioGestures::kRandomize);
    Settle();
    const QImage shown = Shown(editor);
    for (const auto& placed : placement.cells) {
        if (placed.cell.kind != CellKind::Knob)
            continue;
        EXPECT_EQ(Region(shown, placed.x, placed.y, placed.width, placed.height),
                  ExpectedKnob(Skin(CRazuZuriGUI::kBackground), Skin(CRazuZuriGUI::kKnob), placed.x, placed.y,
                               Frame(synth->GetParameter(placed.cell.parameter))))
            << placed.cell.parameter;
    }

    // A selector steps through its list on a click and shows the entry.
    const auto& shape = CellOf(placement, razuzuri::kVco1Shape);
    Click(editor, QPoint(shape.x + shape.width / 2, shape.y + shape.height / 2));
    char text[64] = {};
    synth->FormatParameter(razuzuri::kVco1Shape, synth->GetParameter(razuzuri::kVco1Shape), text);
    EXPECT_EQ(QToolTip::text().toStdString(), std::string("VCO1 Shape ") + text);
}

TEST(RazuZuriGUI, OpeningAndClosingAHundredTimesLeavesNothingBehind)
{
    EditorRig rig;
    EXPECT_EQ(rig.WidgetsLeftByReopening("KV RazuZuri (Polyphonic)", 100), 0);
    // Deleted with its editor open.
    const int widgetsBefore = static_cast<int>(QApplication::allWidgets().size());
    CMachineContainer* box = rig.Studio().Containers().back();
    ASSERT_NE(rig.ShowCustomGui(box), nullptr);
    rig.view->BoxCommand(box, CStudioGestures::kDeleteMachine);
    Settle(50);
    EXPECT_EQ(static_cast<int>(QApplication::allWidgets().size()), widgetsBefore);
}

TEST(RazuZuriGUI, ScreenshotWithTheDemosSettings)
{
    EditorRig rig;
    rig.OpenDemo();
    CMachineContainer* box = rig.Find("KV RazuZuri 1");
    ASSERT_NE(box, nullptr);
    QWidget* editor = rig.ShowCustomGui(box);
    ASSERT_NE(editor, nullptr);
    Settle();
    SaveScreenshot(editor, "editor-razuzuri.png");
}
