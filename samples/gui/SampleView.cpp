#include "samples/gui/SampleView.h"

#include <algorithm>

#include <QPainter>

#include "samples/gui/StudioLook.h"

CSampleView::CSampleView(Mode mode, QWidget* parent) : QWidget(parent), mode(mode)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSampleView::SetSample(const CMonoSample& newSample)
{
    sample = newSample;
    if (mode == Mode::Spectrum)
        spectrum = SampleSpectrum(sample);
    update();
}

void CSampleView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, StudioBackground().darker(130));
    painter.setPen(StudioGrid());
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    const QRect inner = area.adjusted(4, 4, -4, -4);
    if (mode == Mode::Waveform)
        PaintWaveform(painter, inner);
    else
        PaintSpectrum(painter, inner);
    painter.setPen(StudioText());
    const QString title = mode == Mode::Waveform ? QStringLiteral("Waveform") : QStringLiteral("Spectrum");
    painter.drawText(inner.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, title);
}

void CSampleView::PaintWaveform(QPainter& painter, const QRect& area) const
{
    const int middle = area.center().y();
    painter.setPen(StudioGrid());
    painter.drawLine(area.left(), middle, area.right(), middle);
    const int count = sample.GetCount();
    if (count == 0 || area.width() <= 0)
        return;
    // Each column shows the range its samples cover, so short peaks stay
    // visible however long the sample is.
    const double* values = sample.GetSamples();
    const double halfHeight = area.height() / 2.0;
    painter.setPen(StudioAccent());
    for (int column = 0; column < area.width(); ++column) {
        const int first = static_cast<int>(static_cast<long long>(column) * count / area.width());
        const int last = std::max(first + 1, static_cast<int>(static_cast<long long>(column + 1) * count / area.width()));
        double low = values[first], high = values[first];
        for (int i = first; i < last && i < count; ++i) {
            low = std::min(low, values[i]);
            high = std::max(high, values[i]);
        }
        const int x = area.left() + column;
        const int top = middle - static_cast<int>(std::clamp(high, -1.0, 1.0) * halfHeight);
        const int bottom = middle - static_cast<int>(std::clamp(low, -1.0, 1.0) * halfHeight);
        painter.drawLine(x, top, x, bottom);
    }
}

void CSampleView::PaintSpectrum(QPainter& painter, const QRect& area) const
{
    painter.setPen(StudioGrid());
    painter.drawLine(area.left(), area.bottom(), area.right(), area.bottom());
    const double largest = *std::max_element(spectrum.begin(), spectrum.end());
    if (sample.GetCount() == 0 || largest <= 0.0)
        return;
    const QColor accent = StudioAccent();
    const double binWidth = static_cast<double>(area.width()) / kSpectrumPoints;
    for (int bin = 0; bin < kSpectrumPoints; ++bin) {
        const int left = area.left() + static_cast<int>(bin * binWidth);
        const int right = area.left() + static_cast<int>((bin + 1) * binWidth);
        const int height = static_cast<int>(spectrum[static_cast<std::size_t>(bin)] / largest * (area.height() - 14));
        painter.fillRect(QRect(left, area.bottom() - height, std::max(1, right - left), height), accent);
    }
}
