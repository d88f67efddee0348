#pragma once
// The descriptors of the two RazuZuri types: "KV RazuZuri" (one voice) and
// "KV RazuZuri (Polyphonic)" (sixteen). Each keeps its own copy of the skin
// pictures, looked up in the library's resources at its first CreateMachine
// and shared by every machine it creates after that.

#include "framework/MachineInfo.h"
#include "stockpack/common/SkinImages.h"
#include "stockpack/razuzuri/RazuZuri.h"

class CHost;

class CRazuZuriInfo : public CMachineInfo {
public:
    explicit CRazuZuriInfo(CHost* host);

    CMachine* CreateMachine() override;

    bool ImagesLoaded() const { return images.IsLoaded(); }
    /// How many times the pictures were looked up (once at most).
    int ImageLoadCount() const { return images.LoadCount(); }
    const CSkinImages& Images() const { return images; }

protected:
    CRazuZuriInfo(CHost* host, const char* typeName, const char* typeIdentifier, bool polyphonic);

private:
    CHost* host;
    CSkinImages images{132, 133, 134, 135};
    bool polyphonic;
};

class CRazuZuriPolyphonicInfo : public CRazuZuriInfo {
public:
    explicit CRazuZuriPolyphonicInfo(CHost* host);
};
