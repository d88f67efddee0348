// The arpeggiator's editor opened from its box in a real studio, driven at
// pixel positions: its tool bar, its grid's clicks and drags, and the notes
// the machine then plays.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <QLabel>
#include <QSpinBox>
#include <QTest>

#include "editors/ArpeggiatorGUIView.h"
#include "editors/EditorWindow.h"
#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "host/CorvHost.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "machines/Arpeggiator.h"
#include "tests/editors/machineeditors/MachineEditorRig.h"

using namespace machine_editors_test;
using G = CArpeggiatorGUI;

namespace {

/// The centre of a grid cell, in editor pixels.
QPoint CellCentre(int row, int column)
{
    return {G::kGridX + column * G::kCellSize + G::kCellSize / 2, G::kGridY + row * G::kCellSize + G::kCellSize / 2};
}

QColor PixelOf(const QImage& image, QPoint at)
{
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(at.x() * ratio), static_cast<int>(at.y() * ratio));
}

struct Played {
    long long at;
    int note;
};

/// Holds the note down from sample 0 and returns the note-ons of the given
/// number of samples, each at its absolute sample.
std::vector<Played> Play(CArpeggiator& arp, int note, long long samples)
{
    CControlBuffer* in = arp.ports[CArpeggiator::kControlIn]->control;
    CControlBuffer* out = arp.ports[CArpeggiator::kControlOut]->control;
    const int block = arp.host->GetBlockSize();
    std::vector<Played> played;
    for (long long start = 0; start < samples; start += block) {
        in->Clear();
        out->Clear();
        if (start == 0) {
            const ControlEvent on = MakeControlEvent(kEventNoteOn, 0, note, 1.0);
            in->Insert(&on);
        }
        arp.Work();
        ControlEvent event;
        while (out->Pop(&event))
            if (event.type == kEventNoteOn)
                played.push_back({start + event.time, event.index});
    }
    return played;
}

struct ArpeggiatorEditor {
    ArpeggiatorEditor()
    {
        box = rig.Add("KV Arpeggiator");
        arp = box != nullptr ? dynamic_cast<CArpeggiator*>(box->machine) : nullptr;
        if (arp != nullptr)
            window = rig.OpenFromBoxMenu(box);
        view = dynamic_cast<CArpeggiatorGUIView*>(EditorIn(window));
    }
    void Click(int row, int column) { QTest::mouseClick(view, Qt::LeftButton, {}, CellCentre(row, column)); }
    void Type(QSpinBox* box, const char* text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    CEditorRig rig;
    CMachineContainer* box = nullptr;
    CArpeggiator* arp = nullptr;
    CEditorWindow* window = nullptr;
    CArpeggiatorGUIView* view = nullptr;
};

} // namespace

TEST(ArpeggiatorGUI, OpensFromTheBoxMenuWithItsToolBarAndGrid)
{
    ArpeggiatorEditor editor;
    ASSERT_NE(editor.arp, nullptr);
    EXPECT_TRUE(editor.rig.LastMenu()[2].enabled);
    EXPECT_EQ(editor.rig.LastMenu()[2].text, "Show Custom GUI");
    ASSERT_NE(editor.view, nullptr);
    EXPECT_EQ(editor.window->size(), QSize(320, 200));
    EXPECT_TRUE(editor.view->isVisible());

    std::vector<QString> captions;
    for (const QLabel* label : editor.view->findChildren<QLabel*>())
        captions.push_back(label->text());
    EXPECT_EQ(captions, (std::vector<QString>{"TPB:", "Length:"}));
    EXPECT_EQ(editor.view->StepsPerBeatBox()->minimum(), 1);
    EXPECT_EQ(editor.view->StepsPerBeatBox()->maximum(), 16);
    EXPECT_EQ(editor.view->StepsPerBeatBox()->value(), 4);
    EXPECT_EQ(editor.view->LengthBox()->minimum(), 1);
    EXPECT_EQ(editor.view->LengthBox()->maximum(), 32);
    EXPECT_EQ(editor.view->LengthBox()->value(), 32);

    editor.Type(editor.view->StepsPerBeatBox(), "8");
    EXPECT_EQ(editor.arp->GetStepsPerBeat(), 8);
    editor.Type(editor.view->LengthBox(), "16");
    EXPECT_EQ(editor.arp->GetLength(), 16);
}

