#pragma once
// CLiteContainerView: the Qt window of a skinned panel. It presents the
// panel's back buffer, turns mouse events into the panel's operations, shows
// the bound controls' tool tips and runs the controls' timers. All logic
// stays in CLiteContainer.
//
// Threads: user-interface thread.

#include <map>
#include <memory>

#include <QImage>
#include <QWidget>

#include "gui/LiteContainer.h"

class QTimer;

class CLiteContainerView : public QWidget, public CLiteWindow {
public:
    /// Shows the panel at its size. With owns, the view deletes the panel;
    /// otherwise the panel must outlive the view.
    CLiteContainerView(CLiteContainer* container, QWidget* parent = nullptr, bool owns = false);
    ~CLiteContainerView() override;

    CLiteContainer* GetContainer() const { return container; }
    /// The last presented image (what is on screen).
    const QImage& GetBitmap() const { return bitmap; }

    // CLiteWindow
    void Present(const CPicture& backBuffer, int x, int y, int w, int h) override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    void ShowToolTip(const CLiteControl& control, const char* text) override;
    void StartTimer(CLiteControl& control, int intervalMs) override;
    void StopTimer(CLiteControl& control) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CLiteContainer* container;
    std::unique_ptr<CLiteContainer> owned;
    QImage bitmap;
    std::map<CLiteControl*, QTimer*> timers;
    bool captured = false;
};
