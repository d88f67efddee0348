#include "plugins/vst/VSTAdapterInfo.h"

#include <cstdio>

#include "plugins/vst/VSTAdapter.h"
#include "platform/DynamicLibrary.h"

CVSTAdapterInfo::CVSTAdapterInfo(CHost* host, const std::string& fileName, const std::string& folder,
                                 const std::string& path, VSTEntryKind entryKind, std::int32_t uniqueId)
    : host(host), displayName(DisplayNameOf(fileName)), identifierText(MakeIdentifier(uniqueId)), folder(folder),
      path(path), entryKind(entryKind)
{
    name = displayName.c_str();
    identifier = identifierText.c_str();
}

CVSTAdapterInfo::~CVSTAdapterInfo()
{
    if (library != nullptr)
        platform::CloseLibrary(library);
}

std::string CVSTAdapterInfo::MakeIdentifier(std::int32_t uniqueId)
{
    const auto id = static_cast<std::uint32_t>(uniqueId);
    // The second value comes from the high half of the lowest byte, not
    // from the second byte: the identifiers in existing projects were built
    // this way (0x41424344 gives 4, 4, 2, 1).
    const unsigned values[4] = {id & 0xFu, (id >> 4) & 0xFu, (id >> 16) & 0xFu, (id >> 24) & 0xFu};
    std::string text = "VST::";
    for (unsigned value : values) {
        if (value == 0)
            break;
        text += static_cast<char>(value);
    }
    return text;
}

std::string CVSTAdapterInfo::DisplayNameOf(const std::string& fileName)
{
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return fileName;
    return fileName.substr(0, dot);
}

bool CVSTAdapterInfo::LoadLibrary()
{
    library = platform::OpenLibrary(path.c_str());
    if (library == nullptr) {
        lastLoadError = "VST PlugIn '" + displayName + "' could not be loaded from " + path + ": " +
                        platform::LastLibraryError();
        return false;
    }
    const char* symbol = entryKind == VSTEntryKind::PluginMain ? "VSTPluginMain" : "main";
    entry = reinterpret_cast<vst::EntryFunction>(platform::FindSymbol(library, symbol));
    if (entry == nullptr) {
        lastLoadError = "VST PlugIn '" + displayName + "' has no entry point \"" + symbol + "\" any more (" + path + ")";
        platform::CloseLibrary(library);
        library = nullptr;
        return false;
    }
    return true;
}

CMachine* CVSTAdapterInfo::CreateMachine()
{
    if (instanceCount == 0 && !LoadLibrary()) {
        std::fprintf(stderr, "%s\n", lastLoadError.c_str());
        return nullptr;
    }
    lastLoadError.clear();
    ++instanceCount;
    auto* adapter = new CVSTAdapter(host, this);
    // The "sfz" sample player starts with parameter 3 at its middle; its
    // own default leaves it silent.
    if (displayName == "sfz")
        adapter->SetParameter(3, 0.5);
    return adapter;
}

void CVSTAdapterInfo::InstanceDestroyed()
{
    if (--instanceCount > 0)
        return;
    instanceCount = 0;
    if (library != nullptr)
        platform::CloseLibrary(library);
    library = nullptr;
    entry = nullptr;
}
