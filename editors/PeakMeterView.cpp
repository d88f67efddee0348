#include "editors/PeakMeterView.h"

#include <QMetaObject>

#include "host/PeakMeter.h"
#include "editors/PeakMeterPainter.h"

CPeakMeterView::CPeakMeterView(QWidget* parent) : CPictureView(parent), picture(kWidth, kHeight, false)
{
    setToolTip(QStringLiteral("Peak Meter (3dB Units)"));
    // Dark segments from the start, before the display thread runs (and
    // when there is no audio at all).
    CPeakMeter silent;
    CPeakMeterPainter::Paint(silent, colors, picture);
    Present(picture);
}

void CPeakMeterView::PaintFromDisplayThread(CPeakMeter& meter)
{
    pictureLock.Lock();
    CPeakMeterPainter::Paint(meter, colors, picture);
    pictureLock.Unlock();
    if (!presentPending.exchange(true))
        QMetaObject::invokeMethod(this, [this] { PresentLatest(); }, Qt::QueuedConnection);
}

void CPeakMeterView::PresentLatest()
{
    presentPending.store(false);
    pictureLock.Lock();
    Present(picture);
    pictureLock.Unlock();
}
