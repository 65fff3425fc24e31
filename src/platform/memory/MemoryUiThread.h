// The UI thread of the native tests: the thread that constructs it. Work from other threads waits in a
// queue until that thread pumps, as window messages wait for the message loop on Windows. Destroy it
// only after every worker that may invoke has finished.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/UiThread.h"

namespace korvane {

class MemoryUiThread : public UiThread {
public:
    MemoryUiThread();

    void invoke(const std::function<void()>& fn) override;
    void post(std::function<void()> fn) override;
    // Runs queued work until the queue is empty, including work queued meanwhile. Only on the UI
    // thread; an exception of posted work leaves pump and the rest stays queued.
    void pump() override;
    bool isUiThread() const override;

    // Pumps until `done` holds or `timeout` has passed; returns whether `done` held. `done` runs on the
    // UI thread between pumps.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10));
    std::size_t PendingCount() const;
    // Makes the calling thread the UI thread (for a fixture built on another thread).
    void AdoptCurrentThread();

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    std::thread::id uiThread_;
};

}  // namespace korvane