TEST(ArpeggiatorGUI, GridClicksDecideTheNotesPlayedAndColumnsPastTheLengthStaySilent)
{
    ArpeggiatorEditor editor;
    ASSERT_NE(editor.view, nullptr);
    // Root on step 1, a major third and the eleventh semitone on step 2,
    // the fifth on step 4 and on step 3 of a column past the length.
    editor.Click(11, 0);
    editor.Click(7, 1);
    editor.Click(0, 1);
    editor.Click(4, 3);
    editor.Click(4, 5);
    editor.Type(editor.view->LengthBox(), "4");
    ASSERT_EQ(editor.arp->GetLength(), 4);
    EXPECT_TRUE(editor.arp->GetCell(4, 5));   // kept, though not played

    const long long step = editor.arp->StepLength();
    const std::vector<Played> played = Play(*editor.arp, 60, step * 8 + 1);
    std::vector<int> notes;
    for (const Played& p : played)
        notes.push_back(p.note);
    // Two rounds of four steps, the grid's highest row first within a step.
    EXPECT_EQ(notes, (std::vector<int>{60, 71, 64, 67, 60, 71, 64, 67, 60}));
    ASSERT_EQ(played.size(), 9u);
    EXPECT_EQ(played[1].at, step);        // step 2
    EXPECT_EQ(played[3].at, 3 * step);    // step 4
    EXPECT_EQ(played[4].at, 4 * step);    // step 1 again

    // The editor follows the held note and the step that plays next.
    editor.view->Refresh();
    EXPECT_EQ(editor.view->Model().HeldNote(), 60);
    EXPECT_GE(editor.view->Model().PlayingColumn(), 0);
    EXPECT_LT(editor.view->Model().PlayingColumn(), 4);

    // Clicking a lit cell puts it out; the next round no longer plays it.
    editor.Click(7, 1);
    EXPECT_FALSE(editor.arp->GetCell(7, 1));

    // Columns past the length are shaded apart; groups of four alternate.
    QCoreApplication::processEvents();
    const QImage image = editor.view->grab().toImage();
    const QColor played1 = PixelOf(image, CellCentre(2, 1));
    const QColor group2 = PixelOf(image, CellCentre(2, 5));
    const QColor beyond = PixelOf(image, CellCentre(2, 9));
    EXPECT_NE(played1, beyond);
    EXPECT_EQ(group2, beyond);   // 5 and 9 both past length 4
    EXPECT_NE(PixelOf(image, CellCentre(11, 0)), played1);   // lit
    EXPECT_NE(PixelOf(image, CellCentre(4, 5)), PixelOf(image, CellCentre(11, 0)));   // lit, not played
}

