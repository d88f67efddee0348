#pragma once
// CBankClient: the bank-service side of every machine. It finds the host's
// service at construction, connects on request and disconnects when it is
// destroyed; the service calls the notifications with this client's lock
// held.

#include "framework/Mutex.h"
#include "framework/Packing.h"

class CBankServer;
class CHost;

CORVANE_PACK_BEGIN

class CBankClient : public CMutex {
public:
    explicit CBankClient(CHost* host);
    ~CBankClient() override;

    /// 1 when already connected or without a service; else the service's
    /// code for registering (0: connected).
    virtual int ConnectBankServer();
    /// 4 when not connected; else the service's code for unregistering.
    virtual int DisconnectBankServer();
    virtual bool IsBankServerAvailable();
    virtual void OnBankAdded(int bank);
    virtual void OnBankEntryAdded(int bank, int entry);
    virtual void OnBankItemAdded(int bank, int item);

protected:
    CBankServer* bankServer;
    bool connected;
    bool bankAvailable;
};

CORVANE_PACK_END
