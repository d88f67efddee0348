#include "gui/ColorTable.h"

#include "framework/Error.h"

namespace {

constexpr std::array<ColorRef, CColorTable::kColorCount> kInitialColors = {
    0x000000, 0xFFFFFF, 0x202020, 0x404040, 0xF0F0F0, 0x808080,   //  0 ..  5
    0x606060, 0x404040, 0x333333, 0x000000, 0xF0F0F0, 0x000000,   //  6 .. 11
    0xCC9600, 0xFFBB00, 0x997000, 0xCC9600, 0xF0F0F0, 0x000000,   // 12 .. 17
    0x000000, 0xF0F0F0, 0x404040, 0x606060, 0x808080, 0x000000,   // 18 .. 23
    0x001000, 0xFFBB00, 0x997000, 0xCC9600, 0xE5A800, 0x000000,   // 24 .. 29
    0x202020, 0xA0A0A0, 0x000000, 0xF0F0F0, 0xCC9600, 0x000000,   // 30 .. 35
    0xCC9600, 0x000000, 0x00F000, 0x00F0F0, 0x0000F0, 0xCC9600,   // 36 .. 41
};

} // namespace

CColorTable::CColorTable(const CColorTable* parent) : colors(kInitialColors), parent(parent) {}

void CColorTable::CheckIndex(int index)
{
    if (index < 0 || index >= kColorCount)
        throw CError("ColorManager: Invalid Color Requested");
}

ColorRef CColorTable::InitialColor(int index)
{
    CheckIndex(index);
    return kInitialColors[static_cast<std::size_t>(index)];
}

ColorRef CColorTable::GetColor(int index) const
{
    CheckIndex(index);
    const std::size_t i = static_cast<std::size_t>(index);
    if (inherited[i] && parent != nullptr)
        return parent->GetColor(index);
    return colors[i];
}

void CColorTable::SetColor(int index, ColorRef color)
{
    CheckIndex(index);
    colors[static_cast<std::size_t>(index)] = color & 0x00FFFFFF;
    inherited[static_cast<std::size_t>(index)] = false;
}

void CColorTable::SetInherited(int index, bool value)
{
    CheckIndex(index);
    inherited[static_cast<std::size_t>(index)] = value;
}

bool CColorTable::IsInherited(int index) const
{
    CheckIndex(index);
    return inherited[static_cast<std::size_t>(index)];
}

void CColorTable::SetParent(const CColorTable* newParent)
{
    for (const CColorTable* table = newParent; table != nullptr; table = table->parent) {
        if (table == this)
            return;
    }
    parent = newParent;
}
