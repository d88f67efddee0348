#include "app/BankInfoCommand.h"

#include <nlohmann/json.hpp>

#include "framework/Error.h"
#include "samples/BankExplorer.h"
#include "samples/HostBankServer.h"

std::string BankInfoJson(const std::string& path)
{
    CHostBankServer server;
    CBankExplorer explorer(&server);
    const int code = explorer.LoadBank(path);
    if (code != 0)
        throw CError::FromText(CBankExplorer::LoadErrorMessage(code, path));

    const std::vector<std::string> banks = explorer.GetBankNames();
    const CBankExplorer::BankDetails details = explorer.ReadBank(explorer.GetBankIndex(0));
    nlohmann::ordered_json bank;
    bank["file"] = path;
    bank["name"] = banks.empty() ? std::string() : banks.front();
    bank["information"] = nlohmann::ordered_json::array();
    for (const auto& [key, value] : details.information)
        bank["information"].push_back({{"key", key}, {"value", value}});
    bank["presets"] = details.presets;
    // Bank texts are whatever bytes the file holds; ones that are not UTF-8
    // are replaced rather than ending the command.
    return bank.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}
