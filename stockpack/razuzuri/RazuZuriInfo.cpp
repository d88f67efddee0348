#include "stockpack/razuzuri/RazuZuriInfo.h"

CRazuZuriInfo::CRazuZuriInfo(CHost* host) : CRazuZuriInfo(host, "KV RazuZuri", "CorvPlug::KV RazuZuri", false) {}

CRazuZuriInfo::CRazuZuriInfo(CHost* host, const char* typeName, const char* typeIdentifier, bool polyphonic)
    : host(host), polyphonic(polyphonic)
{
    name = typeName;
    identifier = typeIdentifier;
    // The types' icons (group 105) come with the editor's pictures; until
    // the library carries them the host shows its own.
    smallIcon = nullptr;
    largeIcon = nullptr;
}

void CRazuZuriInfo::LoadImages()
{
    if (imagesLoaded)
        return;
    for (int i = 0; i < RazuZuriImages::kCount; ++i)
        images.pictures[i] = platform::FindResource("PNG", RazuZuriImages::kFirstResourceId + i);
    imagesLoaded = true;
    ++imageLoads;
}

CMachine* CRazuZuriInfo::CreateMachine()
{
    LoadImages();
    return new CRazuZuri(host, &images, polyphonic);
}

CRazuZuriPolyphonicInfo::CRazuZuriPolyphonicInfo(CHost* host)
    : CRazuZuriInfo(host, "KV RazuZuri (Polyphonic)", "CorvPlug::KV RazuZuri (Polyphonic)", true)
{
}
