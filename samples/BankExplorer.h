#pragma once
// CBankExplorer: what the bank explorer window shows, without the window. It
// is a client of the sample-bank service, connected for its whole life: it
// keeps the names of the banks as they are added and reads a chosen bank's
// information pairs and preset names. Loading a SoundFont through it may run
// on any thread but the audio thread.
//
// Threads: OnBankAdded runs on the thread that adds the bank, with the
// service locked and this client's lock held; everything else takes the
// service's lock before this client's (the service's lock order).

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/BankClient.h"

class CBankServer;

class CBankExplorer : public CBankClient {
public:
    struct BankDetails {
        std::vector<std::pair<std::string, std::string>> information;
        std::vector<std::string> presets;
    };

    /// Connects to the service; without one the explorer stays empty.
    explicit CBankExplorer(CBankServer* server);
    ~CBankExplorer() override;

    /// Loads a SoundFont bank into the service: the loader's code (0 done).
    /// Blocks while it reads the whole file.
    int LoadBank(const std::string& path);
    /// "Error 0x%x Occured While Loading '%s'", the explorer's message for a
    /// failed load.
    static std::string LoadErrorMessage(int code, const std::string& path);

    /// The names of the banks added while the explorer was connected, in the
    /// order of their indexes.
    std::vector<std::string> GetBankNames();
    /// The bank index of entry `row` of GetBankNames; -1 outside.
    std::int32_t GetBankIndex(int row);
    /// The pairs and names of a bank; names whose length cannot be read are
    /// skipped.
    BankDetails ReadBank(std::int32_t bank);

    /// Called after a bank's name was taken in, on the adding thread, with
    /// this client's lock held: it must only hand the news on.
    std::function<void()> onBanksChanged;

    void OnBankAdded(int bank) override;

private:
    struct KnownBank {
        std::int32_t index;
        std::string name;
    };
    std::vector<KnownBank> banks;
};
