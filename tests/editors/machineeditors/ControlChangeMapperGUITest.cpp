// The control-change mapper's editor opened from its box: rows added,
// numbers typed, "Train" taking the next controller that passes the
// machine, rows removed by their own buttons, and pairs a project appends.

#include <gtest/gtest.h>

#include <vector>

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>

#include "editors/ControlChangeMapperGUIView.h"
#include "editors/EditorWindow.h"
#include "framework/ControlBuffer.h"
#include "framework/LittleEndian.h"
#include "framework/Port.h"
#include "host/MachineContainer.h"
#include "machines/ControlChangeMapper.h"
#include "tests/editors/machineeditors/MachineEditorRig.h"

using namespace machine_editors_test;

namespace {

using Pairs = std::vector<std::pair<int, int>>;

Pairs PairsOf(CControlChangeMapper& mapper)
{
    Pairs pairs;
    for (int i = 0; i < mapper.MappingCount(); ++i) {
        CControlChangeMapper::Mapping mapping;
        mapper.GetMapping(i, &mapping);
        pairs.emplace_back(mapping.mapIn, mapping.mapOut);
    }
    return pairs;
}

/// One block through the machine: parameter events of these indices in,
/// the indices that leave.
std::vector<int> Pass(CControlChangeMapper& mapper, std::vector<int> indices)
{
    CControlBuffer* in = mapper.ports[CControlChangeMapper::kControlIn]->control;
    CControlBuffer* out = mapper.ports[CControlChangeMapper::kControlOut]->control;
    in->Clear();
    out->Clear();
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const ControlEvent event = MakeControlEvent(kEventParameter, static_cast<int>(i), indices[i], 0.5);
        in->Insert(&event);
    }
    mapper.Work();
    std::vector<int> left;
    ControlEvent event;
    while (out->Pop(&event))
        left.push_back(event.index);
    return left;
}

void Type(QSpinBox* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

struct MapperEditor {
    MapperEditor()
    {
        box = rig.Add("KV ControlChange Mapper");
        mapper = box != nullptr ? dynamic_cast<CControlChangeMapper*>(box->machine) : nullptr;
        if (mapper != nullptr)
            window = rig.OpenFromBoxMenu(box);
        view = dynamic_cast<CControlChangeMapperGUIView*>(EditorIn(window));
    }
    void Add() { QTest::mouseClick(view->AddButton(), Qt::LeftButton); }
    /// Clicks a row's remove button; the row goes once the click is over.
    void Remove(int row)
    {
        QPushButton* button = view->Rows().at(row).remove;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    CEditorRig rig;
    CMachineContainer* box = nullptr;
    CControlChangeMapper* mapper = nullptr;
    CEditorWindow* window = nullptr;
    CControlChangeMapperGUIView* view = nullptr;
};

} // namespace

TEST(ControlChangeMapperGUI, RowsCarryTheNamedControlsAndTypedNumbersMapEvents)
{
    MapperEditor editor;
    ASSERT_NE(editor.view, nullptr);
    EXPECT_EQ(editor.view->objectName(), "ControlChange Mapper");
    EXPECT_EQ(editor.view->AddButton()->text(), "Add ControlChange Mapping");
    EXPECT_EQ(editor.view->List()->objectName(), "Mapping GUI List");
    EXPECT_TRUE(editor.view->Rows().empty());

    editor.Add();
    editor.Add();
    ASSERT_EQ(editor.view->Rows().size(), 2u);
    EXPECT_EQ(PairsOf(*editor.mapper), (Pairs{{0, 0}, {0, 0}}));
    const auto& row = editor.view->Rows()[0];
    EXPECT_EQ(row.train->text(), "Train (Set Map In To Next Received Control Change)");
    EXPECT_TRUE(row.train->isCheckable());
    EXPECT_EQ(row.remove->text(), "Remove ControlChange Mapping");
    EXPECT_EQ(row.mapIn->minimum(), 0);
    EXPECT_EQ(row.mapIn->maximum(), 1024);
    EXPECT_EQ(row.mapOut->maximum(), 1024);
    std::vector<QString> labels;
    for (const QLabel* label : row.frame->findChildren<QLabel*>())
        labels.push_back(label->text());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "Map In:"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "Map Out:"), labels.end());

    // Both rows map 7; the first pair in the list wins. A digit that would
    // take a box past 1024 is refused.
    Type(editor.view->Rows()[0].mapIn, "7");
    Type(editor.view->Rows()[0].mapOut, "12");
    Type(editor.view->Rows()[1].mapIn, "7");
    Type(editor.view->Rows()[1].mapOut, "2000");
    EXPECT_EQ(PairsOf(*editor.mapper), (Pairs{{7, 12}, {7, 200}}));
    EXPECT_EQ(Pass(*editor.mapper, {7, 8}), (std::vector<int>{12, 8}));
}

