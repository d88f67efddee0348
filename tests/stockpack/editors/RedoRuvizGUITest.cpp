// RedoRuviz's editor in a real studio: its one knob, the factor on the
// display and the response plot of the selected design; the knob dragged
// by the drag law selects another filter, which the sound and the plot
// both show.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <QApplication>
#include <QTest>
#include <QToolTip>

#include "framework/AudioBuffer.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "gui/LiteKnob.h"
#include "host/MachineContainer.h"
#include "stockpack/dsp/MinimumPhaseLowPass.h"
#include "stockpack/redoruviz/RedoRuvizGUI.h"
#include "stockpack/redoruviz/RedoRuvizResponse.h"
#include "tests/stockpack/editors/MachineEditorRig.h"

using namespace editors_test;
using studio_view::CStudioGestures;
using G = CRedoRuvizGUI;

namespace {

/// The gain of the machine at hz, from a sine rendered through it.
double GainAt(CMachine* filter, double hz)
{
    std::vector<double> out;
    long n = 0;
    for (int b = 0; b < 40; ++b) {
        CScopedLock<CMachine> hold(*filter);
        CAudioBuffer* in = filter->ports[0]->audio;
        for (int i = 0; i < in->length; ++i, ++n)
            in->left[i] = in->right[i] = std::sin(2.0 * std::numbers::pi * hz * n / 44100.0);
        filter->Work();
        const CAudioBuffer* o = filter->ports[1]->audio;
        out.insert(out.end(), o->left, o->left + o->length);
    }
    return RmsOf(out, out.size() - 4096, 4096) * std::sqrt(2.0);
}

/// The plot's curve in a column: its topmost pixel.
int CurveRow(const QImage& shown, int column)
{
    for (int row = 0; row < G::kPlotHeight; ++row)
        if (qBlue(shown.pixel(G::kPlotX + column, G::kPlotY + row)) == 255)
            return row;
    return -1;
}

} // namespace

TEST(RedoRuvizGUI, TheKnobSelectsTheFilterThatTheSoundAndThePlotShow)
{
    EditorRig rig;
    CMachineContainer* box = nullptr;
    QWidget* editor = rig.OpenNew("KV RedoRuviz", G::kBackground, &box);
    ASSERT_NE(editor, nullptr);
    const CPicture& background = Skin(G::kBackground);
    CMachine* filter = box->machine;
    ASSERT_EQ(filter->parameterCount, 1);
    EXPECT_EQ(Region(Shown(editor), G::kKnobX, G::kKnobY, 32, 32),
              ExpectedKnob(background, Skin(G::kKnob), G::kKnobX, G::kKnobY, 0));

    const double gain2x = GainAt(filter, 16000.0);
    const QPoint centre(G::kKnobX + 16, G::kKnobY + 16);
    Drag(editor, centre, centre - QPoint(0, 60));
    EXPECT_EQ(filter->GetParameter(0), CLiteKnob::DragValue(centre.y(), 0.0, centre.y() - 60, 101));
    EXPECT_EQ(QToolTip::text().toStdString(), "Oversampling 8x");
    const double gain8x = GainAt(filter, 16000.0);
    // Each factor's 17 taps colour the top octave differently.
    EXPECT_GT(std::fabs(20.0 * std::log10(gain8x / gain2x)), 0.05) << gain2x << " " << gain8x;

    // The plot: the 8x design resampled and transformed, the pass band at
    // the top left, the stop band low.
    Settle();
    const std::vector<double> magnitudes = redoruviz::ResponseMagnitudes(DesignMinimumPhaseLowPass(8));
    EXPECT_DOUBLE_EQ(magnitudes[0], 1.0);
    const QImage shown = Shown(editor);
    CResponseView reference(nullptr, 0, 0, G::kPlotWidth, G::kPlotHeight);
    reference.SetMagnitudes(magnitudes);
    for (int column = 0; column < G::kPlotWidth; ++column) {
        const int row = reference.RowOf(reference.ColumnMagnitude(column));
        EXPECT_EQ(qBlue(shown.pixel(G::kPlotX + column, G::kPlotY + row)), 255) << column;
    }
    EXPECT_EQ(CurveRow(shown, 0), 0);
    EXPECT_GT(CurveRow(shown, 120), G::kPlotHeight / 2);   // deep in the stop band

    // Set elsewhere: the knob and the plot follow.
    filter->SetParameterNotify(0, 1.0);
    Settle();
    EXPECT_EQ(Region(Shown(editor), G::kKnobX, G::kKnobY, 32, 32),
              ExpectedKnob(background, Skin(G::kKnob), G::kKnobX, G::kKnobY, 100));
}

TEST(RedoRuvizGUI, OpeningAndClosingAHundredTimesLeavesNothingBehind)
{
    EditorRig rig;
    EXPECT_EQ(rig.WidgetsLeftByReopening("KV RedoRuviz", 100), 0);
}

TEST(RedoRuvizGUI, ScreenshotAtSixteenTimes)
{
    // The demo has no RedoRuviz; this one filters at 16x.
    EditorRig rig;
    CMachineContainer* box = rig.Add("KV RedoRuviz");
    box->machine->SetParameterNotify(0, 0.8);
    QWidget* editor = rig.ShowCustomGui(box);
    ASSERT_NE(editor, nullptr);
    Settle();
    SaveScreenshot(editor, "editor-redoruviz.png");
}
