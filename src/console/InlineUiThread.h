// The console tool has one thread and no window: what the window's thread would run, it runs at once.
#pragma once

#include <functional>

#include "platform/UiThread.h"

namespace korvane::console {

class InlineUiThread final : public UiThread {
public:
    void invoke(const std::function<void()>& fn) override { fn(); }
    void post(std::function<void()> fn) override { fn(); }
    void pump() override {}
    bool isUiThread() const override { return true; }
};

}  // namespace korvane::console