TEST(ControlChangeMapperGUI, TrainTakesTheNextControllerAndPopsUp)
{
    MapperEditor editor;
    ASSERT_NE(editor.view, nullptr);
    editor.Add();
    Type(editor.view->Rows()[0].mapOut, "33");
    QPushButton* train = editor.view->Rows()[0].train;
    QTest::mouseClick(train, Qt::LeftButton);
    EXPECT_TRUE(train->isChecked());

    // The event that trains the pair is already mapped by it.
    EXPECT_EQ(Pass(*editor.mapper, {21, 21, 5}), (std::vector<int>{33, 33, 5}));
    EXPECT_EQ(PairsOf(*editor.mapper), (Pairs{{21, 33}}));
    EXPECT_TRUE(mainwindow_test::ProcessEventsUntil(
        [&] { return !editor.view->Rows()[0].train->isChecked() && editor.view->Rows()[0].mapIn->value() == 21; },
        2000));
}

TEST(ControlChangeMapperGUI, ARowsOwnRemoveButtonRemovesItsPairAfterTheClick)
{
    MapperEditor editor;
    ASSERT_NE(editor.view, nullptr);
    for (int i = 0; i < 3; ++i) {
        editor.Add();
        Type(editor.view->Rows()[i].mapIn, QString::number(10 + i));
        Type(editor.view->Rows()[i].mapOut, QString::number(20 + i));
    }
    QWidget* middle = editor.view->Rows()[1].frame;
    QPointer<QWidget> watch(middle);
    editor.Remove(1);
    // Posted: the row and its button are still there when the click ends.
    EXPECT_FALSE(watch.isNull());
    EXPECT_EQ(editor.mapper->MappingCount(), 3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(PairsOf(*editor.mapper), (Pairs{{10, 20}, {12, 22}}));
    ASSERT_EQ(editor.view->Rows().size(), 2u);
    EXPECT_EQ(editor.view->Rows()[1].mapIn->value(), 12);

    // The last row, then the first: the list empties.
    editor.Remove(1);
    editor.Remove(0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(editor.view->Rows().empty());
    EXPECT_EQ(editor.mapper->MappingCount(), 0);
}

TEST(ControlChangeMapperGUI, PairsAProjectAppendsGetRowsAndBadBlocksChangeNothing)
{
    MapperEditor editor;
    ASSERT_NE(editor.view, nullptr);
    editor.Add();
    unsigned char state[4 + 2 * 8];
    WriteLittleEndian32(state, 2);
    WriteLittleEndian32(state + 4, 1);
    WriteLittleEndian32(state + 8, 74);
    WriteLittleEndian32(state + 12, 10);
    WriteLittleEndian32(state + 16, 1024);
    editor.mapper->LoadState(state, sizeof state - 4, false);   // count says 2, one pair given
    editor.mapper->LoadState(state, sizeof state, false);
    EXPECT_TRUE(mainwindow_test::ProcessEventsUntil([&] { return editor.view->Rows().size() == 3; }, 2000));
    ASSERT_EQ(editor.view->Rows().size(), 3u);
    EXPECT_EQ(editor.view->Rows()[1].mapIn->value(), 1);
    EXPECT_EQ(editor.view->Rows()[1].mapOut->value(), 74);
    EXPECT_EQ(editor.view->Rows()[2].mapOut->value(), 1024);
    // The first row waiting for a controller, for the picture.
    QTest::mouseClick(editor.view->Rows()[0].train, Qt::LeftButton);
    Screenshot(editor.window, "editor-controlchange-mapper");
}
