// The built-in machines' editor models without any window: the grid's
// edges, the mapper list's posted removals, the MIDI lists without
// devices, and what a machine answers when no editor factory is installed.

#include <gtest/gtest.h>

#include <cstring>

#include "host/CorvHost.h"
#include "machines/Arpeggiator.h"
#include "machines/ArpeggiatorGUI.h"
#include "machines/ControlChangeMapper.h"
#include "machines/ControlChangeMapperGUI.h"
#include "machines/MIDIInput.h"
#include "machines/MIDIInputGUI.h"
#include "machines/MachineEditors.h"

TEST(ArpeggiatorGUIModel, TheGridCoversExactlyItsPixels)
{
    int row = -1, column = -1;
    EXPECT_FALSE(CArpeggiatorGUI::CellAt(47, 88, &row, &column));
    EXPECT_FALSE(CArpeggiatorGUI::CellAt(48, 87, &row, &column));
    ASSERT_TRUE(CArpeggiatorGUI::CellAt(48, 88, &row, &column));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 0);
    ASSERT_TRUE(CArpeggiatorGUI::CellAt(303, 183, &row, &column));
    EXPECT_EQ(row, 11);
    EXPECT_EQ(column, 31);
    EXPECT_FALSE(CArpeggiatorGUI::CellAt(304, 183, &row, &column));
    EXPECT_FALSE(CArpeggiatorGUI::CellAt(303, 184, &row, &column));

    CCorvHost host(256, 44100, 0);
    CArpeggiator arp(&host);
    CArpeggiatorGUI gui(arp);
    gui.SetLength(40);   // the up-down's range holds
    EXPECT_EQ(arp.GetLength(), 32);
    gui.SetLength(5);
    EXPECT_EQ(gui.ShadeOf(3), CArpeggiatorGUI::ColumnShade::Light);
    EXPECT_EQ(gui.ShadeOf(4), CArpeggiatorGUI::ColumnShade::Dark);
    EXPECT_EQ(gui.ShadeOf(5), CArpeggiatorGUI::ColumnShade::BeyondLength);
}

TEST(MappingGUIListModel, PostedRemovalsTakeTheirOwnRowOnceAndPassOverRowsGoneMeanwhile)
{
    CCorvHost host(256, 44100, 0);
    CControlChangeMapper mapper(&host);
    CMappingGUIList list(mapper);
    for (int i = 0; i < 4; ++i) {
        list.AddMapping();
        list.Rows().back()->SetMapIn(i);
        list.Rows().back()->SetMapOut(100 + i);
    }
    CMappingGUI* second = list.Rows()[1].get();
    CMappingGUI* last = list.Rows()[3].get();
    second->PostRemove();
    second->PostRemove();
    last->PostRemove();
    EXPECT_EQ(mapper.MappingCount(), 4);   // nothing before delivery

    // The machine drops its last pair before the requests arrive.
    mapper.RemoveLastMapping();
    EXPECT_EQ(list.Refresh(), CMappingGUIList::Change::Rows);
    EXPECT_TRUE(list.DeliverPosted());
    ASSERT_EQ(mapper.MappingCount(), 2);
    CControlChangeMapper::Mapping pair;
    mapper.GetMapping(0, &pair);
    EXPECT_EQ(pair.mapIn, 0);
    mapper.GetMapping(1, &pair);
    EXPECT_EQ(pair.mapIn, 2);
    EXPECT_EQ(pair.mapOut, 102);
    EXPECT_FALSE(list.DeliverPosted());

    // Numbers outside 0 .. 1024 are brought into it.
    list.Rows()[0]->SetMapOut(5000);
    list.Rows()[0]->SetMapIn(-3);
    mapper.GetMapping(0, &pair);
    EXPECT_EQ(pair.mapIn, 0);
    EXPECT_EQ(pair.mapOut, 1024);
}

TEST(MachineEditorModels, WithoutAFactoryNoMachineOffersAnEditorAndWithoutDevicesTheListsAreEmpty)
{
    ASSERT_EQ(GetMachineEditorFactory(), nullptr);
    CCorvHost host(256, 44100, 0);
    CArpeggiator arp(&host);
    std::int16_t top = 0, left = 0, bottom = 0, right = 0;
    EXPECT_FALSE(arp.GetEditorRect(&top, &left, &bottom, &right));
    EXPECT_EQ(arp.CreateEditor(nullptr), nullptr);
    arp.CloseEditor();

    CMIDIInput input(&host, nullptr);
    CMIDIInputGUI gui(input);
    EXPECT_TRUE(gui.DeviceNames().empty());
    EXPECT_EQ(gui.DeviceIndex(), -1);
    EXPECT_EQ(gui.ChooseDevice(0), "");
    EXPECT_EQ(gui.DeviceIndex(), -1);
    EXPECT_EQ(gui.ChannelNames().size(), 17u);
    gui.ChooseChannel(16);
    EXPECT_EQ(input.GetChannel(), 15);
    gui.ChooseChannel(0);
    EXPECT_EQ(input.GetChannel(), CMIDIInput::kAllChannels);
}
