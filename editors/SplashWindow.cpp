#include "editors/SplashWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "editors/StudioStyle.h"
#include "gui/Picture.h"
#include "gui/PictureImage.h"

namespace {

constexpr int kSplashResource = 130;
constexpr int kStatusHeight = 24;

} // namespace

QImage LoadSplashPicture()
{
    CPicture picture;
    picture.LoadPNGResource(kSplashResource);
    QImage image;
    gui::PresentPicture(picture, image);
    return image.copy();
}

CSplashWindow::CSplashWindow()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture(LoadSplashPicture())
{
    setWindowTitle(QStringLiteral("Starting Corvane Studio"));
    setFixedSize(picture.width(), picture.height() + kStatusHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void CSplashWindow::ShowStatus(const std::string& line)
{
    lines.push_back(line);
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CSplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture);
    const QRect status(0, picture.height(), width(), kStatusHeight);
    painter.fillRect(status, studio_style::kPanelDark);
    painter.setPen(studio_style::kAccent);
    painter.drawLine(status.topLeft(), status.topRight());
    painter.setPen(studio_style::kText);
    const QString text = lines.empty() ? QString() : QString::fromStdString(lines.back());
    painter.drawText(status.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(text, Qt::ElideMiddle, status.width() - 20));
}
