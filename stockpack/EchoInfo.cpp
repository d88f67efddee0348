#include "stockpack/EchoInfo.h"

#include "stockpack/Echo.h"

CEchoInfo::CEchoInfo(CHost* host) : host(host)
{
    name = "KV DovoDorez";
    identifier = "CorvPlug::KV DovoDorez";
    smallIcon = nullptr;
    largeIcon = nullptr;
}

CMachine* CEchoInfo::CreateMachine()
{
    return new CEcho(host);
}
