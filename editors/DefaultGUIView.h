#pragma once
// CDefaultGUIView: the default machine GUI as a widget over its layout
// model (CDefaultGUI): one row per parameter with the index, the name, a
// slider and the machine's value text, and a scroll bar once the rows do
// not fit. Slider moves go to the model, which sets the parameter.
//
// Threads: user-interface thread.

#include <memory>
#include <vector>

#include <QWidget>

#include "editors/DefaultGUI.h"

class CMachine;
class QScrollBar;
class QSlider;

class CDefaultGUIView : public QWidget {
public:
    /// Slider steps over 0 .. 1; fine enough for any parameter's text.
    static constexpr int kSliderSteps = 10000;

    CDefaultGUIView(CMachine* machine, QWidget* parent = nullptr);
    ~CDefaultGUIView() override;

    CDefaultGUI& Model() { return *model; }
    CMachine* Machine() const { return machine; }
    QSlider* Slider(int parameter) const;
    QScrollBar* ScrollBar() const { return scrollBar; }
    /// Reads a parameter back from the machine (Randomize, programs,
    /// changes the machine reports).
    void RefreshRow(int parameter);
    void RefreshAll();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PlaceSliders();

    CMachine* machine;
    std::unique_ptr<CDefaultGUI> model;
    std::vector<QSlider*> sliders;
    QScrollBar* scrollBar = nullptr;
    bool refreshing = false;
};
