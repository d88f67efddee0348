#pragma once
// CMachineRegistry: every machine type the studio can create, in
// registration order: the host's built-in types, then each plug-in library's,
// then the VST plug-ins'. It owns the descriptors and releases them when it
// is destroyed. Filled on the start-up thread before audio starts, then only
// read.

#include <memory>
#include <string>
#include <vector>

#include "framework/MachineInfo.h"

class CMachine;

class CMachineRegistry {
public:
    struct Entry {
        CMachineInfo* descriptor = nullptr;
        IconHandle smallIcon = nullptr;   // the descriptor's, or the application's
        IconHandle largeIcon = nullptr;
        std::string library;              // the plug-in library it came from; "" for built-in types
    };

    CMachineRegistry() = default;
    ~CMachineRegistry();
    CMachineRegistry(const CMachineRegistry&) = delete;
    CMachineRegistry& operator=(const CMachineRegistry&) = delete;

    /// The application's icons, for descriptors that have none.
    void SetFallbackIcons(IconHandle small, IconHandle large);
    /// Types registered from now on are attributed to this library file.
    void SetCurrentLibrary(std::string path) { currentLibrary = std::move(path); }

    /// Appends; the registry owns the descriptor from now on.
    void Register(CMachineInfo* descriptor);

    /// Creates a machine of the first type named exactly name. Throws
    /// "Machine <%s> Not Found".
    CMachine* CreateByName(const char* name, CMachineInfo** descriptor = nullptr) const;
    /// The first type whose identifier equals identifier, or null.
    CMachineInfo* FindByIdentifier(const char* identifier) const;
    /// As above, but when several types share the identifier (VST
    /// identifiers keep only 16 bits of a plug-in's ID, and real plug-ins
    /// collide), the one whose name the machine's instance name carries
    /// ("<type>" or "<type> <n>", as new machines are named) wins.
    CMachineInfo* FindByIdentifier(const char* identifier, const char* instanceName) const;
    /// A machine of the first type with this identifier, or null when there
    /// is none (the caller reports the missing type).
    CMachine* CreateByIdentifier(const char* identifier, CMachineInfo** descriptor = nullptr) const;

    int Count() const { return static_cast<int>(entries.size()); }
    /// Entries in registration order.
    const Entry& At(int index) const { return *entries[static_cast<std::size_t>(index)]; }
    auto begin() const { return entries.begin(); }
    auto end() const { return entries.end(); }

private:
    std::vector<std::unique_ptr<Entry>> entries;
    IconHandle fallbackSmallIcon = nullptr;
    IconHandle fallbackLargeIcon = nullptr;
    std::string currentLibrary;
};
