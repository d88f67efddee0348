#pragma once
// CRecordingBankClient: a bank client that writes down every notification it
// gets, with the state of its own lock at that moment, and can run a test's
// code inside the handler. Its log is guarded by its own lock, which the
// service takes around each notification.

#include <functional>
#include <vector>

#include "framework/BankClient.h"

enum class BankAddition { Bank, Entry, Item };

struct BankEvent {
    int client;
    BankAddition what;
    int bank;
    int item;   // 0 for a new bank
    bool operator==(const BankEvent&) const = default;
};

class CRecordingBankClient : public CBankClient {
public:
    CRecordingBankClient(CHost* host, int id, std::vector<BankEvent>* sharedLog = nullptr)
        : CBankClient(host), id(id), sharedLog(sharedLog)
    {
    }

    void OnBankAdded(int bank) override { Record(BankAddition::Bank, bank, 0); }
    void OnBankEntryAdded(int bank, int entry) override { Record(BankAddition::Entry, bank, entry); }
    void OnBankItemAdded(int bank, int item) override { Record(BankAddition::Item, bank, item); }

    const int id;
    std::vector<BankEvent> events;
    /// Notifications during which this client's lock was not held by the
    /// notifying thread.
    int unlockedNotifications = 0;
    std::function<void(CRecordingBankClient&, const BankEvent&)> onEvent;

private:
    void Record(BankAddition what, int bank, int item)
    {
        const BankEvent event{id, what, bank, item};
        if (!IsLockedByCaller() || !IsLocked())
            ++unlockedNotifications;
        events.push_back(event);
        if (sharedLog != nullptr)
            sharedLog->push_back(event);
        if (onEvent)
            onEvent(*this, event);
    }

    std::vector<BankEvent>* sharedLog;
};
