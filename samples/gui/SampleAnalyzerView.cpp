#include "samples/gui/SampleAnalyzerView.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "framework/Error.h"
#include "samples/gui/SampleView.h"
#include "samples/gui/StudioLook.h"
#include "samples/gui/WindowDialogs.h"

CSampleAnalyzerView::CSampleAnalyzerView(QWidget* parent, const std::string& baseFolder, CMessageSink* sink)
    : QWidget(parent, Qt::Window), analyzer(baseFolder), messageSink(sink)
{
    if (messageSink == nullptr) {
        ownSink = std::make_unique<CQtMessageSink>();
        messageSink = ownSink.get();
    }
    setWindowTitle(QStringLiteral("Sample Analyzer"));
    ApplyStudioLook(this);

    sampleCombo = new QComboBox(this);
    sampleCombo->setObjectName(QStringLiteral("SampleCombo"));
    for (const std::string& name : analyzer.GetSampleNames())
        sampleCombo->addItem(QString::fromStdString(name));
    sampleCombo->setCurrentIndex(-1);
    waveformView = new CSampleView(CSampleView::Mode::Waveform, this);
    spectrumView = new CSampleView(CSampleView::Mode::Spectrum, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(sampleCombo);
    layout->addWidget(waveformView, 1);
    layout->addWidget(spectrumView, 1);
    resize(560, 400);

    connect(sampleCombo, &QComboBox::activated, this, [this](int index) { SelectSample(index); });
}

CSampleAnalyzerView::~CSampleAnalyzerView() = default;

void CSampleAnalyzerView::SelectSample(int index)
{
    if (sampleCombo->currentIndex() != index)
        sampleCombo->setCurrentIndex(index);
    try {
        const CMonoSample& sample = analyzer.SelectSample(index);
        waveformView->SetSample(sample);
        spectrumView->SetSample(sample);
    } catch (const CError& error) {
        messageSink->ShowError(this, error.Message());
    }
}
