#include "host/MachineRegistry.h"

#include <cstring>

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

CMachine* CMachineRegistry::CreateByIdentifier(const char* identifier, CMachineInfo** descriptor) const
{
    CMachineInfo* found = FindByIdentifier(identifier);
    if (found == nullptr)
        return nullptr;
    if (descriptor != nullptr)
        *descriptor = found;
    return found->CreateMachine();
}
