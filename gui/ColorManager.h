#pragma once
// CColorManager: the module's colour table with a Qt pen and brush per
// entry, made on first use and kept. When an entry's colour (own or
// inherited) changes, its pen and brush take the new colour in place, so
// references handed out stay valid for the manager's lifetime.
//
// Threads: user-interface thread.

#include <array>
#include <memory>

#include <QBrush>
#include <QColor>
#include <QPen>

#include "gui/ColorTable.h"

class CColorManager : public CColorTable {
public:
    explicit CColorManager(const CColorTable* parent = nullptr) : CColorTable(parent) {}

    /// Raise "ColorManager: Invalid Color Requested" outside 0 .. 41.
    QColor GetQColor(int index) const;
    const QPen& GetPen(int index);
    const QBrush& GetBrush(int index);

    static QColor ToQColor(ColorRef color) { return QColor(RedOf(color), GreenOf(color), BlueOf(color)); }

private:
    template <class Tool>
    struct Cached {
        std::unique_ptr<Tool> tool;
        ColorRef color = 0;
    };
    std::array<Cached<QPen>, kColorCount> pens;
    std::array<Cached<QBrush>, kColorCount> brushes;
};
