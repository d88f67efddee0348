#pragma once
// The descriptor of a stock machine type that is nothing but a name, an
// identifier and a factory. The texts are template arguments, so that each
// type keeps a class name of its own (using CKickInfo = ...) and its texts
// live as long as the library, as the registry expects of a descriptor's.

#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "framework/MachineInfo.h"

class CHost;

/// A string literal usable as a template argument.
template <std::size_t N>
struct DescriptorText {
    constexpr DescriptorText(const char (&text)[N]) { std::copy_n(text, N, chars); }
    char chars[N];
};

template <class TMachine, DescriptorText Name, DescriptorText Identifier>
class CStockMachineInfo : public CMachineInfo {
public:
    explicit CStockMachineInfo(CHost* host) : host(host)
    {
        name = Name.chars;
        identifier = Identifier.chars;
        // Icons, and the pictures of editors that have them, come with the
        // editors; until then the host shows its own.
        smallIcon = nullptr;
        largeIcon = nullptr;
    }

    /// Machines that keep their descriptor (for the editor's pictures) get
    /// this one.
    CMachine* CreateMachine() override
    {
        if constexpr (std::is_constructible_v<TMachine, CHost*, CMachineInfo*>)
            return new TMachine(host, this);
        else
            return new TMachine(host);
    }

private:
    CHost* host;
};
