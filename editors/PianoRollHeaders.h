#pragma once
// The piano roll's two headers: the row labels on the left (a keyboard for
// note machines, the machine's trigger names otherwise) and the bar/beat
// ruler on top. Each follows the roll's scrolling through an offset and its
// zoom through the roll itself.
//
// Threads: user-interface thread.

#include <QWidget>

class CNoteView;
class CPatternEditor;

class CPianoKeysView : public QWidget {
public:
    static constexpr int kWidth = 72;

    CPianoKeysView(CPatternEditor& editor, const CNoteView& roll, QWidget* parent = nullptr);
    /// The roll's vertical scroll position in pixels.
    void SetOffset(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CPatternEditor& editor;
    const CNoteView& roll;
    int offset = 0;
};

class CTickRuler : public QWidget {
public:
    static constexpr int kHeight = 20;

    CTickRuler(CPatternEditor& editor, const CNoteView& roll, QWidget* parent = nullptr);
    void SetOffset(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CPatternEditor& editor;
    const CNoteView& roll;
    int offset = 0;
};
