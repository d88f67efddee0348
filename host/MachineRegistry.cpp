#include "host/MachineRegistry.h"

#include <cstring>
#include <string>

#include "framework/Error.h"
#include "framework/Machine.h"

CMachineRegistry::~CMachineRegistry()
{
    // Front to back, as the types were registered.
    for (auto& entry : entries) {
        if (entry->descriptor != nullptr)
            entry->descriptor->Release();
    }
}

void CMachineRegistry::SetFallbackIcons(IconHandle small, IconHandle large)
{
    fallbackSmallIcon = small;
    fallbackLargeIcon = large;
}

void CMachineRegistry::Register(CMachineInfo* descriptor)
{
    if (descriptor == nullptr)
        return;
    auto entry = std::make_unique<Entry>();
    entry->descriptor = descriptor;
    entry->smallIcon = descriptor->smallIcon != nullptr ? descriptor->smallIcon : fallbackSmallIcon;
    entry->largeIcon = descriptor->largeIcon != nullptr ? descriptor->largeIcon : fallbackLargeIcon;
    entry->library = currentLibrary;
    entries.push_back(std::move(entry));
}

CMachine* CMachineRegistry::CreateByName(const char* name, CMachineInfo** descriptor) const
{
    for (const auto& entry : entries) {
        const char* entryName = entry->descriptor->name;
        if (entryName != nullptr && name != nullptr && std::strcmp(entryName, name) == 0) {
            CMachine* machine = entry->descriptor->CreateMachine();
            if (descriptor != nullptr)
                *descriptor = entry->descriptor;
            return machine;
        }
    }
    throw CError("Machine <%s> Not Found", name != nullptr ? name : "");
}

CMachineInfo* CMachineRegistry::FindByIdentifier(const char* identifier) const
{
    if (identifier == nullptr)
        return nullptr;
    for (const auto& entry : entries) {
        const char* entryIdentifier = entry->descriptor->identifier;
        if (entryIdentifier != nullptr && std::strcmp(entryIdentifier, identifier) == 0)
            return entry->descriptor;
    }
    return nullptr;
}

CMachineInfo* CMachineRegistry::FindByIdentifier(const char* identifier, const char* instanceName) const
{
    CMachineInfo* first = FindByIdentifier(identifier);
    if (first == nullptr || instanceName == nullptr)
        return first;
    // The longest type name the instance name starts with: "Foo Bar 1"
    // is a "Foo Bar", not a "Foo".
    const std::string instance = instanceName;
    CMachineInfo* best = first;
    std::size_t bestLength = 0;
    for (const auto& entry : entries) {
        const char* entryIdentifier = entry->descriptor->identifier;
        const char* name = entry->descriptor->name;
        if (entryIdentifier == nullptr || name == nullptr || std::strcmp(entryIdentifier, identifier) != 0)
            continue;
        const std::string typeName = name;
        if ((instance == typeName || instance.starts_with(typeName + " ")) && typeName.size() > bestLength) {
            best = entry->descriptor;
            bestLength = typeName.size();
        }
    }
    return best;
}

CMachine* CMachineRegistry::CreateByIdentifier(const char* identifier, CMachineInfo** descriptor) const
{
    CMachineInfo* found = FindByIdentifier(identifier);
    if (found == nullptr)
        return nullptr;
    if (descriptor != nullptr)
        *descriptor = found;
    return found->CreateMachine();
}
