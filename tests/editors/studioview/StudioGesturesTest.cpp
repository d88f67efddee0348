// The studio view's rules, driven headless through CStudioGestures on a
// real studio of small test machines: layout, the New Machine menu, cable
// drags with the connect rule, box moves, the box and cable menus and the
// cable volume mapping.

#include <gtest/gtest.h>

#include <cmath>

#include "editors/StudioGestures.h"
#include "framework/Connection.h"
#include "tests/host/TestMachines.h"

using namespace engine_test;
using namespace studio_view;

namespace {

/// A machine with a custom editor of 300 x 200 that counts its calls.
class CEditorMachine : public CEngineMachine {
public:
    explicit CEditorMachine(CCorvHost* host) : CEngineMachine(host, {{kMonoIn, "In"}, {kMonoOut, "Out"}}, 3) {}
    bool GetEditorRect(std::int16_t* top, std::int16_t* left, std::int16_t* bottom, std::int16_t* right) override
    {
        *top = 0;
        *left = 0;
        *bottom = 200;
        *right = 300;
        return true;
    }
    void CloseEditor() override { ++closed; }
    int closed = 0;
};

struct Rig {
    CEngineStudio engine;
    CStudioGestures gestures{*engine.studio, engine.registry};

    CMachineContainer* Place(CMachine* machine, int x, int y)
    {
        CMachineContainer* box = CEngineStudio::ContainerOf(machine);
        box->MoveTo(x, y);
        return box;
    }
    Point Centre(CConnector* connector) const
    {
        const PointF c = gestures.ConnectorCentre(connector);
        return {static_cast<int>(c.x), static_cast<int>(c.y)};
    }
    /// Press on one connector, move over and release on another.
    bool Drag(CConnector* from, CConnector* to)
    {
        EXPECT_EQ(gestures.Press(Centre(from)), PressTarget::Connector);
        gestures.Move(Centre(to));
        return gestures.Release(Centre(to));
    }
};

int CableCount(const CStudio& studio)
{
    int count = 0;
    for (const CMachineContainer* box : studio.Containers())
        for (const CConnector* connector : box->connectors)
            count += static_cast<int>(connector->connections.size());
    return count;
}

} // namespace

TEST(StudioGestures, BoxLayoutHasTheCutCornerMenuButtonGuiOriginAndGrowsForTheDefaultGui)
{
    Rig rig;
    auto* gain = rig.engine.Add<CEditorMachine>("Gain");
    CMachineContainer* box = rig.Place(gain, 100, 50);

    const Rect r = rig.gestures.BoxRect(box);
    EXPECT_EQ(r.x, 100);
    EXPECT_EQ(r.y, 50);
    EXPECT_EQ(r.width, 128);
    EXPECT_EQ(r.height, 64);
    const auto outline = rig.gestures.BoxOutline(box);
    EXPECT_EQ(outline[1].x, 123);
    EXPECT_EQ(outline[2].y, 5);
    EXPECT_EQ(outline[3].x, 128);
    EXPECT_EQ(outline[3].y, 64);
    EXPECT_EQ(rig.gestures.MenuButtonRect(box).x, 111);
    EXPECT_EQ(rig.gestures.MenuButtonRect(box).y, 7);
    EXPECT_EQ(rig.gestures.GuiOrigin(box).y, 19);

    // The cut corner is not the box: a press there finds nothing.
    EXPECT_EQ(rig.gestures.BoxAt({100 + 127, 50 + 1}), nullptr);
    EXPECT_EQ(rig.gestures.BoxAt({100 + 60, 50 + 30}), box);

    // Inputs left, outputs right, each inside its own connector.
    CConnector* in = box->connectors[0];
    CConnector* out = box->connectors[1];
    EXPECT_LT(rig.gestures.ConnectorCentre(in).x, r.x + 1);
    EXPECT_GT(rig.gestures.ConnectorCentre(out).x, r.Right() - 1);
    EXPECT_EQ(rig.gestures.ConnectorAt(rig.Centre(in)), in);

    // Mode 1 holds the 405 x (3 x 22 + 10) default GUI at (4, 19).
    rig.gestures.SetGuiMode(box, 1);
    EXPECT_EQ(rig.gestures.BoxRect(box).width, 4 + 405 + 4);
    EXPECT_EQ(rig.gestures.BoxRect(box).height, 19 + 76 + 4);

    // With programs the GUI moves below the program tool bar.
    gain->programCount = 2;
    EXPECT_EQ(rig.gestures.GuiOrigin(box).y, 43);
    EXPECT_EQ(rig.gestures.BoxRect(box).height, 43 + 76 + 4);
    gain->programCount = 0;
}

