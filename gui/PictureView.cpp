#include "gui/PictureView.h"

#include <QPaintEvent>
#include <QPainter>

#include "gui/Picture.h"
#include "gui/PictureImage.h"

CPictureView::CPictureView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPictureView::Present(const CPicture& picture)
{
    PresentRows(picture, 0, picture.GetHeight());
}

void CPictureView::PresentRows(const CPicture& picture, int first, int count)
{
    gui::PresentPictureRows(picture, bitmap, first, count);
    if (size() != bitmap.size())
        setFixedSize(bitmap.size());
    update(0, first, bitmap.width(), count);
}

void CPictureView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (bitmap.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const QRect area = event->rect();
    painter.drawImage(area, bitmap, area);
}
