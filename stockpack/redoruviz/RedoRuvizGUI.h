#pragma once
// The editor of RedoRuviz (CRedoRuvizGUI): the "Oversampling" knob (103),
// the factor's text on the display (102) and the response plot of the
// selected design, on the background (120). The plot is recomputed on the
// display refresh that finds a new factor, so changes from anywhere show.
//
// Threads: user-interface thread.

#include <vector>

#include "gui/LiteControl.h"
#include "stockpack/common/ParameterPanel.h"

class CLiteLCDText;
class CRedoRuvizFilter;
class CSkinImages;

/// The plot: magnitudes in decibels from 0 dB at the top to the floor at
/// the bottom, the first bin above DC at the left and the middle bin at
/// the right on a logarithmic axis, over a dark ground with a 20 dB grid.
class CResponseView : public CLiteControl {
public:
    static constexpr double kRangeDb = 100.0;

    CResponseView(CLiteContainer* container, int x, int y, int width, int height);
    void SetMagnitudes(std::vector<double> values);
    const std::vector<double>& Magnitudes() const { return magnitudes; }
    /// The row of a magnitude within the view (0 at the top).
    int RowOf(double magnitude) const;
    /// The magnitude a column shows.
    double ColumnMagnitude(int column) const;
    void Draw(CPicture& backBuffer) override;

private:
    std::vector<double> magnitudes;
};

class CRedoRuvizGUI : public CParameterPanel {
public:
    static constexpr int kBackground = 120;
    static constexpr int kKnob = 103;
    static constexpr int kDisplay = 102;
    static constexpr int kKnobX = 44;
    static constexpr int kKnobY = 40;
    static constexpr int kDisplayX = 12;
    static constexpr int kDisplayY = 100;
    static constexpr int kPlotX = 140;
    static constexpr int kPlotY = 32;
    static constexpr int kPlotWidth = 160;
    static constexpr int kPlotHeight = 112;

    CRedoRuvizGUI(CRedoRuvizFilter* filter, const CSkinImages& images);

    const CResponseView& Plot() const { return *plot; }
    int ShownFilter() const { return shownFilter; }

protected:
    void RefreshViews() override;

private:
    CRedoRuvizFilter* filter;
    CLiteLCDText* display;
    CResponseView* plot;
    int shownFilter = -1;
};
