#include "plugins/vst/VSTScanCache.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using nlohmann::json;

json ToJson(const VSTScanRecord& record)
{
    json item;
    item["size"] = record.size;
    item["modifiedNs"] = record.modifiedNs;
    item["ok"] = record.ok;
    if (!record.ok) {
        item["reason"] = record.reason;
        return item;
    }
    item["entry"] = record.entry == VSTEntryKind::PluginMain ? "VSTPluginMain" : "main";
    item["uniqueId"] = record.uniqueId;
    item["inputs"] = record.inputs;
    item["outputs"] = record.outputs;
    item["parameters"] = record.parameters;
    item["programs"] = record.programs;
    item["flags"] = record.flags;
    item["midi"] = record.midi;
    item["effectName"] = record.effectName;
    item["vendor"] = record.vendor;
    return item;
}

VSTScanRecord FromJson(const std::string& path, const json& item)
{
    VSTScanRecord record;
    record.path = path;
    record.size = item.value("size", std::int64_t{-1});
    record.modifiedNs = item.value("modifiedNs", std::int64_t{-1});
    record.ok = item.value("ok", false);
    record.reason = item.value("reason", std::string{});
    record.entry = item.value("entry", std::string{}) == "main" ? VSTEntryKind::Main : VSTEntryKind::PluginMain;
    record.uniqueId = item.value("uniqueId", 0);
    record.inputs = item.value("inputs", 0);
    record.outputs = item.value("outputs", 0);
    record.parameters = item.value("parameters", 0);
    record.programs = item.value("programs", 0);
    record.flags = item.value("flags", 0);
    record.midi = item.value("midi", false);
    record.effectName = item.value("effectName", std::string{});
    record.vendor = item.value("vendor", std::string{});
    return record;
}

std::string Printable(const std::string& identifier)
{
    std::string text;
    for (unsigned char c : identifier) {
        if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            text += escaped;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

} // namespace

bool ReadFileIdentity(const std::string& path, std::int64_t* size, std::int64_t* modifiedNs)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return false;
    *size = static_cast<std::int64_t>(info.st_size);
    *modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
}

std::string CVSTScanCache::DefaultPath()
{
    std::string folder;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && xdg[0] == '/')
        folder = xdg;
    else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        folder = std::string(home) + "/.cache";
    if (folder.empty())
        return {};
    return folder + "/Corvane Studio/vst-cache.json";
}

CVSTScanCache::CVSTScanCache(std::string path) : path(std::move(path)) {}

void CVSTScanCache::Load()
{
    records.clear();
    changed = false;
    if (path.empty())
        return;
    std::ifstream file(path);
    if (!file)
        return;
    const json document = json::parse(file, nullptr, false);
    if (!document.is_object() || document.value("version", 0) != kFormatVersion)
        return;
    const auto files = document.find("files");
    if (files == document.end() || !files->is_object())
        return;
    for (auto item = files->begin(); item != files->end(); ++item) {
        if (item.value().is_object())
            records[item.key()] = FromJson(item.key(), item.value());
    }
}

bool CVSTScanCache::Save() const
{
    if (path.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    json document;
    document["version"] = kFormatVersion;
    document["files"] = json::object();
    for (const auto& [file, record] : records)
        document["files"][file] = ToJson(record);
    const std::string temporary = path + ".tmp." + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out)
            return false;
        out << document.dump(1, ' ', false, json::error_handler_t::replace) << "\n";
        if (!out.flush())
            return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

const VSTScanRecord* CVSTScanCache::Find(const std::string& file, std::int64_t size, std::int64_t modifiedNs) const
{
    const auto found = records.find(file);
    if (found == records.end() || found->second.size != size || found->second.modifiedNs != modifiedNs)
        return nullptr;
    return &found->second;
}

void CVSTScanCache::Put(const VSTScanRecord& record)
{
    records[record.path] = record;
    changed = true;
}

void CVSTScanCache::Clear()
{
    changed = changed || !records.empty();
    records.clear();
}

std::string FormatVstCache(const CVSTScanCache& cache)
{
    std::string text;
    for (const auto& [file, record] : cache.Records()) {
        if (record.ok) {
            text += "ok\t" + Printable(CVSTAdapterInfo::MakeIdentifier(record.uniqueId)) + "\t" +
                    (record.entry == VSTEntryKind::PluginMain ? "VSTPluginMain" : "main") + "\t" +
                    std::to_string(record.inputs) + " in, " + std::to_string(record.outputs) + " out\t" + file +
                    "\n";
        } else {
            text += "failed\t" + record.reason + "\t" + file + "\n";
        }
    }
    return text;
}
