#include "editors/StudioCanvas.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include "editors/DefaultGUIView.h"
#include "editors/StudioStyle.h"
#include "editors/StudioView.h"
#include "framework/Machine.h"
#include "framework/Port.h"
#include "host/Connector.h"
#include "host/MachineContainer.h"
#include "host/Studio.h"

using namespace studio_view;

namespace {

const QColor kBackground(20, 22, 25);
const QColor kGrid(27, 29, 33);
const QColor kAudio(0, 187, 255);
const QColor kControl(240, 170, 60);
const QColor kAuxiliary(190, 120, 255);
const QColor kBoxTop(52, 57, 64);
const QColor kBoxBottom(36, 39, 44);
const QColor kCaptionBar(28, 31, 35);
const QColor kOutline(8, 9, 11);

QColor PortColour(const CConnector* connector)
{
    if (connector->IsAuxiliary())
        return kAuxiliary;
    return connector->IsControl() ? kControl : kAudio;
}

QPointF ToQ(PointF p)
{
    return {p.x, p.y};
}

} // namespace

QFont CStudioCanvas::CaptionFont()
{
    QFont caption(QStringLiteral("Verdana"));
    caption.setPixelSize(11);
    caption.setBold(true);
    return caption;
}

QFont CStudioCanvas::PortNameFont()
{
    QFont small(QStringLiteral("Verdana"));
    small.setPixelSize(8);
    return small;
}

