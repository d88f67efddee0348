#include "stockpack/redoruviz/RedoRuvizGUI.h"

#include <algorithm>
#include <cstdio>
#include <cmath>

#include "framework/ScopedLock.h"
#include "gui/LiteLCDText.h"
#include "gui/Picture.h"
#include "stockpack/common/PanelControls.h"
#include "stockpack/common/SkinImages.h"
#include "stockpack/redoruviz/RedoRuvizFilter.h"
#include "stockpack/redoruviz/RedoRuvizResponse.h"

namespace {
const ColorRef kCurve = MakeColorRef(0, 187, 255);
const ColorRef kArea = MakeColorRef(0, 70, 98);
}

CResponseView::CResponseView(CLiteContainer* container, int x, int y, int width, int height)
    : CLiteControl(container, x, y, width, height)
{
    SetInput(false);
}

void CResponseView::SetMagnitudes(std::vector<double> values)
{
    magnitudes = std::move(values);
}

int CResponseView::RowOf(double magnitude) const
{
    const double db = redoruviz::MagnitudeDb(magnitude);
    const int row = static_cast<int>(std::lround(-db / kRangeDb * (height - 1)));
    return std::clamp(row, 0, height - 1);
}

double CResponseView::ColumnMagnitude(int column) const
{
    if (magnitudes.empty())
        return 0.0;
    // Bins 1 .. N/2 on a logarithmic axis: the designs all turn at about
    // a sixteenth of the resampled band, which a linear axis would crowd
    // into its first few columns.
    // Between bins the magnitude is interpolated, so the low end, where a
    // bin spans many columns, slopes instead of stepping.
    const double last = static_cast<double>(magnitudes.size() - 1);
    const double position = std::pow(last, static_cast<double>(column) / std::max(width - 1, 1));
    const std::size_t k = std::min(static_cast<std::size_t>(position), magnitudes.size() - 1);
    const std::size_t next = std::min(k + 1, magnitudes.size() - 1);
    const double f = position - static_cast<double>(k);
    return magnitudes[k] * (1.0 - f) + magnitudes[next] * f;
}

void CResponseView::Draw(CPicture& backBuffer)
{
    backBuffer.FillRect(panel_colors::kPlotGround, x, y, width, height);
    for (int db = 20; db < kRangeDb; db += 20) {
        const int row = static_cast<int>(std::lround(db / kRangeDb * (height - 1)));
        backBuffer.FillRect(panel_colors::kPlotGrid, x, y + row, width, 1);
    }
    int previous = -1;
    for (int column = 0; column < width && !magnitudes.empty(); ++column) {
        const int row = RowOf(ColumnMagnitude(column));
        backBuffer.FillRect(kArea, x + column, y + row, 1, height - row);
        // The curve joins each column to the last, so steep slopes stay
        // one line.
        const int from = previous < 0 ? row : std::min(previous, row);
        const int to = previous < 0 ? row : std::max(previous, row);
        backBuffer.FillRect(kCurve, x + column, y + from, 1, to - from + 1);
        previous = row;
    }
}

CRedoRuvizGUI::CRedoRuvizGUI(CRedoRuvizFilter* filter, const CSkinImages& images)
    : CParameterPanel(filter, images.Get(kBackground)->GetWidth(), images.Get(kBackground)->GetHeight(),
                      images.Get(kBackground)),
      filter(filter)
{
    const CPicture* knob = images.Get(kKnob);
    AddKnob(CRedoRuvizFilter::kOversamplingParameter, kKnobX, kKnobY, knob);
    AddLabel(kKnobX + 16, kKnobY + 36, "OVERSAMPLING", false, true);
    const CPicture* panel = images.Get(kDisplay);
    new CPanelPicture(this, kDisplayX, kDisplayY, panel);
    display = new CLiteLCDText(this, kDisplayX + 4, kDisplayY + (panel->GetHeight() - 7) / 2, panel->GetWidth() - 8, 7,
                               0.9);
    display->SetInput(false);
    AddLabel(kPlotX, kPlotY - 11, "RESPONSE", true);
    plot = new CResponseView(this, kPlotX, kPlotY, kPlotWidth, kPlotHeight);
}

void CRedoRuvizGUI::RefreshViews()
{
    double value;
    char text[64] = {};
    {
        CScopedLock<CMachine> hold(*filter);
        value = filter->GetParameter(CRedoRuvizFilter::kOversamplingParameter);
        filter->FormatParameter(CRedoRuvizFilter::kOversamplingParameter, value, text);
    }
    const int index = CRedoRuvizFilter::FilterIndex(value);
    if (index == shownFilter)
        return;
    shownFilter = index;
    // The designs never change after creation; no lock is needed to read
    // them.
    plot->SetMagnitudes(redoruviz::ResponseMagnitudes(filter->Design(index)));
    char shown[80];
    std::snprintf(shown, sizeof shown, "FACTOR %s", text);
    display->SetText(shown);
    plot->Redraw();
}
