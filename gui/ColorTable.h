#pragma once
// CColorTable: the toolkit's 42 colours, one table per module (the host's,
// and each plug-in library's own). An entry marked inherited is looked up in
// the parent table, so a library can follow the host's colours. The pens and
// brushes that go with the entries are the Qt side's (CColorManager).
//
// Threads: user-interface thread.

#include <array>

#include "gui/Picture.h"

class CColorTable {
public:
    static constexpr int kColorCount = 42;

    // Entries with a fixed use.
    static constexpr int kContainerBackground = 2;
    static constexpr int kDefaultGUIText = 4;
    static constexpr int kConnectorText = 12;
    static constexpr int kMeterGreen = 38;
    static constexpr int kMeterYellow = 39;
    static constexpr int kMeterRed = 40;

    /// The initial colours; entries inherit nothing until told to.
    explicit CColorTable(const CColorTable* parent = nullptr);
    virtual ~CColorTable() = default;

    /// The entry's colour, from the parent when the entry is inherited and
    /// there is a parent. Raises "ColorManager: Invalid Color Requested"
    /// outside 0 .. 41.
    ColorRef GetColor(int index) const;
    /// Sets the entry's own colour and stops inheriting it.
    void SetColor(int index, ColorRef color);
    void SetInherited(int index, bool inherited);
    bool IsInherited(int index) const;

    /// A parent that would make the chain loop back here is refused.
    void SetParent(const CColorTable* newParent);
    const CColorTable* GetParent() const { return parent; }

    static ColorRef InitialColor(int index);

protected:
    static void CheckIndex(int index);

private:
    std::array<ColorRef, kColorCount> colors{};
    std::array<bool, kColorCount> inherited{};
    const CColorTable* parent;
};
