#include "stockpack/KickInfo.h"

#include "stockpack/Kick.h"

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