TEST(StudioGestures, NewMachineMenuListsTheRegistryWithoutMasterAndNamesAndPlacesNewBoxes)
{
    Rig rig;
    const auto entries = rig.gestures.NewMachineMenu();
    ASSERT_FALSE(entries.empty());
    int previous = 0;
    for (const MenuEntry& entry : entries) {
        EXPECT_NE(entry.text, "Master");
        EXPECT_GT(entry.id, previous);   // registry order
        previous = entry.id;
        EXPECT_EQ(entry.text, rig.engine.registry.At(entry.id - 1).descriptor->name);
    }
    EXPECT_EQ(static_cast<int>(entries.size()), rig.engine.registry.Count() - 1);

    // An id naming the master does nothing.
    for (int i = 0; i < rig.engine.registry.Count(); ++i) {
        if (std::string(rig.engine.registry.At(i).descriptor->name) == "Master") {
            EXPECT_EQ(rig.gestures.NewMachine(i + 1, {10, 10}), nullptr);
        }
    }

    const MenuEntry& first = entries.front();
    CMachineContainer* one = rig.gestures.NewMachine(first.id, {-20, 75});
    CMachineContainer* two = rig.gestures.NewMachine(first.id, {300, -1});
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(one->GetName(), first.text + " 1");
    EXPECT_EQ(two->GetName(), first.text + " 2");
    EXPECT_EQ(one->x, 0);
    EXPECT_EQ(one->y, 75);
    EXPECT_EQ(two->x, 300);
    EXPECT_EQ(two->y, 0);
    EXPECT_EQ(rig.gestures.ZOrder().back(), two);   // new boxes in front
    EXPECT_EQ(rig.gestures.NewMachine(0, {0, 0}), nullptr);
    EXPECT_EQ(rig.gestures.NewMachine(rig.engine.registry.Count() + 1, {0, 0}), nullptr);
}

TEST(StudioGestures, CableDragFollowsTheConnectRule)
{
    Rig rig;
    auto* source = rig.engine.Add<CConstantSource>("Source", false, 0.5);
    auto* gain = rig.engine.Add<CGain>("Gain", false, false, 1.0);
    auto* control = rig.engine.Add<CControlProbe>("Control");
    rig.Place(source, 0, 0);
    rig.Place(gain, 300, 0);
    rig.Place(control, 300, 200);
    CConnector* sourceOut = CEngineStudio::ConnectorOf(source, 0);
    CConnector* gainIn = CEngineStudio::ConnectorOf(gain, 0);
    CConnector* gainOut = CEngineStudio::ConnectorOf(gain, 1);
    CConnector* controlIn = CEngineStudio::ConnectorOf(control, 0);
    ASSERT_TRUE(gainIn->IsInput() && gainOut->IsOutput() && controlIn->IsControl());

    EXPECT_FALSE(rig.Drag(gainOut, gainIn)) << "same machine";
    EXPECT_FALSE(rig.Drag(sourceOut, controlIn)) << "audio to control";
    EXPECT_FALSE(rig.Drag(sourceOut, gainOut)) << "two outputs";
    EXPECT_EQ(CableCount(*rig.engine.studio), 0);

    // While dragging, the rule says whether the end would be taken.
    rig.gestures.Press(rig.Centre(sourceOut));
    EXPECT_EQ(rig.gestures.State(), DragState::Cable);
    rig.gestures.Move(rig.Centre(controlIn));
    EXPECT_FALSE(rig.gestures.HoverAccepts());
    rig.gestures.Move(rig.Centre(gainIn));
    EXPECT_TRUE(rig.gestures.HoverAccepts());
    // Escape: nothing is made, and the release is an ordinary one.
    rig.gestures.CancelDrag();
    EXPECT_EQ(rig.gestures.State(), DragState::Idle);
    EXPECT_FALSE(rig.gestures.Release(rig.Centre(gainIn)));
    EXPECT_EQ(CableCount(*rig.engine.studio), 0);

    // Either end may start the drag; the same cable twice gives one.
    EXPECT_TRUE(rig.Drag(gainIn, sourceOut));
    EXPECT_FALSE(rig.Drag(sourceOut, gainIn));
    ASSERT_EQ(gainIn->connections.size(), 1u);
    EXPECT_EQ(gainIn->connections[0]->source, sourceOut);
    EXPECT_EQ(gainIn->connections[0]->volume, 1.0);
    EXPECT_EQ(rig.gestures.State(), DragState::Idle);

    // A release over empty space ends the drag with nothing made.
    rig.gestures.Press(rig.Centre(gainOut));
    EXPECT_FALSE(rig.gestures.Release({700, 700}));
    EXPECT_EQ(rig.gestures.State(), DragState::Idle);
}

