// The entry point of the stock machine library: the host calls CorvPlugInit
// once after loading stockpack.so; the library builds its shared tables and
// registers each of its machine types.

#include <type_traits>

#include "framework/Host.h"
#include "framework/PlugInit.h"
#include "stockpack/davarorodir/DavarorOdirInfo.h"
#include "stockpack/drumkit/DrumKitInfo.h"
#include "stockpack/dovodorez/EchoInfo.h"
#include "stockpack/zazud/KickInfo.h"
#include "stockpack/mixer/MixerInfo.h"
#include "stockpack/common/PlugContext.h"
#include "stockpack/razuzuri/RazuZuriInfo.h"
#include "stockpack/redoruviz/RedoRuvizFilterInfo.h"

extern "C" {

__attribute__((visibility("default"))) void CorvPlugInit(ModuleHandle module, CHost* host)
{
    if (host == nullptr)
        return;
    const std::int32_t cpuFeatures = host->GetCpuFeatures();
    SetModuleHandle(module);
    // Every table is complete before the first type is registered: the host
    // may create a machine as soon as it holds a descriptor.
    CreatePlugContext(host, cpuFeatures);

    // The stock types register in the order the studio's machine menu lists
    // them: RedoRuviz, the two RazuZuri, VUziD8, DovoDorez, Zazud, Mixer,
    // DavarorOdir. Each descriptor is handed over (the host owns it from
    // then on) before the next one is made; the result is not needed.
    host->RegisterMachineInfo(new CRedoRuvizFilterInfo(host));
    host->RegisterMachineInfo(new CRazuZuriInfo(host));
    host->RegisterMachineInfo(new CRazuZuriPolyphonicInfo(host));
    host->RegisterMachineInfo(new CDrumKitInfo(host));
    host->RegisterMachineInfo(new CEchoInfo(host));
    host->RegisterMachineInfo(new CKickInfo(host));
    host->RegisterMachineInfo(new CMixerInfo(host));
    host->RegisterMachineInfo(new CDavarorOdirInfo(host));
}

} // extern "C"

static_assert(std::is_same_v<decltype(&CorvPlugInit), CorvPlugInitFunction>);