TEST(ArpeggiatorGUI, DragWritesThePressedValueIntoEveryCellPassedAndPressesOutsideDoNothing)
{
    ArpeggiatorEditor editor;
    ASSERT_NE(editor.view, nullptr);
    CArpeggiator& arp = *editor.arp;
    auto lit = [&arp] {
        int count = 0;
        for (int row = 0; row < G::kRows; ++row)
            for (int column = 0; column < G::kColumns; ++column)
                count += arp.GetCell(row, column) ? 1 : 0;
        return count;
    };

    // Presses beside the grid, and a drag that starts there, change nothing.
    for (QPoint outside : {QPoint(G::kGridX - 1, G::kGridY), QPoint(G::kGridX, G::kGridY - 1),
                           QPoint(G::kGridX + G::kGridWidth, G::kGridY + 4), QPoint(60, G::kGridY + G::kGridHeight),
                           QPoint(300, 190)}) {
        QTest::mousePress(editor.view, Qt::LeftButton, {}, outside);
        QTest::mouseMove(editor.view, CellCentre(3, 3));
        QTest::mouseRelease(editor.view, Qt::LeftButton, {}, CellCentre(3, 3));
    }
    EXPECT_EQ(lit(), 0);

    // One fast move from step 1 to step 11 lights the nine cells between.
    QTest::mousePress(editor.view, Qt::LeftButton, {}, CellCentre(2, 0));
    QTest::mouseMove(editor.view, CellCentre(2, 10));
    // Out of the grid paints nothing; back in, it paints from where it enters.
    QTest::mouseMove(editor.view, QPoint(100, 20));
    QTest::mouseMove(editor.view, CellCentre(6, 20));
    QTest::mouseRelease(editor.view, Qt::LeftButton, {}, CellCentre(6, 20));
    for (int column = 0; column <= 10; ++column)
        EXPECT_TRUE(arp.GetCell(2, column)) << column;
    EXPECT_TRUE(arp.GetCell(6, 20));
    EXPECT_EQ(lit(), 12);

    // A press on a lit cell writes "off" along the drag, a diagonal too.
    QTest::mousePress(editor.view, Qt::LeftButton, {}, CellCentre(2, 4));
    QTest::mouseMove(editor.view, CellCentre(2, 8));
    QTest::mouseMove(editor.view, CellCentre(6, 20));
    QTest::mouseRelease(editor.view, Qt::LeftButton, {}, CellCentre(6, 20));
    for (int column = 4; column <= 8; ++column)
        EXPECT_FALSE(arp.GetCell(2, column)) << column;
    // The slope of one row in three columns crosses step 10 in row 2 first,
    // and leaves step 11 of that row beside it.
    EXPECT_FALSE(arp.GetCell(2, 9));
    EXPECT_TRUE(arp.GetCell(2, 10));
    EXPECT_FALSE(arp.GetCell(6, 20));
    EXPECT_EQ(lit(), 5);
    // Moving with no button held after the release paints nothing.
    QTest::mouseMove(editor.view, CellCentre(9, 9));
    EXPECT_FALSE(arp.GetCell(9, 9));
}

TEST(ArpeggiatorGUI, AProjectLoadedMovesTheToolBarAndTheGrid)
{
    ArpeggiatorEditor editor;
    ASSERT_NE(editor.view, nullptr);
    unsigned char state[CArpeggiator::kStateBytes] = {};
    state[0] = 12;   // steps per beat
    state[4] = 6;    // length
    state[8 + 5 * 32 + 3] = 1;
    editor.arp->LoadState(state, sizeof state, false);
    const bool shown = mainwindow_test::ProcessEventsUntil(
        [&] { return editor.view->StepsPerBeatBox()->value() == 12 && editor.view->LengthBox()->value() == 6; }, 2000);
    EXPECT_TRUE(shown);
    const QImage image = editor.view->grab().toImage();
    EXPECT_NE(PixelOf(image, CellCentre(5, 3)), PixelOf(image, CellCentre(5, 2)));
}

TEST(ArpeggiatorGUI, Screenshot)
{
    ArpeggiatorEditor editor;
    ASSERT_NE(editor.view, nullptr);
    // A rising pattern over two bars of eight steps.
    const int rows[] = {11, 7, 4, 0, 4, 7, 11, 7, 11, 8, 4, 1, 4, 8, 11, 4};
    for (int column = 0; column < 16; ++column)
        editor.arp->SetCell(rows[column], column, true);
    editor.arp->SetLength(16);
    // C4 held for a few steps: the next step is framed.
    Play(*editor.arp, 60, editor.arp->StepLength() * 5L);
    editor.view->Refresh();
    const QImage image = Screenshot(editor.window, "editor-arpeggiator");
    EXPECT_EQ(image.size(), QSize(320, 200) * image.devicePixelRatio());
}
