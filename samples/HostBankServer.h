#pragma once
// CHostBankServer: the host's sample-bank service. Banks only grow while the
// program runs; a bank's index is its position and never changes. Adding
// operations and the bank-name queries need the caller to hold the lock;
// every addition is announced to the registered clients, in registration
// order, each under its own lock.

#include <string>
#include <vector>

#include "framework/BankServer.h"

class CHostBankServer : public CBankServer {
public:
    CHostBankServer() = default;
    ~CHostBankServer() override = default;

    int RegisterClient(CBankClient* client) override;
    int UnregisterClient(CBankClient* client) override;
    int CreateBank(const char* name, std::int32_t* bankIndex) override;
    int AddInformationPair(std::int32_t bank, const char* key, const char* value, std::int32_t* pairIndex) override;
    int GetBankName(std::int32_t bank, char* out) override;
    int GetBankNameLength(std::int32_t bank, std::int32_t* length) override;
    int GetPairCount(std::int32_t bank, std::int32_t* count) override;
    int GetKeyLength(std::int32_t bank, std::int32_t pair, std::int32_t* length) override;
    int GetKey(std::int32_t bank, std::int32_t pair, char* out) override;
    int GetValueLength(std::int32_t bank, std::int32_t pair, std::int32_t* length) override;
    int GetValue(std::int32_t bank, std::int32_t pair, char* out) override;
    int AddName(std::int32_t bank, const char* name, std::int32_t* nameIndex) override;
    int GetNameCount(std::int32_t bank, std::int32_t* count) override;
    int GetName(std::int32_t bank, std::int32_t item, char* out) override;
    int GetNameLength(std::int32_t bank, std::int32_t item, std::int32_t* length) override;

    int BankCount() const { return static_cast<int>(banks.size()); }

private:
    struct Pair {
        std::string key;
        std::string value;
    };
    struct Bank {
        std::string name;
        std::vector<Pair> pairs;
        std::vector<std::string> names;
    };
    enum class Addition { Bank, Pair, Name };

    /// 0, or the code that refuses a change: not locked (3), busy (6).
    int CheckWritable() const;
    const Bank* FindBank(std::int32_t bank) const;
    void Notify(Addition what, std::int32_t bank, std::int32_t item);

    std::vector<CBankClient*> clients;
    std::vector<Bank> banks;
    int notificationDepth = 0;
};
