#pragma once
// CDisplayPost: how the display thread asks a view to refresh. The display
// thread only posts; the view reads the models and touches its widgets on
// the user-interface thread when the post arrives. A post still waiting
// swallows the next ones, so a slow event loop never piles them up, and a
// view that is gone drops its post with it.
//
// Threads: Post from any thread; the action runs on the target's thread.

#include <atomic>
#include <functional>

#include <QMetaObject>
#include <QObject>

class CDisplayPost {
public:
    CDisplayPost(QObject* target, std::function<void()> action) : target(target), action(std::move(action)) {}

    void Post()
    {
        if (pending.exchange(true, std::memory_order_acq_rel))
            return;
        QMetaObject::invokeMethod(
            target,
            [this] {
                pending.store(false, std::memory_order_release);
                action();
            },
            Qt::QueuedConnection);
    }

private:
    QObject* target;
    std::function<void()> action;
    std::atomic<bool> pending{false};
};
