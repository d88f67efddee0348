// The MIDI input's and output's editors in a studio whose MIDI devices are
// the ports of a JACK server of the test's own: the lists' entries, a
// device chosen from the list opening it as the machine does, the channel,
// and a project's choice shown.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>

#include "editors/EditorWindow.h"
#include "editors/MIDIDeviceGUIView.h"
#include "framework/LittleEndian.h"
#include "host/MachineContainer.h"
#include "machines/MIDIDevices.h"
#include "machines/MIDIInput.h"
#include "machines/MIDIInputDevice.h"
#include "machines/MIDIOutput.h"
#include "machines/MIDIOutputDevice.h"
#include "tests/drivers/jack/WaitUntil.h"
#include "tests/editors/machineeditors/MachineEditorRig.h"
#include "tests/machines/JackMidiRig.h"

using namespace machine_editors_test;

namespace {

/// Opens the list with a click and clicks its entry.
void Choose(QComboBox* combo, int entry)
{
    QTest::mouseClick(combo, Qt::LeftButton, {}, combo->rect().center());
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(list->isVisible());
    // The list takes a release only once a double click could no longer be
    // the one that opened it.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QRect item = list->visualRect(combo->model()->index(entry, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    QCoreApplication::processEvents();
}

std::vector<QString> Entries(QComboBox* combo)
{
    std::vector<QString> entries;
    for (int i = 0; i < combo->count(); ++i)
        entries.push_back(combo->itemText(i));
    return entries;
}

class MIDIEditors : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(jack.Ready()) << jack.Why();
        // The studio's device lists come from the test's server.
        setenv("CORVANE_MIDI_API", "jack", 1);
        rig = std::make_unique<CEditorRig>();
        unsetenv("CORVANE_MIDI_API");
    }
    void TearDown() override { rig.reset(); }

    CMIDIDevices& Devices() { return rig->rig.application.MidiDevices(); }

    machines_test::CJackMidiRig jack;
    std::unique_ptr<CEditorRig> rig;
};

} // namespace

TEST_F(MIDIEditors, InputListsDevicesAndChannelsAndAChosenDeviceOpens)
{
    CMachineContainer* box = rig->Add("KV MIDI Input");
    ASSERT_NE(box, nullptr);
    auto* input = dynamic_cast<CMIDIInput*>(box->machine);
    CEditorWindow* window = rig->OpenFromBoxMenu(box);
    auto* view = dynamic_cast<CMIDIDeviceGUIView*>(EditorIn(window));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(window->size(), QSize(240, 64));
    EXPECT_EQ(view->objectName(), "MIDI Input");
    QComboBox* devices = view->findChild<QComboBox*>("DeviceCombo");
    QComboBox* channels = view->findChild<QComboBox*>("ChannelCombo");
    ASSERT_NE(devices, nullptr);
    ASSERT_NE(channels, nullptr);

    const int keyboard = Devices().FindInput(jack.KeyboardPort().c_str());
    ASSERT_GE(keyboard, 0);
    ASSERT_EQ(devices->count(), Devices().InputCount());
    EXPECT_EQ(devices->itemText(keyboard).toStdString(), jack.KeyboardPort());
    EXPECT_EQ(devices->currentIndex(), -1);
    std::vector<QString> expected{"All Channels"};
    for (int i = 1; i <= 16; ++i)
        expected.push_back(QStringLiteral("Channel %1").arg(i));
    EXPECT_EQ(Entries(channels), expected);
    EXPECT_EQ(channels->currentIndex(), 0);

    Choose(devices, keyboard);
    EXPECT_EQ(input->DevicePosition(), keyboard);
    EXPECT_EQ(Devices().Input(keyboard)->OpenCount(), 1);
    EXPECT_TRUE(jack_test::WaitUntil([&] { return jack.KeyboardConnections() == 1; }));
    Choose(channels, 3);
    EXPECT_EQ(input->GetChannel(), 2);

    // A project's state: no device, all channels; the lists follow.
    unsigned char state[8];
    WriteLittleEndian32(state, static_cast<std::uint32_t>(-1));
    WriteLittleEndian32(state + 4, static_cast<std::uint32_t>(-1));
    input->LoadState(state, 8, false);
    EXPECT_EQ(Devices().Input(keyboard)->OpenCount(), 0);
    EXPECT_TRUE(mainwindow_test::ProcessEventsUntil(
        [&] { return devices->currentIndex() == -1 && channels->currentIndex() == 0; }, 2000));
    Screenshot(window, "editor-midi-input");
}

TEST_F(MIDIEditors, OutputListsSixteenChannelsAndAChosenDeviceOpens)
{
    CMachineContainer* box = rig->Add("KV MIDI Output");
    ASSERT_NE(box, nullptr);
    auto* output = dynamic_cast<CMIDIOutput*>(box->machine);
    CEditorWindow* window = rig->OpenFromBoxMenu(box);
    auto* view = dynamic_cast<CMIDIDeviceGUIView*>(EditorIn(window));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->objectName(), "MIDI Output");
    QComboBox* devices = view->findChild<QComboBox*>("DeviceCombo");
    QComboBox* channels = view->findChild<QComboBox*>("ChannelCombo");
    std::vector<QString> expected;
    for (int i = 1; i <= 16; ++i)
        expected.push_back(QStringLiteral("Channel %1").arg(i));
    EXPECT_EQ(Entries(channels), expected);
    EXPECT_EQ(channels->currentIndex(), 0);

    const int module = Devices().FindOutput(jack.ModulePort().c_str());
    ASSERT_GE(module, 0);
    Choose(devices, module);
    EXPECT_EQ(output->DevicePosition(), module);
    EXPECT_EQ(Devices().Output(module)->OpenCount(), 1);
    EXPECT_TRUE(jack_test::WaitUntil([&] { return jack.ModuleConnections() == 1; }));
    Choose(channels, 9);
    EXPECT_EQ(output->GetChannel(), 9);

    // Set elsewhere: channel 16 shows.
    output->SetChannel(15);
    EXPECT_TRUE(mainwindow_test::ProcessEventsUntil([&] { return channels->currentIndex() == 15; }, 2000));
    Screenshot(window, "editor-midi-output");

    // Closing the editor leaves the device with the machine.
    rig->Hide(box);
    EXPECT_EQ(Devices().Output(module)->OpenCount(), 1);
}
