#include "samples/BankExplorer.h"

#include <cstdio>
#include <vector>

#include "framework/BankServer.h"
#include "samples/SoundFontLoader.h"

namespace {

/// A service text: its length first, then the text into length + 1 chars.
template <class LengthQuery, class TextQuery>
bool ReadText(LengthQuery lengthQuery, TextQuery textQuery, std::string& out)
{
    std::int32_t length = 0;
    if (lengthQuery(&length) != kBankDone || length < 0)
        return false;
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    if (textQuery(buffer.data()) != kBankDone)
        return false;
    buffer.back() = '\0';
    out.assign(buffer.data());
    return true;
}

class ScopedLock {
public:
    explicit ScopedLock(CMutex& mutex) : mutex(mutex) { mutex.Lock(); }
    ~ScopedLock() { mutex.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CMutex& mutex;
};

} // namespace

CBankExplorer::CBankExplorer(CBankServer* server) : CBankClient(nullptr)
{
    bankServer = server;
    bankAvailable = server != nullptr;
    ConnectBankServer();
}

CBankExplorer::~CBankExplorer()
{
    // Before the members go: the service must not call into a half-gone
    // explorer.
    DisconnectBankServer();
}

int CBankExplorer::LoadBank(const std::string& path)
{
    CSoundFontLoader loader(bankServer);
    return loader.LoadBank(path.c_str());
}

std::string CBankExplorer::LoadErrorMessage(int code, const std::string& path)
{
    const char* format = "Error 0x%x Occured While Loading '%s'";
    const int length = std::snprintf(nullptr, 0, format, static_cast<unsigned>(code), path.c_str());
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, static_cast<unsigned>(code), path.c_str());
    return text;
}

void CBankExplorer::OnBankAdded(int bank)
{
    std::string name;
    const bool read = ReadText([&](std::int32_t* n) { return bankServer->GetBankNameLength(bank, n); },
                               [&](char* out) { return bankServer->GetBankName(bank, out); }, name);
    if (!read)
        return;
    banks.push_back({bank, std::move(name)});
    if (onBanksChanged)
        onBanksChanged();
}

std::vector<std::string> CBankExplorer::GetBankNames()
{
    ScopedLock lock(*this);
    std::vector<std::string> names;
    for (const KnownBank& bank : banks)
        names.push_back(bank.name);
    return names;
}

std::int32_t CBankExplorer::GetBankIndex(int row)
{
    ScopedLock lock(*this);
    if (row < 0 || row >= static_cast<int>(banks.size()))
        return -1;
    return banks[static_cast<std::size_t>(row)].index;
}

CBankExplorer::BankDetails CBankExplorer::ReadBank(std::int32_t bank)
{
    BankDetails details;
    if (bankServer == nullptr)
        return details;
    ScopedLock lock(*bankServer);
    std::int32_t pairs = 0;
    if (bankServer->GetPairCount(bank, &pairs) == kBankDone) {
        for (std::int32_t pair = 0; pair < pairs; ++pair) {
            std::string key, value;
            const bool keyRead = ReadText([&](std::int32_t* n) { return bankServer->GetKeyLength(bank, pair, n); },
                                          [&](char* out) { return bankServer->GetKey(bank, pair, out); }, key);
            const bool valueRead =
                ReadText([&](std::int32_t* n) { return bankServer->GetValueLength(bank, pair, n); },
                         [&](char* out) { return bankServer->GetValue(bank, pair, out); }, value);
            if (keyRead && valueRead)
                details.information.emplace_back(std::move(key), std::move(value));
        }
    }
    std::int32_t names = 0;
    if (bankServer->GetNameCount(bank, &names) == kBankDone) {
        for (std::int32_t item = 0; item < names; ++item) {
            std::string name;
            if (ReadText([&](std::int32_t* n) { return bankServer->GetNameLength(bank, item, n); },
                         [&](char* out) { return bankServer->GetName(bank, item, out); }, name))
                details.presets.push_back(std::move(name));
        }
    }
    return details;
}