TEST(StudioGestures, ALongNameWidensItsBoxAndEveryHitTestFollows)
{
    Rig rig;
    // Every character ten pixels wide, so the fitted width is known.
    rig.gestures.SetTextMeasures([](const std::string& text) { return int(text.size()) * 10; },
                                 [](const std::string& text) { return int(text.size()) * 10; });
    auto* source = rig.engine.Add<CConstantSource>("Source", false, 0.5);
    CMachineContainer* box = rig.Place(source, 0, 0);
    EXPECT_EQ(rig.gestures.BoxRect(box).width, 128);

    ASSERT_TRUE(rig.gestures.Rename(box, std::string(20, 'W')));
    // 6 + 200 + 1 + 3 + 17 = 227, rounded up to 232.
    const Rect r = rig.gestures.BoxRect(box);
    EXPECT_EQ(r.width, 232);
    EXPECT_EQ(rig.gestures.MenuButtonRect(box).x, 232 - 17);
    EXPECT_EQ(rig.gestures.BoxAt({200, 30}), box);
    EXPECT_GT(rig.gestures.ConnectorCentre(box->connectors[0]).x, 231);
    EXPECT_GE(rig.gestures.Extent().x, 232);

    ASSERT_TRUE(rig.gestures.Rename(box, "S"));
    EXPECT_EQ(rig.gestures.BoxRect(box).width, 128);
    EXPECT_EQ(rig.gestures.BoxAt({200, 30}), nullptr);
}

TEST(StudioGestures, BoxMoveStopsAtTheTopLeftCornerAndTheExtentFollows)
{
    Rig rig;
    auto* source = rig.engine.Add<CConstantSource>("Source", false, 0.5);
    CMachineContainer* box = rig.Place(source, 40, 30);
    const Point grab{40 + 60, 30 + 40};
    EXPECT_EQ(rig.gestures.Press(grab), PressTarget::Box);
    EXPECT_EQ(rig.gestures.State(), DragState::MoveBox);
    EXPECT_EQ(rig.gestures.Selected(), box);
    rig.gestures.Move({grab.x + 500, grab.y + 400});
    EXPECT_EQ(box->x, 540);
    EXPECT_EQ(box->y, 430);
    EXPECT_GE(rig.gestures.Extent().x, 540 + 128);
    EXPECT_GE(rig.gestures.Extent().y, 430 + 64);
    rig.gestures.Move({-1000, -1000});
    EXPECT_EQ(box->x, 0);
    EXPECT_EQ(box->y, 0);
    rig.gestures.Release({-1000, -1000});
    EXPECT_EQ(box->x, 0);
    EXPECT_EQ(box->y, 0);
    EXPECT_EQ(rig.gestures.State(), DragState::Idle);

    // Pressing the menu button opens the menu instead of moving.
    const Rect button = rig.gestures.MenuButtonRect(box);
    EXPECT_EQ(rig.gestures.Press({button.x + 2, button.y + 2}), PressTarget::MenuButton);
    EXPECT_EQ(rig.gestures.State(), DragState::Idle);
}

