#include "stockpack/zazud/KickInfo.h"

#include "stockpack/zazud/Kick.h"

CKickInfo::CKickInfo(CHost* host) : host(host)
{
    name = "KV Zazud";
    identifier = "CorvPlug::KV Zazud";
    smallIcon = nullptr;
    largeIcon = nullptr;
}

CMachine* CKickInfo::CreateMachine()
{
    return new CKick(host);
}
