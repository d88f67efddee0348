#include "editors/StudioStyle.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace studio_style {

namespace {

QPalette DarkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, kPanel);
    palette.setColor(QPalette::WindowText, kText);
    palette.setColor(QPalette::Base, kPanelDark);
    palette.setColor(QPalette::AlternateBase, kPanel);
    palette.setColor(QPalette::ToolTipBase, QColor(250, 250, 240));
    palette.setColor(QPalette::ToolTipText, QColor(20, 20, 20));
    palette.setColor(QPalette::PlaceholderText, kTextDim);
    palette.setColor(QPalette::Text, kText);
    palette.setColor(QPalette::Button, kPanelLight);
    palette.setColor(QPalette::ButtonText, kText);
    palette.setColor(QPalette::BrightText, kAccentBright);
    palette.setColor(QPalette::Light, QColor(78, 84, 94));
    palette.setColor(QPalette::Midlight, kPanelLight);
    palette.setColor(QPalette::Mid, QColor(30, 32, 36));
    palette.setColor(QPalette::Dark, QColor(16, 17, 20));
    palette.setColor(QPalette::Shadow, QColor(0, 0, 0));
    palette.setColor(QPalette::Highlight, kAccent);
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    palette.setColor(QPalette::Link, kAccentBright);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(124, 132, 140));
    return palette;
}

// Tabs like the skins' panels: a dark strip, the selected tab lifted with
// an azure edge; the tool bar a shade darker than the window.
const char* const kStyleSheet = R"(
QTabWidget::pane { border: 1px solid #121316; top: -1px; background: #1d1f23; }
QTabBar::tab { background: #2a2d33; color: #9ea8b2; border: 1px solid #121316; border-bottom: none;
               padding: 5px 14px; margin-right: 2px; border-top-left-radius: 3px; border-top-right-radius: 3px; }
QTabBar::tab:selected { background: #1d1f23; color: #e2e8ee; border-top: 2px solid #00bbff; }
QTabBar::tab:hover:!selected { background: #343841; color: #e2e8ee; }
#MainToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #30343b, stop:1 #1d1f23);
               border-bottom: 1px solid #0c0d0f; }
#MainToolBar QLabel { color: #9ea8b2; }
#VolumeLabel { color: #e2e8ee; font-family: monospace; }
QMenuBar { background: #26292e; color: #d6dce2; }
QMenuBar::item:selected { background: #0096cc; color: white; }
QMenu { background: #26292e; color: #d6dce2; border: 1px solid #0c0d0f; }
QMenu::item:selected { background: #0096cc; color: white; }
QMenu::item:disabled { color: #6c737b; }
QMenu::separator { height: 1px; background: #3a3f47; margin: 4px 8px; }
QPlainTextEdit, QListWidget { background: #16171a; color: #e2e8ee; border: 1px solid #0c0d0f;
                              selection-background-color: #0096cc; }
QToolTip { color: #141414; background: #faf9f0; border: 1px solid #555; }
)";

} // namespace

void Apply(QApplication& application)
{
    if (QStyle* style = QStyleFactory::create("Fusion"))
        application.setStyle(style);
    application.setPalette(DarkPalette());
    application.setStyleSheet(kStyleSheet);
}

} // namespace studio_style