TEST(StudioGestures, BoxMenuEntriesGreyingModesRenameAndDelete)
{
    Rig rig;
    auto* editor = rig.engine.Add<CEditorMachine>("Editor");
    auto* plain = rig.engine.Add<CConstantSource>("Plain", false, 0.5);
    CMachineContainer* editorBox = CEngineStudio::ContainerOf(editor);
    CMachineContainer* plainBox = CEngineStudio::ContainerOf(plain);
    CMachineContainer* master = rig.engine.studio->MasterContainer();

    const auto menu = rig.gestures.BoxMenu(editorBox);
    ASSERT_EQ(menu.size(), 7u);
    const char* texts[] = {"Hide GUI", "Show Default GUI", "Show Custom GUI", "", "Rename", "Randomize", "Delete Machine"};
    const int ids[] = {1, 2, 3, 0, 4, 5, 6};
    for (std::size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i].text, texts[i]);
        EXPECT_EQ(menu[i].id, ids[i]);
        EXPECT_TRUE(menu[i].enabled) << texts[i];
    }
    const auto plainMenu = rig.gestures.BoxMenu(plainBox);
    EXPECT_FALSE(plainMenu[1].enabled);   // no parameters: no default GUI
    EXPECT_FALSE(plainMenu[2].enabled);   // no editor rectangle
    EXPECT_FALSE(plainMenu[5].enabled);   // nothing to randomize
    EXPECT_TRUE(plainMenu[6].enabled);
    EXPECT_FALSE(rig.gestures.BoxMenu(master)[6].enabled);

    // Leaving mode 2 closes the machine's editor; other changes do not.
    rig.gestures.SetGuiMode(editorBox, 2);
    rig.gestures.SetGuiMode(editorBox, 1);
    EXPECT_EQ(editor->closed, 1);
    EXPECT_EQ(editorBox->guiMode, GuiMode::DefaultGui);
    rig.gestures.SetGuiMode(editorBox, 0);
    EXPECT_EQ(editor->closed, 1);

    // Names: stored in box and machine; empty and taken names refused.
    EXPECT_TRUE(rig.gestures.Rename(editorBox, "Lead"));
    EXPECT_EQ(editorBox->GetName(), "Lead");
    EXPECT_STREQ(editor->GetName(), "Lead");
    EXPECT_FALSE(rig.gestures.Rename(editorBox, ""));
    EXPECT_FALSE(rig.gestures.Rename(editorBox, "Plain"));
    EXPECT_EQ(editorBox->GetName(), "Lead");

    // The master stays; a deleted box takes its cables and nothing else.
    ASSERT_NE(rig.engine.ConnectToMaster(plain, 0), nullptr);
    ASSERT_NE(rig.engine.ConnectToMaster(editor, 1), nullptr);
    EXPECT_FALSE(rig.gestures.DeleteMachine(master));
    rig.gestures.Select(editorBox);
    std::vector<CMachineContainer*> told;
    rig.gestures.SetBeforeDelete([&](CMachineContainer* box) { told.push_back(box); });
    EXPECT_TRUE(rig.gestures.DeleteMachine(editorBox));
    EXPECT_EQ(told, std::vector<CMachineContainer*>{editorBox});
    EXPECT_EQ(rig.gestures.Selected(), nullptr);
    EXPECT_EQ(CableCount(*rig.engine.studio), 1);
    EXPECT_EQ(rig.engine.studio->Containers().size(), 2u);
    EXPECT_FALSE(rig.gestures.DeleteMachine(editorBox));   // gone already
}

TEST(StudioGestures, TriangleOpensTheCableVolumeWhoseBottomIsNotSilence)
{
    Rig rig;
    auto* source = rig.engine.Add<CConstantSource>("Source", false, 0.5);
    auto* probe = rig.engine.Add<CControlSource>("Control");
    auto* gain = rig.engine.Add<CGain>("Gain", false, false, 1.0);
    rig.Place(source, 0, 100);
    rig.Place(gain, 400, 100);
    rig.Place(probe, 0, 300);
    ASSERT_NE(rig.engine.Connect(source, 0, gain, 0), nullptr);

    const auto cables = rig.gestures.Cables();
    ASSERT_EQ(cables.size(), 1u);
    const Cable& cable = cables[0];
    EXPECT_TRUE(cable.audio);
    const PointF centroid = cable.Centroid();
    const CableRef hit = rig.gestures.TriangleAt(centroid);
    ASSERT_TRUE(hit.Valid());
    EXPECT_EQ(rig.gestures.Press({int(centroid.x), int(centroid.y)}), PressTarget::Triangle);
    EXPECT_FALSE(rig.gestures.TriangleAt({centroid.x, centroid.y + 30}).Valid());
    EXPECT_TRUE(rig.gestures.CableAt({cable.from.x + 40, cable.from.y + 0.5}).Valid());

    EXPECT_DOUBLE_EQ(rig.gestures.CablePosition(hit), 1.0);
    rig.gestures.SetCablePosition(hit, 0.0);
    const double bottom = hit.input->connections[0]->volume;
    EXPECT_GT(bottom, 0.0);
    EXPECT_NEAR(bottom, 1e-9, 1e-21);
    rig.gestures.SetCablePosition(hit, 0.5);
    EXPECT_NEAR(10.0 * std::log10(hit.input->connections[0]->volume), -45.0, 1e-9);
    EXPECT_NEAR(rig.gestures.CablePosition(hit), 0.5, 1e-12);

    ASSERT_EQ(CStudioGestures::CableMenu().size(), 1u);
    EXPECT_EQ(CStudioGestures::CableMenu()[0].text, "Disconnect");
    rig.gestures.Disconnect(hit);
    EXPECT_TRUE(rig.gestures.Cables().empty());
    EXPECT_FALSE(rig.gestures.Exists(hit));
    rig.gestures.SetCablePosition(hit, 1.0);   // a stale cable is ignored
}