CStudioCanvas::CStudioCanvas(CStudioView& view) : view(view)
{
    setObjectName(QStringLiteral("StudioCanvas"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CStudioCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing);
    const double zoom = view.Zoom();
    painter.scale(zoom, zoom);

    // A quiet 32-pixel grid gives the eye a measure while boxes move.
    const QRectF visible(event->rect().x() / zoom, event->rect().y() / zoom, event->rect().width() / zoom,
                         event->rect().height() / zoom);
    painter.setPen(QPen(kGrid, 1.0 / zoom));
    for (int x = int(visible.left() / 32) * 32; x < visible.right(); x += 32)
        painter.drawLine(QPointF(x, visible.top()), QPointF(x, visible.bottom()));
    for (int y = int(visible.top() / 32) * 32; y < visible.bottom(); y += 32)
        painter.drawLine(QPointF(visible.left(), y), QPointF(visible.right(), y));

    PaintCables(painter);
    for (const CMachineContainer* box : view.Gestures().ZOrder())
        PaintBox(painter, box);

    // The cable being dragged: azure where it would be made, grey elsewhere.
    CStudioGestures& gestures = view.Gestures();
    if (gestures.State() == DragState::Cable && gestures.DragStart() != nullptr) {
        const bool accepts = gestures.HoverAccepts();
        QPen pen(accepts ? studio_style::kAccentBright : QColor(150, 158, 168), 2.0);
        if (!accepts)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        const Point end = gestures.LastPoint();
        painter.drawLine(ToQ(gestures.ConnectorCentre(gestures.DragStart())), QPointF(end.x, end.y));
    }
}

void CStudioCanvas::PaintCables(QPainter& painter)
{
    for (const Cable& cable : view.Gestures().Cables()) {
        const QColor colour = cable.auxiliary ? kAuxiliary : (cable.audio ? kAudio : kControl);
        // A dark halo keeps cables readable where they cross.
        painter.setPen(QPen(QColor(0, 0, 0, 170), 4.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(ToQ(cable.from), ToQ(cable.to));
        QPen pen(colour, 2.0, cable.audio ? Qt::SolidLine : Qt::DashLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.drawLine(ToQ(cable.from), ToQ(cable.to));
        if (cable.audio) {
            QPolygonF triangle;
            for (const PointF& p : cable.triangle)
                triangle << ToQ(p);
            painter.setPen(QPen(kOutline, 1.2));
            painter.setBrush(colour);
            painter.drawPolygon(triangle);
            painter.setBrush(Qt::NoBrush);
        }
    }
}

void CStudioCanvas::PaintConnector(QPainter& painter, const CConnector* connector)
{
    const Rect r = view.Gestures().ConnectorRect(connector);
    const QRectF area(r.x + 0.5, r.y + 0.5, r.width - 1, r.height - 1);
    const QColor colour = PortColour(connector);
    // Outputs are solid, inputs hollow; audio round, control diamond.
    painter.setPen(QPen(kOutline, 1.2));
    painter.setBrush(connector->IsOutput() ? colour : QColor(16, 17, 20));
    if (connector->IsControl()) {
        const QPointF c = area.center();
        const double h = area.width() / 2;
        painter.drawPolygon(QPolygonF{QPointF(c.x(), c.y() - h), QPointF(c.x() + h, c.y()), QPointF(c.x(), c.y() + h),
                                      QPointF(c.x() - h, c.y())});
    } else {
        painter.drawEllipse(area);
    }
    if (connector->IsInput()) {
        painter.setPen(QPen(colour, 2.0));
        painter.setBrush(Qt::NoBrush);
        if (connector->IsControl()) {
            const QPointF c = area.center();
            const double h = area.width() / 2 - 1.5;
            painter.drawPolygon(QPolygonF{QPointF(c.x(), c.y() - h), QPointF(c.x() + h, c.y()),
                                          QPointF(c.x(), c.y() + h), QPointF(c.x() - h, c.y())});
        } else {
            painter.drawEllipse(area.adjusted(1.5, 1.5, -1.5, -1.5));
        }
    }
    painter.setBrush(Qt::NoBrush);
}

void CStudioCanvas::PaintBox(QPainter& painter, const CMachineContainer* box)
{
    CStudioGestures& gestures = view.Gestures();
    const Rect r = gestures.BoxRect(box);
    const bool selected = gestures.Selected() == box;
    const bool master = box == gestures.Studio().MasterContainer();
    const bool target = gestures.HoverAccepts() && gestures.Hover()->owner == box;

    painter.save();
    painter.translate(r.x, r.y);
    QPolygonF outline;
    for (const Point& p : gestures.BoxOutline(box))
        outline << QPointF(p.x, p.y);
    QLinearGradient fill(0, 0, 0, r.height);
    fill.setColorAt(0, kBoxTop);
    fill.setColorAt(1, kBoxBottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 90));
    painter.drawPolygon(outline.translated(3, 3));   // shadow
    painter.setBrush(fill);
    painter.drawPolygon(outline);

    // Caption bar; the master's in azure so it is found at a glance.
    QPainterPath captionPath;
    captionPath.addPolygon(outline);
    painter.setClipPath(captionPath);
    painter.fillRect(QRectF(0, 0, r.width, 19), master ? QColor(0, 84, 120) : kCaptionBar);
    painter.setClipping(false);

    painter.setFont(CaptionFont());
    painter.setPen(studio_style::kText);
    const Rect button = gestures.MenuButtonRect(box);
    const QRectF captionRect(CStudioGestures::kCaptionLeft, 3,
                             button.x - CStudioGestures::kCaptionGap - CStudioGestures::kCaptionLeft, 15);
    painter.drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(QString::fromStdString(box->GetName()), Qt::ElideRight,
                                                      int(captionRect.width())));

    // Menu button: a small raised square with a down arrow.
    const QRectF buttonRect(button.x + 0.5, button.y + 0.5, button.width - 1, button.height - 1);
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(QColor(70, 76, 86));
    painter.drawRoundedRect(buttonRect, 2, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(studio_style::kText);
    const QPointF bc = buttonRect.center();
    painter.drawPolygon(QPolygonF{QPointF(bc.x() - 3, bc.y() - 1.5), QPointF(bc.x() + 3, bc.y() - 1.5),
                                  QPointF(bc.x(), bc.y() + 2)});

    // Port names beside their connectors while no GUI covers them.
    if (box->guiMode != GuiMode::DefaultGui) {
        const QFont small = PortNameFont();
        painter.setFont(small);
        painter.setPen(studio_style::kTextDim);
        const QFontMetrics metrics(small);
        const int half = r.width / 2 - CStudioGestures::kPortNameGap;
        for (const CConnector* connector : box->connectors) {
            const Rect c = gestures.ConnectorRect(connector);
            // Ports are packed records: the name pointer is copied out
            // rather than read in place.
            const char* portName = nullptr;
            std::memcpy(&portName, &connector->port->name, sizeof portName);
            const QString name = metrics.elidedText(QString::fromUtf8(portName != nullptr ? portName : ""), Qt::ElideRight, half);
            if (connector->IsInput())
                painter.drawText(QRectF(CStudioGestures::kPortNameLeft, c.y - r.y - 1, half, 12), Qt::AlignLeft | Qt::AlignVCenter, name);
            else
                painter.drawText(QRectF(r.width - CStudioGestures::kPortNameLeft - half, c.y - r.y - 1, half, 12), Qt::AlignRight | Qt::AlignVCenter,
                                 name);
        }
    }

    // A default GUI that cannot be a live widget at this zoom is shown as
    // its picture.
    if (box->guiMode == GuiMode::DefaultGui && view.Zoom() != 1.0) {
        if (CDefaultGUIView* gui = view.DefaultGui(box)) {
            const Point origin = gestures.GuiOrigin(box);
            painter.drawPixmap(QPointF(origin.x, origin.y), gui->grab());
        }
    }

    // Level bar along the bottom edge: a dark track, lit from the left in
    // green turning yellow then red towards 0 dBFS.
    const QRectF track(2, r.height - CStudioView::kLevelBarHeight - 1, r.width - 4, CStudioView::kLevelBarHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(10, 11, 13));
    painter.drawRect(track);
    const double lit = CStudioView::LevelFraction(view.LevelDb(box));
    if (lit > 0.0) {
        QLinearGradient heat(track.topLeft(), track.topRight());
        heat.setColorAt(0.0, QColor(40, 200, 80));
        heat.setColorAt(0.7, QColor(120, 220, 60));
        heat.setColorAt(0.85, QColor(240, 210, 40));
        heat.setColorAt(1.0, QColor(240, 50, 40));
        painter.setBrush(heat);
        painter.drawRect(QRectF(track.x(), track.y(), track.width() * lit, track.height()));
    }

    painter.setBrush(Qt::NoBrush);
    const QColor edge = target ? studio_style::kAccentBright : (selected ? studio_style::kAccent : kOutline);
    painter.setPen(QPen(edge, target ? 2.5 : (selected ? 1.5 : 1.0)));
    painter.drawPolygon(outline);
    painter.restore();

    for (const CConnector* connector : box->connectors)
        PaintConnector(painter, connector);
}

void CStudioCanvas::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    view.PressAt(event->position().toPoint(), event->button(), event->globalPosition().toPoint());
}

void CStudioCanvas::mouseMoveEvent(QMouseEvent* event)
{
    view.MoveTo(event->position().toPoint());
}

void CStudioCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    view.ReleaseAt(event->position().toPoint(), event->button());
}

void CStudioCanvas::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();   // the scroll area scrolls
        return;
    }
    view.Wheel(event->position().toPoint(), event->angleDelta().y());
    event->accept();
}

void CStudioCanvas::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Escape) {
        view.Key(event->key());
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
