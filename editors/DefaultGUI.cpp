#include "editors/DefaultGUI.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/Machine.h"
#include "framework/ScopedLock.h"
#include "host/EditJournal.h"
#include "host/ParameterStep.h"

namespace {

/// Machines write texts of their own length; a generous scratch buffer
/// takes them, and the row keeps what fits.
template <class Reader>
void ReadText(char (&out)[CDefaultGUI::kTextLength], Reader read)
{
    char scratch[1024] = {};
    read(scratch);
    scratch[sizeof scratch - 1] = '\0';
    const std::size_t length = strnlen(scratch, sizeof out - 1);
    std::memcpy(out, scratch, length);
    out[length] = '\0';
}

} // namespace

CDefaultGUI::CDefaultGUI(CMachine* machine) : machine(machine)
{
    const int parameters = machine != nullptr ? machine->parameterCount : 0;
    count = std::max(parameters, 0);
    rows.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Row& row = rows[static_cast<std::size_t>(i)];
        ReadText(row.name, [&](char* out) { machine->GetParameterName(i, out); });
        ReadValue(i);
    }

    const int allRowsHeight = count * kRowHeight + kMargin;
    scrollBar = allRowsHeight > kMaxHeight;
    if (scrollBar) {
        width = kScrolledWidth;
        height = kMaxHeight;
        scrollRange = count - kFurtherRows - 1;
    } else {
        width = kWidth;
        height = allRowsHeight;
        scrollRange = 0;
    }
}

void CDefaultGUI::ReadValue(int parameter)
{
    Row& row = rows[static_cast<std::size_t>(parameter)];
    row.value = machine->GetParameter(parameter);
    row.sliderValue = row.value;
    ReadText(row.valueText, [&](char* out) { machine->FormatCurrentParameter(parameter, out); });
}

CDefaultGUI::Rect CDefaultGUI::GetScrollBarRect() const
{
    if (!scrollBar)
        return {0, 0, 0, 0};
    return {width - 17, 0, kScrollBarWidth, height};
}

int CDefaultGUI::GetLastVisibleRow() const
{
    if (!scrollBar)
        return count - 1;
    return std::min(count - 1, first + kFurtherRows);
}

void CDefaultGUI::ScrollTo(int row)
{
    first = std::clamp(row, 0, scrollRange);
    if (repaint)
        repaint();
}

CDefaultGUI::Rect CDefaultGUI::GetSliderRect(int row) const
{
    return {kSliderX, kSliderTop + kRowHeight * (row - first), kSliderWidth, kSliderHeight};
}

bool CDefaultGUI::IsSliderVisible(int row) const
{
    return IsRow(row) && row >= first;
}

double CDefaultGUI::GetSliderValue(int row) const
{
    return IsRow(row) ? rows[static_cast<std::size_t>(row)].sliderValue : 0.0;
}

CDefaultGUI::TextBox CDefaultGUI::GetIndexBox(int row) const
{
    return {4, 51, TextTop(row), kTextHeight, false};
}

CDefaultGUI::TextBox CDefaultGUI::GetNameBox(int row) const
{
    return {56, 167, TextTop(row), kTextHeight, true};
}

CDefaultGUI::TextBox CDefaultGUI::GetValueBox(int row) const
{
    return {305, 400, TextTop(row), kTextHeight, true};
}

std::string CDefaultGUI::GetIndexText(int row) const
{
    char text[32];
    std::snprintf(text, sizeof text, "[%04i]", row);
    return text;
}

const char* CDefaultGUI::GetName(int row) const
{
    return IsRow(row) ? rows[static_cast<std::size_t>(row)].name : "";
}

const char* CDefaultGUI::GetValueText(int row) const
{
    return IsRow(row) ? rows[static_cast<std::size_t>(row)].valueText : "";
}

double CDefaultGUI::GetLastValue(int row) const
{
    return IsRow(row) ? rows[static_cast<std::size_t>(row)].value : 0.0;
}

void CDefaultGUI::OnSliderMoved(int parameter, double x)
{
    if (!IsRow(parameter) || x == rows[static_cast<std::size_t>(parameter)].value)
        return;
    const double before = machine->GetParameter(parameter);
    {
        CScopedLock<CMachine> machineLock(*machine);
        machine->SetParameter(parameter, x);
    }
    RefreshRow(parameter);
    // A drag moves the slider many times; it is one edit, recorded when
    // the button goes up.
    if (journal != nullptr)
        journal->Continue("Change Parameter", ParameterStep(machine, parameter, before, x));
}

void CDefaultGUI::RefreshRow(int parameter)
{
    if (!IsRow(parameter))
        return;
    ReadValue(parameter);
    if (repaint)
        repaint();
}

void CDefaultGUI::RefreshAll()
{
    for (int i = 0; i < count; ++i)
        RefreshRow(i);
}
