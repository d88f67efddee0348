#pragma once
// CBankServer: the sample-bank service every machine can browse. A bank is a
// name with information pairs (key, value) and preset names. Callers lock the
// service around each sequence of calls; clients are told of every addition.
//
// Text queries come in pairs: ask the length (characters without the
// terminating zero), then pass a buffer of length + 1.

#include <cstdint>

#include "framework/Mutex.h"

class CBankClient;

enum BankResult : int {
    kBankDone = 0,
    kBankAlready = 1,        // registered twice, not registered, connected twice, no server
    kBankBadIndex = 2,       // bank or item index out of range, or a missing out argument
    kBankNotLocked = 3,      // the caller does not hold the service's lock
    kBankNotConnected = 4,   // disconnect without a connection
    kBankBusy = 6,           // clients are being notified of an addition
};

class CBankServer : public CMutex {
public:
    virtual int RegisterClient(CBankClient* client) = 0;
    virtual int UnregisterClient(CBankClient* client) = 0;
    virtual int CreateBank(const char* name, std::int32_t* bankIndex) = 0;
    virtual int AddInformationPair(std::int32_t bank, const char* key, const char* value,
                                   std::int32_t* pairIndex) = 0;
    virtual int GetBankName(std::int32_t bank, char* out) = 0;
    virtual int GetBankNameLength(std::int32_t bank, std::int32_t* length) = 0;
    virtual int GetPairCount(std::int32_t bank, std::int32_t* count) = 0;
    virtual int GetKeyLength(std::int32_t bank, std::int32_t pair, std::int32_t* length) = 0;
    virtual int GetKey(std::int32_t bank, std::int32_t pair, char* out) = 0;
    virtual int GetValueLength(std::int32_t bank, std::int32_t pair, std::int32_t* length) = 0;
    virtual int GetValue(std::int32_t bank, std::int32_t pair, char* out) = 0;
    virtual int AddName(std::int32_t bank, const char* name, std::int32_t* nameIndex) = 0;
    virtual int GetNameCount(std::int32_t bank, std::int32_t* count) = 0;
    virtual int GetName(std::int32_t bank, std::int32_t item, char* out) = 0;
    virtual int GetNameLength(std::int32_t bank, std::int32_t item, std::int32_t* length) = 0;
};
