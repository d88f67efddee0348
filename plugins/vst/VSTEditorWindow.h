#pragma once
// CVSTEditorWindow: the window a VST plug-in draws its editor into. A Qt
// window holds a native child window; that child's X11 id goes to
// effEditOpen, and the plug-in makes its own window inside it. The window
// follows the plug-in's size (audioMasterSizeWindow) and gives the editor
// its idle calls from a timer while shown.
//
// Threads: created, shown and destroyed on the user-interface thread.
// Resize may come from any thread; off that thread it is queued.

#include <cstdint>

#include "framework/Machine.h"

class CVSTAdapter;

class CVSTEditorWindow {
public:
    /// Milliseconds between the editor's idle calls.
    static constexpr int kIdleIntervalMs = 30;

    /// Null without a Qt application on an X11 display. parent is a
    /// QWidget* handle, or null for a window of its own.
    static CVSTEditorWindow* Create(CVSTAdapter* adapter, WindowHandle parent, int width, int height);
    ~CVSTEditorWindow();
    CVSTEditorWindow(const CVSTEditorWindow&) = delete;
    CVSTEditorWindow& operator=(const CVSTEditorWindow&) = delete;

    /// The X11 window the plug-in embeds its editor in.
    unsigned long NativeId() const;
    /// The Xlib display of the application, for plug-ins that take it.
    void* DisplayPointer() const;
    /// The QWidget* of the outer window.
    WindowHandle Handle() const;
    void Resize(int width, int height);
    void Show();
    void Hide();
    int Width() const;
    int Height() const;

    /// Installs (once) an X error handler that logs instead of ending the
    /// program, as Xlib's default does; plug-in editors do raise errors.
    static void InstallXErrorHandler();
    /// X errors logged so far (tests).
    static int XErrorCount();

private:
    struct Widgets;
    explicit CVSTEditorWindow(Widgets* widgets);
    Widgets* widgets;
};
