#include "stockpack/mixer/MixerInfo.h"

#include "stockpack/mixer/Mixer.h"

CMixerInfo::CMixerInfo(CHost* host) : host(host)
{
    name = "KV Mixer";
    identifier = "CorvPlug::KV Mixer-Stereo-8-2";
    smallIcon = nullptr;
    largeIcon = nullptr;
}

CMachine* CMixerInfo::CreateMachine()
{
    return new CMixer(host);
}
