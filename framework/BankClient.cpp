#include "framework/BankClient.h"

#include "framework/BankServer.h"
#include "framework/Host.h"
#include "framework/ScopedLock.h"

CBankClient::CBankClient(CHost* host) : bankServer(nullptr), connected(false), bankAvailable(false)
{
    if (host != nullptr && host->SupportsFeature(0)) {
        CBankServer* server = nullptr;
        if (host->GetBankServer(&server) == 0 && server != nullptr) {
            bankServer = server;
            bankAvailable = true;
        }
    }
}

CBankClient::~CBankClient()
{
    if (connected && bankServer != nullptr) {
        {
            CScopedLock<CBankServer> hold(*bankServer);
            bankServer->UnregisterClient(this);
        }
        connected = false;
    }
}

int CBankClient::ConnectBankServer()
{
    if (connected || bankServer == nullptr)
        return kBankAlready;
    int result = 0;
    {
        CScopedLock<CBankServer> hold(*bankServer);
        result = bankServer->RegisterClient(this);
    }
    if (result == kBankDone)
        connected = true;
    return result;
}

int CBankClient::DisconnectBankServer()
{
    if (!connected)
        return kBankNotConnected;
    int result = 0;
    {
        CScopedLock<CBankServer> hold(*bankServer);
        result = bankServer->UnregisterClient(this);
    }
    // Refused (busy while notifying): still registered, so the destructor
    // must still unregister, or the service would keep a dangling client.
    if (result == kBankDone)
        connected = false;
    return result;
}

bool CBankClient::IsBankServerAvailable()
{
    return bankAvailable;
}

void CBankClient::OnBankAdded(int) {}
void CBankClient::OnBankEntryAdded(int, int) {}
void CBankClient::OnBankItemAdded(int, int) {}
