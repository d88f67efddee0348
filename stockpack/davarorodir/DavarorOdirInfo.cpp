#include "stockpack/davarorodir/DavarorOdirInfo.h"

#include "stockpack/davarorodir/DavarorOdir.h"

CDavarorOdirInfo::CDavarorOdirInfo(CHost* host) : host(host)
{
    name = "KV DavarorOdir";
    identifier = "CorvPlug::KV DavarorOdir";
    smallIcon = nullptr;
    largeIcon = nullptr;
}

CMachine* CDavarorOdirInfo::CreateMachine()
{
    return new CDavarorOdir(host);
}
