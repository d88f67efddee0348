#include "samples/HostBankServer.h"

#include <algorithm>
#include <cstring>

#include "framework/BankClient.h"
#include "framework/ScopedLock.h"

namespace {

int CopyText(const std::string& text, char* out)
{
    if (out == nullptr)
        return kBankBadIndex;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return kBankDone;
}

int StoreLength(const std::string& text, std::int32_t* length)
{
    if (length == nullptr)
        return kBankBadIndex;
    *length = static_cast<std::int32_t>(text.size());
    return kBankDone;
}

} // namespace

int CHostBankServer::CheckWritable() const
{
    // "Locked" means locked by the caller: another thread's lock does not
    // make this caller's change safe.
    if (!IsLockedByCaller())
        return kBankNotLocked;
    if (notificationDepth > 0)
        return kBankBusy;
    return kBankDone;
}

const CHostBankServer::Bank* CHostBankServer::FindBank(std::int32_t bank) const
{
    if (bank < 0 || bank >= static_cast<std::int32_t>(banks.size()))
        return nullptr;
    return &banks[static_cast<std::size_t>(bank)];
}

void CHostBankServer::Notify(Addition what, std::int32_t bank, std::int32_t item)
{
    ++notificationDepth;
    for (CBankClient* client : clients) {
        CScopedLock<CBankClient> hold(*client);
        switch (what) {
        case Addition::Bank:
            client->OnBankAdded(bank);
            break;
        case Addition::Pair:
            client->OnBankEntryAdded(bank, item);
            break;
        case Addition::Name:
            client->OnBankItemAdded(bank, item);
            break;
        }
    }
    --notificationDepth;
}

int CHostBankServer::RegisterClient(CBankClient* client)
{
    if (const int refused = CheckWritable())
        return refused;
    if (client == nullptr || std::find(clients.begin(), clients.end(), client) != clients.end())
        return kBankAlready;
    clients.push_back(client);
    return kBankDone;
}

int CHostBankServer::UnregisterClient(CBankClient* client)
{
    if (const int refused = CheckWritable())
        return refused;
    const auto found = std::find(clients.begin(), clients.end(), client);
    if (found == clients.end())
        return kBankAlready;
    clients.erase(found);
    return kBankDone;
}

int CHostBankServer::CreateBank(const char* name, std::int32_t* bankIndex)
{
    if (const int refused = CheckWritable())
        return refused;
    Bank bank;
    bank.name = name != nullptr ? name : "";
    banks.push_back(std::move(bank));
    const auto index = static_cast<std::int32_t>(banks.size() - 1);
    Notify(Addition::Bank, index, 0);
    if (bankIndex != nullptr)
        *bankIndex = index;
    return kBankDone;
}

int CHostBankServer::AddInformationPair(std::int32_t bank, const char* key, const char* value,
                                        std::int32_t* pairIndex)
{
    if (const int refused = CheckWritable())
        return refused;
    if (FindBank(bank) == nullptr)
        return kBankBadIndex;
    auto& pairs = banks[static_cast<std::size_t>(bank)].pairs;
    pairs.push_back({key != nullptr ? key : "", value != nullptr ? value : ""});
    const auto index = static_cast<std::int32_t>(pairs.size() - 1);
    Notify(Addition::Pair, bank, index);
    if (pairIndex != nullptr)
        *pairIndex = index;
    return kBankDone;
}

int CHostBankServer::AddName(std::int32_t bank, const char* name, std::int32_t* nameIndex)
{
    if (const int refused = CheckWritable())
        return refused;
    if (FindBank(bank) == nullptr)
        return kBankBadIndex;
    auto& names = banks[static_cast<std::size_t>(bank)].names;
    names.emplace_back(name != nullptr ? name : "");
    const auto index = static_cast<std::int32_t>(names.size() - 1);
    Notify(Addition::Name, bank, index);
    if (nameIndex != nullptr)
        *nameIndex = index;
    return kBankDone;
}

int CHostBankServer::GetBankName(std::int32_t bank, char* out)
{
    if (!IsLockedByCaller())
        return kBankNotLocked;
    const Bank* found = FindBank(bank);
    return found != nullptr ? CopyText(found->name, out) : kBankBadIndex;
}

int CHostBankServer::GetBankNameLength(std::int32_t bank, std::int32_t* length)
{
    if (!IsLockedByCaller())
        return kBankNotLocked;
    const Bank* found = FindBank(bank);
    return found != nullptr ? StoreLength(found->name, length) : kBankBadIndex;
}

int CHostBankServer::GetPairCount(std::int32_t bank, std::int32_t* count)
{
    const Bank* found = FindBank(bank);
    if (found == nullptr || count == nullptr)
        return kBankBadIndex;
    *count = static_cast<std::int32_t>(found->pairs.size());
    return kBankDone;
}

int CHostBankServer::GetKeyLength(std::int32_t bank, std::int32_t pair, std::int32_t* length)
{
    const Bank* found = FindBank(bank);
    if (found == nullptr || pair < 0 || pair >= static_cast<std::int32_t>(found->pairs.size()))
        return kBankBadIndex;
    return StoreLength(found->pairs[static_cast<std::size_t>(pair)].key, length);
}

int CHostBankServer::GetKey(std::int32_t bank, std::int32_t pair, char* out)
{
    const Bank* found = FindBank(bank);
    if (found == nullptr || pair < 0 || pair >= static_cast<std::int32_t>(found->pairs.size()))
        return kBankBadIndex;
    return CopyText(found->pairs[static_cast<std::size_t>(pair)].key, out);
}

int CHostBankServer::GetValueLength(std::int32_t bank, std::int32_t pair, std::int32_t* length)
{
    const Bank* found = FindBank(bank);
    if (found == nullptr || pair < 0 || pair >= static_cast<std::int32_t>(found->pairs.size()))
        return kBankBadIndex;
    return StoreLength(found->pairs[static_cast<std::size_t>(pair)].value, length);
}

int CHostBankServer::GetValue(std::int32_t bank, std::int32_t pair, char* out)
{
    const Bank* found = FindBank(bank);
    if (found == nullptr || pair < 0 || pair >= static_cast<std::int32_t>(found->pairs.size()))
        return kBankBadIndex;
    return CopyText(found->pairs[static_cast<std::size_t>(pair)].value, out);
}

int CHostBankServer::GetNameCount(std::int32_t bank, std::int32_t* count)
{
    const Bank* found = FindBank(bank);
    if (found == nullptr || count == nullptr)
        return kBankBadIndex;
    *count = static_cast<std::int32_t>(found->names.size());
    return kBankDone;
}

int CHostBankServer::GetName(std::int32_t bank, std::int32_t item, char* out)
{
    const Bank* found = FindBank(bank);
    if (found == nullptr || item < 0 || item >= static_cast<std::int32_t>(found->names.size()))
        return kBankBadIndex;
    return CopyText(found->names[static_cast<std::size_t>(item)], out);
}

int CHostBankServer::GetNameLength(std::int32_t bank, std::int32_t item, std::int32_t* length)
{
    const Bank* found = FindBank(bank);
    if (found == nullptr || item < 0 || item >= static_cast<std::int32_t>(found->names.size()))
        return kBankBadIndex;
    return StoreLength(found->names[static_cast<std::size_t>(item)], length);
}
