#include "gui/PictureImage.h"

#include <QImage>

#include "gui/Picture.h"

namespace gui {

void PresentPictureRows(const CPicture& picture, QImage& bitmap, int first, int count)
{
    if (bitmap.width() != picture.GetWidth() || bitmap.height() != picture.GetHeight() ||
        bitmap.format() != QImage::Format_BGR888) {
        bitmap = QImage(picture.GetWidth(), picture.GetHeight(), QImage::Format_BGR888);
        bitmap.fill(Qt::black);
    }
    if (bitmap.isNull())
        return;
    picture.PresentRows(bitmap.bits(), bitmap.bytesPerLine(), first, count);
}

void PresentPicture(const CPicture& picture, QImage& bitmap)
{
    PresentPictureRows(picture, bitmap, 0, picture.GetHeight());
}

} // namespace gui
