// The bank explorer's model on a real service and real bank files: banks
// appear in load order, a chosen bank reads back its pairs and presets, and
// a failed load produces the explorer's message.

#include <gtest/gtest.h>

#include <thread>

#include "samples/BankExplorer.h"
#include "samples/HostBankServer.h"
#include "tests/project/ScratchFolder.h"
#include "tests/samples/SoundFontBytes.h"

using namespace bank_test;
using project_test::CScratchFolder;

TEST(BankExplorer, BanksLoadedTwiceAppearInLoadOrderWithTheirContents)
{
    CScratchFolder folder;
    CHostBankServer server;
    CBankExplorer explorer(&server);
    int changes = 0;
    explorer.onBanksChanged = [&] {
        EXPECT_TRUE(explorer.IsLockedByCaller()) << "the service holds the explorer's lock";
        ++changes;
    };
    WriteFile(folder.File("a.sf2"), SmallBank("Alpha", {"Piano", "Organ"}));
    WriteFile(folder.File("b.sf2"), SmallBank("Beta", {"Drums"}));
    EXPECT_EQ(explorer.LoadBank(folder.File("a.sf2")), 0);
    // The second load runs on another thread, as the window runs it.
    int code = -1;
    std::thread worker([&] { code = explorer.LoadBank(folder.File("b.sf2")); });
    worker.join();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(explorer.GetBankNames(), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(explorer.GetBankIndex(0), 0);
    EXPECT_EQ(explorer.GetBankIndex(1), 1);
    EXPECT_EQ(explorer.GetBankIndex(2), -1);

    const CBankExplorer::BankDetails alpha = explorer.ReadBank(0);
    EXPECT_EQ(alpha.presets, (std::vector<std::string>{"Piano", "Organ"}));
    ASSERT_EQ(alpha.information.size(), 2u);
    EXPECT_EQ(alpha.information[0], (std::pair<std::string, std::string>{"SoundFont Version", "2.1"}));
    EXPECT_EQ(alpha.information[1], (std::pair<std::string, std::string>{"Sound Engine", "EMU8000"}));
    EXPECT_TRUE(explorer.ReadBank(5).presets.empty());
}

TEST(BankExplorer, AFailedLoadIsReportedWithCodeAndPath)
{
    CScratchFolder folder;
    CHostBankServer server;
    CBankExplorer explorer(&server);
    WriteFile(folder.File("broken.sf2"), Riff("sfbk", {InfoList("No presets")}));
    EXPECT_EQ(explorer.LoadBank(folder.File("broken.sf2")), 8);
    EXPECT_EQ(explorer.LoadBank(folder.File("absent.sf2")), 7);
    EXPECT_TRUE(explorer.GetBankNames().empty());
    EXPECT_EQ(CBankExplorer::LoadErrorMessage(8, "/banks/x.sf2"), "Error 0x8 Occured While Loading '/banks/x.sf2'");
    EXPECT_EQ(CBankExplorer::LoadErrorMessage(0x1f, "100%.sf2"), "Error 0x1f Occured While Loading '100%.sf2'");
}

TEST(BankExplorer, BanksAddedBeforeItConnectedAreNotListedAndItLeavesTheService)
{
    CScratchFolder folder;
    CHostBankServer server;
    WriteFile(folder.File("a.sf2"), SmallBank("Early", {"x"}));
    CBankExplorer early(&server);
    ASSERT_EQ(early.LoadBank(folder.File("a.sf2")), 0);
    {
        CBankExplorer late(&server);
        EXPECT_TRUE(late.GetBankNames().empty());
        ASSERT_EQ(late.LoadBank(folder.File("a.sf2")), 0);
        EXPECT_EQ(late.GetBankNames(), std::vector<std::string>{"Early"});
        EXPECT_EQ(late.GetBankIndex(0), 1);
    }
    // The gone explorer was unregistered: a third load notifies only one.
    ASSERT_EQ(early.LoadBank(folder.File("a.sf2")), 0);
    EXPECT_EQ(early.GetBankNames().size(), 3u);
    server.Lock();
    EXPECT_EQ(server.UnregisterClient(&early), 0);
    EXPECT_EQ(server.RegisterClient(&early), 0);
    server.Unlock();
}
