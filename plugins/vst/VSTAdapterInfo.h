#pragma once
// CVSTAdapterInfo: the machine type of one VST 2 plug-in file. The scan
// creates one per file it registers; the plug-in's library is loaded exactly
// while machines of the type exist, so a studio with no VST machines keeps
// no plug-in code in memory.
//
// Threads: created on the start-up thread; machines are created and
// released on the user-interface (or command-line) thread.

#include <cstdint>
#include <string>

#include "framework/MachineInfo.h"
#include "plugins/vst/VstAbi.h"

class CHost;

/// Which exported name the entry point was found under.
enum class VSTEntryKind { PluginMain, Main };

class CVSTAdapterInfo : public CMachineInfo {
public:
    /// fileName is the plug-in's file name, folder ends with "/".
    CVSTAdapterInfo(CHost* host, const std::string& fileName, const std::string& folder, const std::string& path,
                    VSTEntryKind entryKind, std::int32_t uniqueId);
    ~CVSTAdapterInfo() override;

    /// A new adapter, or null when the library or its entry point can no
    /// longer be found; LastLoadError() then says why.
    CMachine* CreateMachine() override;

    /// "VST:", a second colon, then the low four bits of the unique ID's
    /// bytes at shifts 0, 4, 16 and 24 as byte values, ending at the first
    /// zero. Stored projects carry these bytes, so they never change.
    static std::string MakeIdentifier(std::int32_t uniqueId);
    /// The file name without its extension (".so"); a name without a dot
    /// stays whole.
    static std::string DisplayNameOf(const std::string& fileName);

    const std::string& Path() const { return path; }
    const std::string& Folder() const { return folder; }
    VSTEntryKind EntryKind() const { return entryKind; }
    int InstanceCount() const { return instanceCount; }
    bool IsLibraryLoaded() const { return library != nullptr; }
    const std::string& LastLoadError() const { return lastLoadError; }
    CHost* Host() const { return host; }

    // Used by the adapter.
    vst::EntryFunction Entry() const { return entry; }
    /// One adapter less; the library is unloaded with the last.
    void InstanceDestroyed();

private:
    bool LoadLibrary();

    CHost* host;
    std::string displayName;
    std::string identifierText;
    std::string folder;
    std::string path;
    VSTEntryKind entryKind;
    void* library = nullptr;
    vst::EntryFunction entry = nullptr;
    int instanceCount = 0;
    std::string lastLoadError;
};
