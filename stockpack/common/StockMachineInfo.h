#pragma once
// The descriptor of a stock machine type: a name, an identifier, a factory
// and, for the types with an editor, the skin pictures every editor of the
// type draws on, loaded either when the descriptor is built or at the
// type's first CreateMachine. The texts are template arguments, so that
// each type keeps a class name of its own (using CKickInfo = ...) and its
// texts live as long as the library, as the registry expects of a
// descriptor's.

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <type_traits>

#include "framework/MachineInfo.h"
#include "stockpack/common/SkinImages.h"

class CHost;

/// A string literal usable as a template argument.
template <std::size_t N>
struct DescriptorText {
    constexpr DescriptorText(const char (&text)[N]) { std::copy_n(text, N, chars); }
    char chars[N];
};

enum class SkinLoading { None, WhenBuilt, OnFirstCreation };

/// What every stock descriptor has: the type's skin pictures.
class CStockInfoBase : public CMachineInfo {
public:
    CStockInfoBase(std::initializer_list<int> skinIds) : images(skinIds) {}
    const CSkinImages& Images() const { return images; }

    /// The pictures of the descriptor a machine was created by; null when
    /// it is not a stock descriptor.
    static const CSkinImages* ImagesOf(CMachineInfo* descriptor)
    {
        auto* stock = dynamic_cast<CStockInfoBase*>(descriptor);
        return stock != nullptr ? &stock->images : nullptr;
    }

protected:
    CSkinImages images;
};

template <class TMachine, DescriptorText Name, DescriptorText Identifier,
          SkinLoading Loading = SkinLoading::None, int... SkinIds>
class CStockMachineInfo : public CStockInfoBase {
public:
    explicit CStockMachineInfo(CHost* host) : CStockInfoBase({SkinIds...}), host(host)
    {
        name = Name.chars;
        identifier = Identifier.chars;
        // The library carries no icons; the host shows its own.
        smallIcon = nullptr;
        largeIcon = nullptr;
        if constexpr (Loading == SkinLoading::WhenBuilt)
            images.Load();
    }

    /// Machines that keep their descriptor get this one; machines that
    /// only draw get the pictures.
    CMachine* CreateMachine() override
    {
        if constexpr (Loading == SkinLoading::OnFirstCreation)
            images.Load();
        if constexpr (std::is_constructible_v<TMachine, CHost*, CMachineInfo*>)
            return new TMachine(host, this);
        else if constexpr (std::is_constructible_v<TMachine, CHost*, const CSkinImages*>)
            return new TMachine(host, &images);
        else
            return new TMachine(host);
    }

private:
    CHost* host;
};
