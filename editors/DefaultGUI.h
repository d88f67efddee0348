#pragma once
// CDefaultGUI's model: the editor every machine has without one of its own.
// One 22-pixel row per parameter with the index, the name, a slider and the
// machine's text for the value. Up to 17 rows the window fits them all;
// from 18 on it is 400 pixels high with a vertical scroll bar. The window
// (a Qt widget) paints what this class lays out and passes slider moves and
// scrolling in.
//
// Threads: user-interface thread; the machine is locked around each change.

#include <functional>
#include <string>
#include <vector>

class CEditJournal;
class CMachine;

class CDefaultGUI {
public:
    static constexpr const char* kWindowName = "DefaultGUI";
    static constexpr const char* kFontName = "Verdana";
    static constexpr int kFontSize = 9;

    static constexpr int kRowHeight = 22;
    static constexpr int kMargin = 10;          // below the last row, and the first text top
    static constexpr int kMaxHeight = 400;
    static constexpr int kWidth = 405;
    static constexpr int kScrolledWidth = 421;  // room for the scroll bar
    static constexpr int kScrollBarWidth = 16;
    /// Rows shown below the first one when the window scrolls.
    static constexpr int kFurtherRows = (kMaxHeight - kMargin) / kRowHeight;

    static constexpr int kSliderX = 172;
    static constexpr int kSliderTop = 4;
    static constexpr int kSliderWidth = 129;
    static constexpr int kSliderHeight = 24;
    static constexpr int kTextHeight = 15;

    static constexpr int kTextLength = 64;      // name and value buffers, NUL included

    struct Rect {
        int x;
        int y;
        int width;
        int height;
    };
    /// A single-line text box; right-aligned for names and values.
    struct TextBox {
        int left;
        int right;
        int top;
        int height;
        bool rightAligned;
    };

    /// Reads every parameter's name, value text and value.
    explicit CDefaultGUI(CMachine* machine);

    int GetParameterCount() const { return count; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    bool HasScrollBar() const { return scrollBar; }
    /// At x = width - 17, over the full height, 16 wide.
    Rect GetScrollBarRect() const;
    /// n - 17 - 1 with a scroll bar, 0 without.
    int GetScrollRange() const { return scrollRange; }

    int GetFirstVisibleRow() const { return first; }
    /// The rows painted: first .. LastVisibleRow() (none when it is below
    /// first).
    int GetLastVisibleRow() const;
    /// Limits the row to the scroll range; rows above it hide their sliders,
    /// the others move to their positions.
    void ScrollTo(int row);

    Rect GetSliderRect(int row) const;
    bool IsSliderVisible(int row) const;
    double GetSliderValue(int row) const;
    /// "[%04i]" in x 4 .. 51, left aligned; name in 56 .. 167 and value text
    /// in 305 .. 400, right aligned; text top 10 + 22 (row - first).
    TextBox GetIndexBox(int row) const;
    TextBox GetNameBox(int row) const;
    TextBox GetValueBox(int row) const;
    std::string GetIndexText(int row) const;
    const char* GetName(int row) const;
    const char* GetValueText(int row) const;
    double GetLastValue(int row) const;

    /// The slider of parameter i moved to x: nothing when x is the last
    /// known value; otherwise sets the parameter with the machine locked
    /// and refreshes the row.
    void OnSliderMoved(int parameter, double x);
    /// Reads the value and its text back from the machine and repaints;
    /// ignored outside 0 .. n - 1.
    void RefreshRow(int parameter);
    /// Every row, as Randomize does.
    void RefreshAll();

    /// Where parameter changes are reported as edits; null for nowhere.
    void SetJournal(CEditJournal* target) { journal = target; }

    /// Called whenever the window must repaint.
    void SetRepaintHandler(std::function<void()> handler) { repaint = std::move(handler); }

private:
    struct Row {
        char name[kTextLength];
        char valueText[kTextLength];
        double value;
        double sliderValue;
    };
    bool IsRow(int row) const { return row >= 0 && row < count; }
    int TextTop(int row) const { return kMargin + kRowHeight * (row - first); }
    void ReadValue(int parameter);

    CMachine* machine;
    int count;
    std::vector<Row> rows;
    int width;
    int height;
    bool scrollBar;
    int scrollRange;
    int first = 0;
    std::function<void()> repaint;
    CEditJournal* journal = nullptr;
};
