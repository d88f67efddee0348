// DavarorOdir's editor in a real studio: a knob per parameter; the room
// view with its sources and listening points where the parameters put
// them, labelled in metres; the impulse view of the averaged early impulse
// with its time span; a listening point dragged away moves the direct
// sound's tap in the rendered output; a hundred openings leave nothing.

#include <gtest/gtest.h>

#include <cmath>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>

#include "framework/AudioBuffer.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "gui/LiteKnob.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "stockpack/davarorodir/DavarorOdir.h"
#include "stockpack/davarorodir/DavarorOdirGUI.h"
#include "stockpack/davarorodir/DavarorOdirRoom.h"
#include "tests/stockpack/editors/MachineEditorRig.h"

using namespace editors_test;
using studio_view::CStudioGestures;
using G = CDavarorOdirGUI;
using P = CDavarorOdir;

namespace {

const panel_layout::PlacedCell& CellOf(const panel_layout::Placement& placement, int parameter)
{
    return *std::find_if(placement.cells.begin(), placement.cells.end(),
                         [&](const auto& placed) { return placed.cell.parameter == parameter; });
}

/// The first sample of the machine's left output that answers a click on
/// the left input (the direct path from the left source to the left point).
long DirectPathSample(CMachine* reverb)
{
    std::vector<double> out;
    for (int b = 0; b < 40; ++b) {
        CScopedLock<CMachine> hold(*reverb);
        CAudioBuffer* in = reverb->ports[0]->audio;
        for (int i = 0; i < in->length; ++i)
            in->left[i] = in->right[i] = (b == 0 && i == 0) ? 1.0 : 0.0;
        // Only the left source: the right input stays silent.
        for (int i = 0; i < in->length; ++i)
            in->right[i] = 0.0;
        reverb->Work();
        const CAudioBuffer* o = reverb->ports[1]->audio;
        out.insert(out.end(), o->left, o->left + o->length);
    }
    for (std::size_t i = 0; i < out.size(); ++i)
        if (std::fabs(out[i]) > 0.2)
            return static_cast<long>(i);
    return -1;
}

} // namespace

TEST(DavarorOdirGUI, KnobsMoveTheRoomAndTheSoundAndBothViewsFollow)
{
    EditorRig rig;
    CMachineContainer* box = nullptr;
    QWidget* editor = rig.OpenNew("KV DavarorOdir", G::kBackground, &box);
    ASSERT_NE(editor, nullptr);
    const CPicture& background = Skin(G::kBackground);
    CMachine* reverb = box->machine;
    const int rate = rig.Studio().Host().GetSampleRate();
    const auto placement = panel_layout::Place(G::Rows(), G::Metrics());
    CheckLayout(placement, background, reverb->parameterCount);
    EXPECT_EQ(CheckKnobs(editor, reverb, background, placement, G::kKnob, G::kKnob), 14);

    // The defaults in a 10 m room: the left point 4.2 m right and 7.4 m
    // down, the left source 2.6 m, 2.6 m: 5.06 m apart, heard 14.6 ms on.
    const long before = DirectPathSample(reverb);
    EXPECT_NEAR(before, std::hypot(4.2 - 2.6, 7.4 - 2.6) / 346.02 * rate, 2.0);

    // "Dst L Y" dragged up by 50 pixels: 0.8 + 0.5 reaches the top, 1.0:
    // the point moves to 9.0 m down, 1.6 m further from the source.
    const auto& knob = CellOf(placement, P::kDstLeftY);
    const QPoint centre(knob.x + knob.width / 2, knob.y + knob.height / 2);
    Drag(editor, centre, centre - QPoint(0, 50));
    const double value = CLiteKnob::DragValue(centre.y(), 0.8, centre.y() - 50, 101);
    EXPECT_EQ(reverb->GetParameter(P::kDstLeftY), value);
    EXPECT_EQ(value, 1.0);
    const long after = DirectPathSample(reverb);
    EXPECT_NEAR(after, std::hypot(4.2 - 2.6, 9.0 - 2.6) / 346.02 * rate, 2.0);

    // The room view: each mark where the geometry puts it, with its label.
    Settle();
    double values[P::kParameterCount];
    for (int i = 0; i < P::kParameterCount; ++i)
        values[i] = reverb->GetParameter(i);
    const davarorodir::RoomGeometry room = davarorodir::GeometryOf(values);
    EXPECT_EQ(davarorodir::PointLabel("Dst L", room.pointLeft), "Dst L 4M,9M");
    EXPECT_EQ(davarorodir::PointLabel("Src R", room.sourceRight), "Src R 7M,3M");
    CRoomView reference(nullptr, G::kPaneX, G::kPaneY, G::kPaneSize, G::kPaneSize);
    reference.SetRoom(room);
    const QImage shown = Shown(editor);
    for (const davarorodir::RoomPoint* point : {&room.sourceLeft, &room.sourceRight, &room.pointLeft, &room.pointRight}) {
        int px = 0, py = 0;
        reference.PixelOf(*point, px, py);
        const QRgb mark = shown.pixel(px, py);
        EXPECT_TRUE(qBlue(mark) == 255 || qGreen(mark) == 220) << px << "," << py;
    }

    // The impulse view: the averaged impulse of 74.99 ms at 44.1 kHz.
    Click(editor, QPoint(G::kButtonX + 22, G::kButtonY + 9));
    QMouseEvent away(QEvent::MouseMove, QPointF(5, 5), QPointF(editor->mapToGlobal(QPoint(5, 5))), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(editor, &away);
    Settle();
    davarorodir::CRoomImpulse impulse;
    std::vector<double> taps;
    impulse.Compute(values, rate, taps);
    EXPECT_EQ(davarorodir::ViewTimeLabel(static_cast<int>(taps.size()), rate),
              rate == 44100 ? "View Time 74.99ms" : davarorodir::ViewTimeLabel(static_cast<int>(taps.size()), rate));
    CImpulseView bars(nullptr, G::kPaneX, G::kPaneY, G::kPaneSize, G::kPaneSize);
    bars.SetImpulse(taps);
    const QImage impulseShown = Shown(editor);
    int columnsChecked = 0;
    for (int column = 0; column < G::kPaneSize; ++column) {
        const int bar = bars.BarHeight(column);
        if (bar < 4)
            continue;
        // The bar's top pixel is lit, the one above it is not.
        EXPECT_EQ(qBlue(impulseShown.pixel(G::kPaneX + column, G::kPaneY + G::kPaneSize - bar)), 204) << column;
        ++columnsChecked;
    }
    EXPECT_GT(columnsChecked, 3);   // the direct path and some reflections
}

TEST(DavarorOdirGUI, OpeningAndClosingAHundredTimesLeavesNothingBehind)
{
    EditorRig rig;
    EXPECT_EQ(rig.WidgetsLeftByReopening("KV DavarorOdir", 100), 0);
}

TEST(DavarorOdirGUI, ScreenshotWithTheDemosSettings)
{
    EditorRig rig;
    rig.OpenDemo();
    CMachineContainer* box = rig.Find("KV DavarorOdir 1");
    ASSERT_NE(box, nullptr);
    QWidget* editor = rig.ShowCustomGui(box);
    ASSERT_NE(editor, nullptr);
    Settle();
    SaveScreenshot(editor, "editor-davarorodir.png");
}
