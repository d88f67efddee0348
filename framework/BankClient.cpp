#include "framework/BankClient.h"

#include "framework/BankServer.h"
#include "framework/Host.h"

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
        bankServer->Lock();
        bankServer->UnregisterClient(this);
        bankServer->Unlock();
        connected = false;
    }
}

int CBankClient::ConnectBankServer()
{
    if (connected || bankServer == nullptr)
        return kBankAlready;
    bankServer->Lock();
    const int result = bankServer->RegisterClient(this);
    bankServer->Unlock();
    if (result == kBankDone)
        connected = true;
    return result;
}

int CBankClient::DisconnectBankServer()
{
    if (!connected)
        return kBankNotConnected;
    bankServer->Lock();
    const int result = bankServer->UnregisterClient(this);
    bankServer->Unlock();
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
