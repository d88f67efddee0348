#pragma once
// Helpers for the toolkit tests: pictures with known pixels, a window that
// records what a panel asks of it, a panel that records its notifications,
// and a machine with named parameters inside a real studio.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Mutex.h"
#include "gui/LiteContainer.h"
#include "gui/Picture.h"
#include "tests/host/TestMachines.h"

namespace gui_test {

using Pixel = std::array<int, 4>;   // R, G, B, A (A = -1 for RGB pictures)

/// A picture whose every pixel is (r, g, b[, a]).
CPicture SolidPicture(int width, int height, int r, int g, int b, int a = -1);
Pixel PixelOf(const CPicture& picture, int x, int y);
void SetPixel(CPicture& picture, int x, int y, int r, int g, int b, int a = 255);
/// A film strip of `frames` frames, frame k filled with the colour
/// (k, 255 - k, 7) so that a drawn frame can be told from its pixels.
CPicture NumberedStrip(int width, int height, int frames);

/// Records what the panel asks of its window.
class CRecordingWindow : public CLiteWindow {
public:
    struct Presented {
        int x, y, w, h;
        bool locked;
    };
    void Present(const CPicture& backBuffer, int x, int y, int w, int h) override;
    void CaptureMouse() override { ++captures; }
    void ReleaseMouse() override { ++releases; }
    void ShowToolTip(const CLiteControl& control, const char* text) override;
    void StartTimer(CLiteControl& control, int intervalMs) override;
    void StopTimer(CLiteControl& control) override;

    CLiteContainer* container = nullptr;   // to check its lock when presenting
    std::vector<Presented> presented;
    std::vector<std::string> toolTips;
    std::vector<bool> toolTipLocked;        // container lock held at the time
    int captures = 0;
    int releases = 0;
    std::vector<std::pair<const CLiteControl*, int>> timersStarted;
    std::vector<const CLiteControl*> timersStopped;
};

/// A panel that records the notifications of sliders and buttons.
class CRecordingContainer : public CLiteContainer {
public:
    using CLiteContainer::CLiteContainer;
    struct Notice {
        std::string what;   // "pressed", "moved", "clicked"
        const void* control;
        double value;
        bool locked;
    };
    void OnSliderPressed(CLiteSlider* slider, double value) override;
    void OnSliderMoved(CLiteSlider* slider, double value) override;
    void OnButtonClicked(CLiteButton* button) override;
    std::vector<Notice> notices;
    int Count(const std::string& what) const;
};

/// A machine with named parameters ("Cutoff", "Resonance", ...) and value
/// texts "%.1f%%", recording the locks held when a value is set.
class CParameterMachine : public engine_test::CEngineMachine {
public:
    struct Set {
        int index;
        double value;
        bool machineLocked;
        bool containerLocked;
    };
    CParameterMachine(CCorvHost* host, int parameters);
    void GetParameterName(int index, char* out) override;
    void FormatParameter(int index, double value, char* out) override;
    void SetParameter(int index, double value) override;

    CMutex* containerLock = nullptr;   // whose state to record
    std::vector<Set> sets;
    int nameReads = 0;
    int formatReads = 0;
};

/// A studio holding one CParameterMachine; host notifications recorded.
struct CBoundMachineRig {
    explicit CBoundMachineRig(int parameters = 4);
    struct Notification {
        int index;
        double value;
    };
    engine_test::CEngineStudio studio;
    CParameterMachine* machine;
    std::vector<Notification> notifications;
};

} // namespace gui_test
