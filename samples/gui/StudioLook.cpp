#include "samples/gui/StudioLook.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

#include "gui/ColorTable.h"

namespace {

// Entries of the host's colour table: the panels' background, the grid
// greys, the text and the two accents the skinned controls light up with.
constexpr int kPanelEntry = CColorTable::kContainerBackground;
constexpr int kDarkEntry = 8;
constexpr int kGridEntry = 3;
constexpr int kTextEntry = CColorTable::kDefaultGUIText;
constexpr int kAccentEntry = 12;
constexpr int kHighlightEntry = 13;

QColor Entry(int index)
{
    static const CColorTable table;
    const ColorRef color = table.GetColor(index);
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

} // namespace

QColor StudioBackground() { return Entry(kPanelEntry); }
QColor StudioGrid() { return Entry(kGridEntry); }
QColor StudioAccent() { return Entry(kHighlightEntry); }
QColor StudioText() { return Entry(kTextEntry); }

void ApplyStudioLook(QWidget* window)
{
    QPalette palette;
    palette.setColor(QPalette::Window, Entry(kPanelEntry));
    palette.setColor(QPalette::WindowText, Entry(kTextEntry));
    palette.setColor(QPalette::Base, Entry(kDarkEntry).darker(140));
    palette.setColor(QPalette::AlternateBase, Entry(kDarkEntry));
    palette.setColor(QPalette::Text, Entry(kTextEntry));
    palette.setColor(QPalette::Button, Entry(kDarkEntry));
    palette.setColor(QPalette::ButtonText, Entry(kTextEntry));
    palette.setColor(QPalette::Highlight, Entry(kAccentEntry));
    palette.setColor(QPalette::HighlightedText, Entry(kTextEntry));
    palette.setColor(QPalette::ToolTipBase, Entry(kDarkEntry));
    palette.setColor(QPalette::ToolTipText, Entry(kTextEntry));
    palette.setColor(QPalette::Mid, Entry(kGridEntry));
    palette.setColor(QPalette::Dark, Entry(kPanelEntry).darker(150));
    palette.setColor(QPalette::Disabled, QPalette::Text, Entry(5));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, Entry(5));
    window->setPalette(palette);
    window->setAutoFillBackground(true);

    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    window->setFont(font);

    // Item views and combo boxes take their colours from the style sheet
    // once one is set, so the dark ones are named here as well.
    const QString accent = Entry(kAccentEntry).name();
    const QString grid = Entry(kGridEntry).name();
    const QString base = Entry(kDarkEntry).darker(140).name();
    const QString button = Entry(kDarkEntry).name();
    const QString text = Entry(kTextEntry).name();
    window->setStyleSheet(QStringLiteral(
        "QToolBar { border: none; spacing: 4px; padding: 2px; }"
        "QToolButton { border: 1px solid %2; border-radius: 2px; padding: 3px 8px; color: %5; background: %4; }"
        "QToolButton:hover { border-color: %1; }"
        "QToolButton:disabled { color: %2; }"
        "QSplitter::handle { background: %2; }"
        "QLabel[title=\"true\"] { font-weight: bold; padding: 2px 0px; }"
        "QListWidget, QTreeWidget { background: %3; color: %5; border: 1px solid %2;"
        " selection-background-color: %1; selection-color: %5; }"
        "QComboBox { background: %4; color: %5; border: 1px solid %2; border-radius: 2px; padding: 2px 6px; }"
        "QComboBox:hover { border-color: %1; }"
        "QComboBox QAbstractItemView { background: %3; color: %5; selection-background-color: %1; }"
        "QScrollBar:vertical { background: %3; width: 10px; margin: 0px; }"
        "QScrollBar::handle:vertical { background: %2; min-height: 20px; border-radius: 3px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0px; }"
        "QProgressBar { border: 1px solid %2; border-radius: 2px; max-height: 10px; background: %3; }"
        "QProgressBar::chunk { background: %1; }").arg(accent, grid, base, button, text));
}
