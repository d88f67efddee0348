#include "stockpack/redoruviz/RedoRuvizFilterInfo.h"

#include "stockpack/redoruviz/RedoRuvizFilter.h"

CRedoRuvizFilterInfo::CRedoRuvizFilterInfo(CHost* host) : host(host)
{
    name = "KV RedoRuviz";
    identifier = "CorvPlug::KV RedoRuviz";
    // The editor's pictures (120, 103, 102) come with the editor.
    smallIcon = nullptr;
    largeIcon = nullptr;
}

CMachine* CRedoRuvizFilterInfo::CreateMachine()
{
    return new CRedoRuvizFilter(host, this);
}
