// The window's thread. Models of controls are touched only there; workers hand work over with
// invoke (and wait) or post (and go on).
#pragma once

#include <functional>

namespace korvane {

class UiThread {
public:
    virtual ~UiThread() = default;

    // Runs `fn` on the UI thread and waits for it. Called on the UI thread it runs `fn` at once.
    // An exception thrown by `fn` is rethrown in the caller.
    virtual void invoke(const std::function<void()>& fn) = 0;
    // Queues `fn` to run on the UI thread later, in posting order.
    virtual void post(std::function<void()> fn) = 0;
    // Runs what is pending for the UI thread (and, on Windows, its window messages), then returns.
    virtual void pump() = 0;
    virtual bool isUiThread() const = 0;
};

}  // namespace korvane
