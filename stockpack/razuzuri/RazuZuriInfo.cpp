#include "stockpack/razuzuri/RazuZuriInfo.h"

CRazuZuriInfo::CRazuZuriInfo(CHost* host) : CRazuZuriInfo(host, "KV RazuZuri", "CorvPlug::KV RazuZuri", false) {}

CRazuZuriInfo::CRazuZuriInfo(CHost* host, const char* typeName, const char* typeIdentifier, bool polyphonic)
    : host(host), polyphonic(polyphonic)
{
    name = typeName;
    identifier = typeIdentifier;
    // The library carries no icons; the host shows its own.
    smallIcon = nullptr;
    largeIcon = nullptr;
}

CMachine* CRazuZuriInfo::CreateMachine()
{
    images.Load();
    return new CRazuZuri(host, &images, polyphonic);
}

CRazuZuriPolyphonicInfo::CRazuZuriPolyphonicInfo(CHost* host)
    : CRazuZuriInfo(host, "KV RazuZuri (Polyphonic)", "CorvPlug::KV RazuZuri (Polyphonic)", true)
{
}
