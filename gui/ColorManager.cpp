#include "gui/ColorManager.h"

QColor CColorManager::GetQColor(int index) const
{
    return ToQColor(GetColor(index));
}

const QPen& CColorManager::GetPen(int index)
{
    const ColorRef color = GetColor(index);
    Cached<QPen>& cached = pens[static_cast<std::size_t>(index)];
    if (!cached.tool) {
        cached.tool = std::make_unique<QPen>(ToQColor(color));
        cached.color = color;
    } else if (cached.color != color) {
        cached.tool->setColor(ToQColor(color));
        cached.color = color;
    }
    return *cached.tool;
}

const QBrush& CColorManager::GetBrush(int index)
{
    const ColorRef color = GetColor(index);
    Cached<QBrush>& cached = brushes[static_cast<std::size_t>(index)];
    if (!cached.tool) {
        cached.tool = std::make_unique<QBrush>(ToQColor(color));
        cached.color = color;
    } else if (cached.color != color) {
        cached.tool->setColor(ToQColor(color));
        cached.color = color;
    }
    return *cached.tool;
}
