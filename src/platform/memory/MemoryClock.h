// The clock slow and unreachable volumes of the in-memory file system wait on: real time by default
// (a benchmark simulates a slow server as it is), or a clock that moves only when a test moves it, so
// that a test decides exactly when a slow server answers. Thread-safe.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace korvane {

class MemoryClock {
public:
    enum class Mode { RealTime, Manual };
    using Duration = std::chrono::milliseconds;

    explicit MemoryClock(Mode mode = Mode::RealTime);
    MemoryClock(const MemoryClock&) = delete;
    MemoryClock& operator=(const MemoryClock&) = delete;

    // Time since the clock was made.
    Duration Now() const;
    // Moves a manual clock on and wakes whoever waits for it; a real-time clock ignores it.
    void Advance(Duration by);
    // Blocks until Now() reaches `deadline`; false when `cancel` was set and WakeAll() called first.
    bool SleepUntil(Duration deadline, const std::atomic<bool>& cancel);
    void WakeAll();
    // How many calls are blocked in SleepUntil now.
    int Sleepers() const;

private:
    Mode mode_;
    std::chrono::steady_clock::time_point start_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Duration manualNow_{0};
    int sleepers_ = 0;
};

}  // namespace korvane
