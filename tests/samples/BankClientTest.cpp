// The client side of the bank service: finding the host's service,
// connecting, disconnecting, and leaving the service on destruction.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/samples/BankTestHost.h"
#include "tests/samples/BankTextReader.h"
#include "tests/samples/RecordingBankClient.h"

namespace {

void CreateBank(CBankServer& server, const char* name)
{
    ScopedBankLock lock(server);
    ASSERT_EQ(server.CreateBank(name, nullptr), kBankDone);
}

TEST(BankClient, ConnectsOnceAndDisconnectsOnce)
{
    CBankTestHost host;
    CRecordingBankClient client(&host, 0);
    EXPECT_TRUE(client.IsBankServerAvailable());
    EXPECT_EQ(client.DisconnectBankServer(), kBankNotConnected);

    EXPECT_EQ(client.ConnectBankServer(), kBankDone);
    EXPECT_EQ(client.ConnectBankServer(), kBankAlready);
    EXPECT_FALSE(host.Server().IsLocked()) << "connect left the service locked";
    CreateBank(host.Server(), "One");
    EXPECT_EQ(client.events, (std::vector<BankEvent>{{0, BankAddition::Bank, 0, 0}}));

    EXPECT_EQ(client.DisconnectBankServer(), kBankDone);
    EXPECT_EQ(client.DisconnectBankServer(), kBankNotConnected);
    EXPECT_FALSE(host.Server().IsLocked()) << "disconnect left the service locked";
    CreateBank(host.Server(), "Two");
    EXPECT_EQ(client.events.size(), 1u);

    // Disconnecting really cleared the flag: connecting again works.
    EXPECT_EQ(client.ConnectBankServer(), kBankDone);
    CreateBank(host.Server(), "Three");
    EXPECT_EQ(client.events.size(), 2u);
    EXPECT_EQ(client.DisconnectBankServer(), kBankDone);
}

TEST(BankClient, ConnectingWhileHoldingTheServiceLockNests)
{
    // A caller that already holds the service (a loader that creates a
    // machine mid-sequence) must not deadlock, and keeps its hold.
    CBankTestHost host;
    CRecordingBankClient client(&host, 0);
    host.Server().Lock();
    EXPECT_EQ(client.ConnectBankServer(), kBankDone);
    EXPECT_TRUE(host.Server().IsLockedByCaller());
    EXPECT_EQ(host.Server().CreateBank("Held", nullptr), kBankDone);
    EXPECT_EQ(client.DisconnectBankServer(), kBankDone);
    EXPECT_TRUE(host.Server().IsLockedByCaller());
    host.Server().Unlock();
    EXPECT_FALSE(host.Server().IsLocked());
    EXPECT_EQ(client.events.size(), 1u);
}

TEST(BankClient, HostWithoutTheFeatureGivesNoServer)
{
    CBankTestHost host(false);
    CRecordingBankClient client(&host, 0);
    EXPECT_FALSE(client.IsBankServerAvailable());
    EXPECT_EQ(host.BankServerRequests(), 0) << "the service was asked for though the feature is missing";
    EXPECT_EQ(client.ConnectBankServer(), kBankAlready);
    EXPECT_EQ(client.DisconnectBankServer(), kBankNotConnected);

    CreateBank(host.Server(), "Unseen");
    EXPECT_TRUE(client.events.empty());
}

TEST(BankClient, HostThatRefusesTheServerOrNoHostGivesNoServer)
{
    CBankTestHost refusing(true, false);
    CRecordingBankClient refused(&refusing, 0);
    EXPECT_EQ(refusing.BankServerRequests(), 1);
    EXPECT_FALSE(refused.IsBankServerAvailable());
    EXPECT_EQ(refused.ConnectBankServer(), kBankAlready);

    CRecordingBankClient hostless(nullptr, 1);
    EXPECT_FALSE(hostless.IsBankServerAvailable());
    EXPECT_EQ(hostless.ConnectBankServer(), kBankAlready);
    EXPECT_EQ(hostless.DisconnectBankServer(), kBankNotConnected);
}

TEST(BankClient, DestroyingAConnectedClientLeavesTheService)
{
    CBankTestHost host;
    std::vector<BankEvent> log;
    CRecordingBankClient first(&host, 0, &log);
    auto middle = std::make_unique<CRecordingBankClient>(&host, 1, &log);
    auto plain = std::make_unique<CBankClient>(&host);
    CRecordingBankClient last(&host, 2, &log);
    for (CBankClient* client : {static_cast<CBankClient*>(&first), static_cast<CBankClient*>(middle.get()),
                                plain.get(), static_cast<CBankClient*>(&last)})
        ASSERT_EQ(client->ConnectBankServer(), kBankDone);
    CreateBank(host.Server(), "Before");
    ASSERT_EQ(log.size(), 3u);

    // Were either still registered, the next notification would reach freed
    // memory and the sanitizer would stop the test.
    middle.reset();
    plain.reset();
    EXPECT_FALSE(host.Server().IsLocked());
    log.clear();
    {
        ScopedBankLock lock(host.Server());
        ASSERT_EQ(host.Server().CreateBank("After", nullptr), kBankDone);
        ASSERT_EQ(host.Server().AddName(1, "n", nullptr), kBankDone);
    }
    EXPECT_EQ(log, (std::vector<BankEvent>{{0, BankAddition::Bank, 1, 0},
                                           {2, BankAddition::Bank, 1, 0},
                                           {0, BankAddition::Item, 1, 0},
                                           {2, BankAddition::Item, 1, 0}}));
    EXPECT_EQ(first.DisconnectBankServer(), kBankDone);
    EXPECT_EQ(last.DisconnectBankServer(), kBankDone);
}

TEST(BankClient, ConnectingFromAHandlerIsRefusedAndLeavesTheClientFree)
{
    CBankTestHost host;
    CRecordingBankClient listener(&host, 0);
    CRecordingBankClient latecomer(&host, 1);
    ASSERT_EQ(listener.ConnectBankServer(), kBankDone);
    int nestedResult = -1;
    listener.onEvent = [&](CRecordingBankClient&, const BankEvent&) {
        nestedResult = latecomer.ConnectBankServer();
    };
    CreateBank(host.Server(), "Busy");
    EXPECT_EQ(nestedResult, kBankBusy);
    EXPECT_TRUE(latecomer.events.empty());

    // The refusal did not mark it connected, so a later attempt succeeds.
    listener.onEvent = nullptr;
    EXPECT_EQ(latecomer.ConnectBankServer(), kBankDone);
    CreateBank(host.Server(), "Calm");
    EXPECT_EQ(latecomer.events, (std::vector<BankEvent>{{1, BankAddition::Bank, 1, 0}}));
}

TEST(BankClient, ARefusedDisconnectKeepsTheClientRegisteredUntilItGoes)
{
    // Disconnecting while the service notifies is refused; the client must
    // then still count as connected, or its destructor would leave a
    // dangling client behind in the service (ASan reports the next addition).
    CBankTestHost host;
    auto client = std::make_unique<CRecordingBankClient>(&host, 0);
    ASSERT_EQ(client->ConnectBankServer(), kBankDone);
    int nestedResult = -1;
    client->onEvent = [&](CRecordingBankClient& self, const BankEvent&) {
        nestedResult = self.DisconnectBankServer();
    };
    CreateBank(host.Server(), "Busy");
    EXPECT_EQ(nestedResult, kBankBusy);
    client->onEvent = nullptr;
    CreateBank(host.Server(), "Still");
    EXPECT_EQ(client->events.size(), 2u) << "still registered after the refused disconnect";
    client.reset();
    CreateBank(host.Server(), "After");
}

} // namespace
