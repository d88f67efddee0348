#include "stockpack/dovodorez/EchoInfo.h"

#include "stockpack/dovodorez/Echo.h"

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
