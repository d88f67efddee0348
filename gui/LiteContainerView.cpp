#include "gui/LiteContainerView.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>

#include "gui/LiteControl.h"
#include "gui/PictureImage.h"

CLiteContainerView::CLiteContainerView(CLiteContainer* container, QWidget* parent, bool owns)
    : QWidget(parent), container(container)
{
    if (owns)
        owned.reset(container);
    setFixedSize(container->GetWidth(), container->GetHeight());
    // Hover states need moves without a button held.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    container->SetWindow(this);
    container->RedrawAll();
}

CLiteContainerView::~CLiteContainerView()
{
    // The timers are children of this window and go with it.
    for (auto& [control, timer] : timers)
        timer->stop();
    timers.clear();
    container->SetWindow(nullptr);
}

void CLiteContainerView::Present(const CPicture& backBuffer, int x, int y, int w, int h)
{
    gui::PresentPictureRows(backBuffer, bitmap, y, h);
    update(x, y, w, h);
}

void CLiteContainerView::CaptureMouse()
{
    // While a button is held Qt keeps sending this widget the mouse; what a
    // capture adds is seeing the pointer leave, which leaveEvent passes on.
    captured = true;
}

void CLiteContainerView::ReleaseMouse()
{
    captured = false;
    QToolTip::hideText();
}

void CLiteContainerView::ShowToolTip(const CLiteControl& control, const char* text)
{
    const QPoint beside(control.GetX() + control.GetWidth() + 4, control.GetY());
    QToolTip::showText(mapToGlobal(beside), QString::fromUtf8(text), this);
}

void CLiteContainerView::StartTimer(CLiteControl& control, int intervalMs)
{
    QTimer*& timer = timers[&control];
    if (timer == nullptr) {
        timer = new QTimer(this);
        CLiteControl* target = &control;
        QObject::connect(timer, &QTimer::timeout, this, [target] { target->OnTimer(); });
    }
    timer->start(intervalMs);
}

void CLiteContainerView::StopTimer(CLiteControl& control)
{
    const auto found = timers.find(&control);
    if (found == timers.end())
        return;
    // The timer may be the one whose tick is running now.
    found->second->stop();
    found->second->deleteLater();
    timers.erase(found);
}

void CLiteContainerView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (bitmap.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const QRect area = event->rect();
    painter.drawImage(area, bitmap, area);
}

void CLiteContainerView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    container->OnMouseMove(p.x(), p.y());
}

void CLiteContainerView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    container->OnMousePress(p.x(), p.y());
}

void CLiteContainerView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    container->OnMouseRelease(p.x(), p.y());
}

void CLiteContainerView::leaveEvent(QEvent*)
{
    // A hovered button holds the capture to see this: tell it the pointer
    // is now outside every control.
    if (captured && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        container->OnMouseMove(-1, -1);
}
