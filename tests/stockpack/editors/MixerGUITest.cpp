// The mixer's editor in a real studio: ten strips with their knobs and
// faders bound to the 66 parameters; a click on a track's mute silences
// that track; solo moves from strip to strip; the meters light from the
// peaks Idle hands over; a hundred openings leave nothing behind.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>

#include "framework/AudioBuffer.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "framework/ScopedLock.h"
#include "gui/LiteKnob.h"
#include "host/MachineContainer.h"
#include "stockpack/common/LiteMeter.h"
#include "stockpack/mixer/Mixer.h"
#include "stockpack/mixer/MixerGUI.h"
#include "stockpack/mixer/MixerTrackGUI.h"
#include "tests/stockpack/editors/MachineEditorRig.h"

using namespace editors_test;
using studio_view::CStudioGestures;
using T = CMixerTrackGUI;

namespace {

constexpr int kKnob = 140;
constexpr int kThumb = 138;
constexpr int kSoloNormal = 144;

QPoint MuteCentre(int strip)
{
    return QPoint(T::StripX(strip) + T::kMuteX + 14, T::kButtonY + 8);
}

QPoint SoloCentre(int strip)
{
    return QPoint(T::StripX(strip) + T::kSoloX + 14, T::kButtonY + 8);
}

/// The pointer leaves the buttons (a hovered button would show hover).
void MoveAway(QWidget* editor)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(editor->mapToGlobal(QPoint(5, 5))), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(editor, &move);
}

/// Feeds a 1 kHz sine of amplitude 0.5 into track 1 and renders blocks;
/// the left output.
std::vector<double> RenderTrackOne(CMachine* mixer, int blocks)
{
    std::vector<double> out;
    static long phase = 0;
    for (int b = 0; b < blocks; ++b) {
        CScopedLock<CMachine> hold(*mixer);
        CAudioBuffer* in = mixer->ports[CMixer::TrackInputPort(0)]->audio;
        for (int i = 0; i < in->length; ++i, ++phase) {
            in->left[i] = in->right[i] = 0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * phase / 44100.0);
        }
        mixer->Work();
        mixer->WorkReturns();
        const CAudioBuffer* o = mixer->ports[CMixer::kOutputPort]->audio;
        out.insert(out.end(), o->left, o->left + o->length);
    }
    return out;
}

} // namespace

TEST(MixerGUI, StripsBindEveryParameterAndMuteSilencesItsTrack)
{
    EditorRig rig;
    CMachineContainer* box = nullptr;
    QWidget* editor = rig.OpenNew("KV Mixer", CMixerGUI::kBackground, &box);
    ASSERT_NE(editor, nullptr);
    const CPicture& background = Skin(CMixerGUI::kBackground);
    CMachine* mixer = box->machine;
    ASSERT_EQ(mixer->parameterCount, 66);

    // Every parameter: a knob drawn at its value, or the strip's fader
    // with its thumb where the value puts it; each names its parameter.
    const QImage shown = Shown(editor);
    int bound = 0;
    for (int strip = 0; strip < CMixer::kStrips; ++strip) {
        const int positions = strip < CMixer::kTracks ? 7 : 5;
        for (int position = 0; position < positions; ++position) {
            const int parameter = CMixer::ParameterIndex(strip, position);
            const double value = mixer->GetParameter(parameter);
            QPoint centre;
            int column = 0, row = 0;
            if (position == CMixer::kLevel) {
                const int thumbY = T::kFaderY + static_cast<int>((1.0 - value) * (T::kFaderHeight - 12));
                centre = QPoint(T::StripX(strip) + T::kFaderX + 11, thumbY + 6);
            } else {
                ASSERT_TRUE(T::KnobCell(strip, position, column, row)) << parameter;
                const int x = T::StripX(strip) + T::kKnobColumn[column];
                const int y = T::kKnobRow[row];
                EXPECT_EQ(Region(shown, x, y, 24, 24), ExpectedKnob(background, Skin(kKnob), x, y, Frame(value)))
                    << parameter;
                centre = QPoint(x + 12, y + 12);
            }
            QTest::mousePress(editor, Qt::LeftButton, {}, centre);
            EXPECT_EQ(QToolTip::text().toStdString(), ToolTipFor(mixer, parameter, value)) << parameter;
            QTest::mouseRelease(editor, Qt::LeftButton, {}, centre);
            ++bound;
        }
    }
    EXPECT_EQ(bound, 66);

    // A drag on track 1's LOW knob follows the drag law.
    const QPoint low(T::StripX(0) + T::kKnobColumn[0] + 12, T::kKnobRow[0] + 12);
    Drag(editor, low, low - QPoint(0, 25));
    EXPECT_EQ(mixer->GetParameter(CMixer::ParameterIndex(0, CMixer::kLow)),
              CLiteKnob::DragValue(low.y(), 0.5, low.y() - 25, 101));

    const std::vector<double> playing = RenderTrackOne(mixer, 40);
    EXPECT_GT(RmsOf(playing, playing.size() - 1024, 1024), 1e-3);
    Click(editor, MuteCentre(0));
    // The level glides down within a few hundred samples, then the track
    // is silent. What remains is the equalisers' anti-denormal offset
    // (2^-32 a sample) through the other strips: far below -200 dB.
    const std::vector<double> muted = RenderTrackOne(mixer, 40);
    EXPECT_LT(RmsOf(muted, muted.size() - 1024, 1024), 1e-10);
    Click(editor, MuteCentre(0));
    const std::vector<double> back = RenderTrackOne(mixer, 40);
    EXPECT_GT(RmsOf(back, back.size() - 1024, 1024), 1e-3);

    // Values set elsewhere move the knob and the fader's thumb (a press
    // counts only on the thumb, so its tool tip proves where it is).
    const int high = CMixer::ParameterIndex(1, CMixer::kHigh);
    const int level = CMixer::ParameterIndex(2, CMixer::kLevel);
    mixer->SetParameterNotify(high, 0.9);
    mixer->SetParameterNotify(level, 0.25);
    Settle();
    const int knobX = T::StripX(1) + T::kKnobColumn[0];
    EXPECT_EQ(Region(Shown(editor), knobX, T::kKnobRow[1], 24, 24),
              ExpectedKnob(background, Skin(kKnob), knobX, T::kKnobRow[1], 90));
    const QPoint thumb(T::StripX(2) + T::kFaderX + 11, T::kFaderY + static_cast<int>(0.75 * (T::kFaderHeight - 12)) + 6);
    QToolTip::hideText();
    QTest::mousePress(editor, Qt::LeftButton, {}, thumb);
    EXPECT_EQ(QToolTip::text().toStdString(), "Track 3 Level 25%");
    QTest::mouseRelease(editor, Qt::LeftButton, {}, thumb);
}

