#pragma once
// CSampleView: one of the sample analyzer's two drawings of a sample: its
// waveform, or the magnitudes of the 256 bins of its spectrum. The view
// keeps its own copy of the sample.
//
// Threads: user-interface thread.

#include <array>

#include <QWidget>

#include "samples/MonoSample.h"
#include "samples/SampleSpectrum.h"

class CSampleView : public QWidget {
public:
    enum class Mode { Waveform, Spectrum };

    explicit CSampleView(Mode mode, QWidget* parent = nullptr);

    void SetSample(const CMonoSample& sample);
    const CMonoSample& GetSample() const { return sample; }
    Mode GetMode() const { return mode; }
    /// The bin magnitudes drawn in spectrum mode (zeros without a sample).
    const std::array<double, kSpectrumPoints>& GetSpectrum() const { return spectrum; }

    QSize sizeHint() const override { return QSize(512, 160); }
    QSize minimumSizeHint() const override { return QSize(128, 64); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintWaveform(class QPainter& painter, const QRect& area) const;
    void PaintSpectrum(class QPainter& painter, const QRect& area) const;

    Mode mode;
    CMonoSample sample;
    std::array<double, kSpectrumPoints> spectrum{};
};
