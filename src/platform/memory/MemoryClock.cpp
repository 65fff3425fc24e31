// The in-memory file system's clock (see MemoryClock.h).
#include "platform/memory/MemoryClock.h"

namespace korvane {

MemoryClock::MemoryClock(Mode mode) : mode_(mode), start_(std::chrono::steady_clock::now()) {}

MemoryClock::Duration MemoryClock::Now() const {
    if (mode_ == Mode::RealTime)
        return std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now() - start_);
    std::lock_guard lock(mutex_);
    return manualNow_;
}

void MemoryClock::Advance(Duration by) {
    if (mode_ == Mode::RealTime) return;
    {
        std::lock_guard lock(mutex_);
        manualNow_ += by;
    }
    changed_.notify_all();
}

bool MemoryClock::SleepUntil(Duration deadline, const std::atomic<bool>& cancel) {
    std::unique_lock lock(mutex_);
    ++sleepers_;
    bool reached = false;
    if (mode_ == Mode::RealTime) {
        reached = !changed_.wait_until(lock, start_ + deadline, [&] { return cancel.load(); });
    } else {
        changed_.wait(lock, [&] { return manualNow_ >= deadline || cancel.load(); });
        reached = manualNow_ >= deadline;
    }
    --sleepers_;
    return reached;
}

void MemoryClock::WakeAll() {
    { std::lock_guard lock(mutex_); }  // a sleeper between its test and its wait sees the change
    changed_.notify_all();
}

int MemoryClock::Sleepers() const {
    std::lock_guard lock(mutex_);
    return sleepers_;
}

}  // namespace korvane
