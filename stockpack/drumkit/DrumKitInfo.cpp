#include "stockpack/drumkit/DrumKitInfo.h"

#include "stockpack/drumkit/DrumKit.h"

CDrumKitInfo::CDrumKitInfo(CHost* host) : host(host)
{
    name = "KV VUziD8";
    identifier = "CorvPlug::KV VUziD8";
    // The icons and the editor's two skin pictures come with the editor.
    smallIcon = nullptr;
    largeIcon = nullptr;
}

CMachine* CDrumKitInfo::CreateMachine()
{
    return new CDrumKit(host);
}
