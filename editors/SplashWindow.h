#pragma once
// CSplashWindow: the picture shown while the studio starts, with the
// current start-up step written under it ("Initializing...", "Loading
// PlugIn Library stockpack.so...").
//
// Threads: user-interface thread.

#include <string>
#include <vector>

#include <QImage>
#include <QWidget>

class CSplashWindow : public QWidget {
public:
    CSplashWindow();

    /// Shows the line at once (the start-up runs on this thread, so the
    /// window is painted here rather than by the event loop).
    void ShowStatus(const std::string& line);
    /// Every line shown, in order.
    const std::vector<std::string>& Lines() const { return lines; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture;
    std::vector<std::string> lines;
};

/// The splash and about picture (the host's resource 130) as an image.
QImage LoadSplashPicture();