TEST(MixerGUI, SoloMovesBetweenStripsAndMetersLightFromIdle)
{
    EditorRig rig;
    CMachineContainer* box = rig.Add("KV Mixer");
    QWidget* editor = rig.ShowCustomGui(box);
    ASSERT_NE(editor, nullptr);
    Settle();
    CMachine* mixer = box->machine;
    const CPicture& background = Skin(CMixerGUI::kBackground);
    const auto soloShown = [&](int strip, int state) {
        const int x = T::StripX(strip) + T::kSoloX;
        return Region(Shown(editor), x, T::kButtonY, 28, 16) ==
               ExpectedPicture(background, Skin(kSoloNormal + state), x, T::kButtonY, 0, 0, 28, 16);
    };
    Click(editor, SoloCentre(2));
    Click(editor, SoloCentre(4));
    MoveAway(editor);
    Settle();
    EXPECT_TRUE(soloShown(4, 2));
    EXPECT_TRUE(soloShown(2, 0));
    // Track 1 is not audible while track 5 is soloed.
    std::vector<double> out = RenderTrackOne(mixer, 40);
    EXPECT_LT(RmsOf(out, out.size() - 1024, 1024), 1e-10);
    Click(editor, SoloCentre(4));
    MoveAway(editor);
    Settle();
    EXPECT_TRUE(soloShown(4, 0));

    // Loud enough for the top segments: level 0.8 (unity), balance left.
    mixer->SetParameterNotify(CMixer::ParameterIndex(0, CMixer::kLevel), 0.8);
    out = RenderTrackOne(mixer, 60);
    double peak = 0.0;
    const int block = mixer->ports[0]->audio->length;
    for (std::size_t i = out.size() - block; i < out.size(); ++i)
        peak = std::max(peak, std::fabs(out[i]));
    {
        CScopedLock<CMachine> hold(*mixer);
        mixer->Idle();   // as the display thread does
    }
    Settle(60);
    // Count the lit segments of track 1's left column from the bottom.
    const QImage shown = Shown(editor);
    const int columnX = T::StripX(0) + T::kMeterX + 2;
    const int segment = T::kMeterHeight / CLiteMeter::kSegments;
    int lit = 0;
    for (int s = 0; s < CLiteMeter::kSegments; ++s) {
        const QRgb pixel = shown.pixel(columnX, T::kMeterY + T::kMeterHeight - s * segment - segment / 2);
        if (qGreen(pixel) > 200 || qRed(pixel) > 200)
            ++lit;
    }
    const int expected = CLiteMeter::LitSegments(CLiteMeter::PeakDb(peak));
    EXPECT_GT(expected, 6);
    EXPECT_GE(lit, expected - 1);   // one refresh may have let it fall a segment
    EXPECT_LE(lit, expected);
    // With nothing fed, the meter falls back to dark.
    Settle(2000);
    const QImage later = Shown(editor);
    EXPECT_LT(qGreen(later.pixel(columnX, T::kMeterY + T::kMeterHeight - segment / 2)), 100);
}

TEST(MixerGUI, OpeningAndClosingAHundredTimesLeavesNothingBehind)
{
    EditorRig rig;
    EXPECT_EQ(rig.WidgetsLeftByReopening("KV Mixer", 100), 0);
}

TEST(MixerGUI, ScreenshotWithTheDemosSettings)
{
    EditorRig rig;
    rig.OpenDemo();
    CMachineContainer* box = rig.Find("KV Mixer 1");
    ASSERT_NE(box, nullptr);
    QWidget* editor = rig.ShowCustomGui(box);
    ASSERT_NE(editor, nullptr);
    // Some signal on the first tracks so the meters show.
    RenderTrackOne(box->machine, 20);
    {
        CScopedLock<CMachine> hold(*box->machine);
        box->machine->Idle();
    }
    Settle(60);
    SaveScreenshot(editor, "editor-mixer.png");
}
