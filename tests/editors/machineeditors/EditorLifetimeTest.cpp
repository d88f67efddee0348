// Opening and closing the built-in machines' editors again and again, by
// the box menu, by the window's close button and by deleting the machine
// with its editor open: every editor goes with its window (the sanitizers
// report anything left behind) and the machines keep working.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "editors/BuiltinEditorFactory.h"
#include "editors/EditorWindow.h"
#include "editors/StudioView.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"
#include "machines/MachineEditors.h"
#include "tests/editors/machineeditors/MachineEditorRig.h"

using namespace machine_editors_test;

namespace {

int OpenEditors()
{
    auto* factory = dynamic_cast<CBuiltinEditorFactory*>(GetMachineEditorFactory());
    return factory != nullptr ? factory->OpenCount() : -1;
}

} // namespace

TEST(MachineEditorLifetime, OpeningAndClosingAHundredTimesLeavesNothingOpen)
{
    CEditorRig rig;
    std::vector<CMachineContainer*> boxes;
    int x = 200;
    for (const char* type : {"KV Arpeggiator", "KV MIDI Input", "KV MIDI Output", "KV ControlChange Mapper"}) {
        boxes.push_back(rig.Add(type, x, 200));
        ASSERT_NE(boxes.back(), nullptr) << type;
        x += 160;
    }
    for (int round = 0; round < 100; ++round) {
        for (CMachineContainer* box : boxes) {
            rig.view->BoxCommand(box, studio_view::CStudioGestures::kShowCustomGui);
            ASSERT_NE(EditorIn(rig.view->EditorWindow(box)), nullptr) << round;
        }
        EXPECT_EQ(OpenEditors(), 4);
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            // Half by the box menu, half by the window's close button.
            if ((round + i) % 2 == 0)
                rig.Hide(boxes[i]);
            else
                rig.view->EditorWindow(boxes[i])->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(OpenEditors(), 0) << round;
    }

    // Deleted with their editors open: the editors go with the machines.
    for (CMachineContainer* box : boxes)
        rig.view->BoxCommand(box, studio_view::CStudioGestures::kShowCustomGui);
    EXPECT_EQ(OpenEditors(), 4);
    for (CMachineContainer* box : boxes)
        rig.view->BoxCommand(box, studio_view::CStudioGestures::kDeleteMachine);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenEditors(), 0);
}
