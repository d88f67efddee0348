// A machine finds the bank service only through a host that offers it.

#include <gtest/gtest.h>

#include "framework/BankServer.h"
#include "tests/framework/TestHost.h"
#include "tests/framework/TestMachine.h"

namespace {

void ExpectNoService(CMachine& machine)
{
    EXPECT_FALSE(machine.IsBankServerAvailable());
    EXPECT_EQ(machine.ConnectBankServer(), kBankAlready);
    EXPECT_EQ(machine.DisconnectBankServer(), kBankNotConnected);
    // Asking again changes nothing: no connection was made in between.
    EXPECT_EQ(machine.ConnectBankServer(), 1);
    EXPECT_EQ(machine.DisconnectBankServer(), 4);
}

TEST(BankClient, WithoutAHostThereIsNoService)
{
    CBareMachine machine(nullptr);
    ExpectNoService(machine);
}

TEST(BankClient, AHostWithoutTheFeatureIsNotAskedForTheService)
{
    CTestHost host;
    host.bankFeature = false;
    CBareMachine machine(&host);
    EXPECT_EQ(host.bankServerRequests, 0);
    ExpectNoService(machine);
}

TEST(BankClient, AHostThatHasNoServiceToHandOut)
{
    CTestHost host;
    host.bankFeature = true;
    host.bankServer = nullptr;
    CBareMachine machine(&host);
    EXPECT_EQ(host.bankServerRequests, 1);
    ExpectNoService(machine);
}

} // namespace
