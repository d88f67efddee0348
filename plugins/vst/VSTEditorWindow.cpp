#include "plugins/vst/VSTEditorWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <X11/Xlib.h>
#include <atomic>
#include <cstdio>
#include <mutex>

#include "plugins/vst/VSTAdapter.h"

namespace {

std::atomic<int> xErrors{0};

int LogXError(Display* display, XErrorEvent* error)
{
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X error from a plug-in editor (ignored): %s, request %u.%u\n", text,
                 static_cast<unsigned>(error->request_code), static_cast<unsigned>(error->minor_code));
    xErrors.fetch_add(1);
    return 0;
}

} // namespace

struct CVSTEditorWindow::Widgets {
    QPointer<QWidget> frame;
    QPointer<QWidget> client;    // the native child the plug-in draws into
    QTimer* idleTimer = nullptr;
    Display* display = nullptr;
};

CVSTEditorWindow* CVSTEditorWindow::Create(CVSTAdapter* adapter, WindowHandle parent, int width, int height)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
        QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    InstallXErrorHandler();
    auto* widgets = new Widgets;
    widgets->frame = new QWidget(static_cast<QWidget*>(parent));
    widgets->frame->setObjectName(QStringLiteral("VST"));
    if (parent == nullptr) {
        const char* name = adapter->Info() != nullptr ? adapter->name : nullptr;
        widgets->frame->setWindowTitle(QString::fromUtf8(name != nullptr ? name : "VST"));
    }
    // Both native: the plug-in's window lives inside the client's X window,
    // and only native windows move their X children when a layout moves
    // them.
    widgets->frame->setAttribute(Qt::WA_NativeWindow);
    widgets->client = new QWidget(widgets->frame);
    widgets->client->setAttribute(Qt::WA_NativeWindow);
    widgets->client->setObjectName(QStringLiteral("VST"));
    auto* window = new CVSTEditorWindow(widgets);
    window->Resize(width > 0 ? width : 320, height > 0 ? height : 200);
    widgets->client->winId();
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
        widgets->display = x11->display();

    widgets->idleTimer = new QTimer(widgets->frame);
    widgets->idleTimer->setInterval(kIdleIntervalMs);
    QObject::connect(widgets->idleTimer, &QTimer::timeout, widgets->frame, [adapter] { adapter->EditorIdle(); });
    return window;
}

CVSTEditorWindow::CVSTEditorWindow(Widgets* widgets) : widgets(widgets) {}

CVSTEditorWindow::~CVSTEditorWindow()
{
    // The frame may be gone already when a parent window deleted it.
    delete widgets->frame.data();
    delete widgets;
}

unsigned long CVSTEditorWindow::NativeId() const
{
    return widgets->client.isNull() ? 0 : static_cast<unsigned long>(widgets->client->winId());
}

void* CVSTEditorWindow::DisplayPointer() const
{
    return widgets->display;
}

WindowHandle CVSTEditorWindow::Handle() const
{
    return static_cast<WindowHandle>(widgets->frame.data());
}

void CVSTEditorWindow::Resize(int width, int height)
{
    QPointer<QWidget> frame = widgets->frame;
    QPointer<QWidget> client = widgets->client;
    if (frame.isNull())
        return;
    auto apply = [frame, client, width, height] {
        if (frame.isNull() || client.isNull())
            return;
        client->setFixedSize(width, height);
        frame->setFixedSize(width, height);
    };
    if (QThread::currentThread() == frame->thread())
        apply();
    else
        QMetaObject::invokeMethod(frame.data(), apply, Qt::QueuedConnection);
}

void CVSTEditorWindow::Show()
{
    if (widgets->frame.isNull())
        return;
    widgets->frame->show();
    widgets->idleTimer->start();
}

void CVSTEditorWindow::Hide()
{
    if (widgets->frame.isNull())
        return;
    widgets->idleTimer->stop();
    widgets->frame->hide();
}

int CVSTEditorWindow::Width() const
{
    return widgets->client.isNull() ? 0 : widgets->client->width();
}

int CVSTEditorWindow::Height() const
{
    return widgets->client.isNull() ? 0 : widgets->client->height();
}

void CVSTEditorWindow::InstallXErrorHandler()
{
    static std::once_flag once;
    std::call_once(once, [] { XSetErrorHandler(&LogXError); });
}

int CVSTEditorWindow::XErrorCount()
{
    return xErrors.load();
}
