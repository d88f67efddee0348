#pragma once
// CSampleAnalyzerView: the "Sample Analyzer" window. "SampleCombo" lists the
// WAV files of the "Samples" folder; choosing one loads it and shows it in
// the waveform view and the spectrum view. A file that cannot be read is
// shown as the reader's message.
//
// Threads: user-interface thread.

#include <memory>
#include <string>

#include <QWidget>

#include "samples/SampleAnalyzer.h"

class CMessageSink;
class CSampleView;
class QComboBox;

class CSampleAnalyzerView : public QWidget {
public:
    /// Lists `baseFolder`/Samples ("" is the working folder). A window of its
    /// own even with a parent. The sink stays the caller's; a null one means
    /// Qt message boxes.
    explicit CSampleAnalyzerView(QWidget* parent = nullptr, const std::string& baseFolder = "",
                                 CMessageSink* messageSink = nullptr);
    ~CSampleAnalyzerView() override;

    /// Loads entry `index` of the combo box into both views.
    void SelectSample(int index);

    CSampleAnalyzer& GetAnalyzer() { return analyzer; }
    QComboBox* GetSampleCombo() const { return sampleCombo; }
    CSampleView* GetWaveformView() const { return waveformView; }
    CSampleView* GetSpectrumView() const { return spectrumView; }

private:
    CSampleAnalyzer analyzer;
    CMessageSink* messageSink;
    std::unique_ptr<CMessageSink> ownSink;
    QComboBox* sampleCombo;
    CSampleView* waveformView;
    CSampleView* spectrumView;
};
