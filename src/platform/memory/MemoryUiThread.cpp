// The queue behind MemoryUiThread: invoke waits for its own item, post does not.
#include "platform/memory/MemoryUiThread.h"

#include <exception>
#include <memory>
#include <stdexcept>

namespace korvane {

MemoryUiThread::MemoryUiThread() : uiThread_(std::this_thread::get_id()) {}

bool MemoryUiThread::isUiThread() const {
    std::lock_guard lock(mutex_);
    return std::this_thread::get_id() == uiThread_;
}

void MemoryUiThread::AdoptCurrentThread() {
    std::lock_guard lock(mutex_);
    uiThread_ = std::this_thread::get_id();
}

void MemoryUiThread::invoke(const std::function<void()>& fn) {
    if (isUiThread()) {
        fn();
        return;
    }
    struct Call {
        bool done = false;
        std::exception_ptr error;
    };
    auto call = std::make_shared<Call>();
    {
        std::lock_guard lock(mutex_);
        queue_.push_back([this, &fn, call] {
            std::exception_ptr error;
            try {
                fn();
            } catch (...) {
                error = std::current_exception();
            }
            {
                std::lock_guard inner(mutex_);
                call->error = std::move(error);
                call->done = true;
            }
            changed_.notify_all();
        });
    }
    changed_.notify_all();
    std::exception_ptr error;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return call->done; });
        // Take the exception out so that it ends its life on this thread, not when the UI thread drops
        // its copy of the call.
        error = std::move(call->error);
    }
    if (error) std::rethrow_exception(error);
}

void MemoryUiThread::post(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(fn));
    }
    changed_.notify_all();
}

void MemoryUiThread::pump() {
    if (!isUiThread()) throw std::logic_error("MemoryUiThread::pump called off the UI thread");
    while (true) {
        std::function<void()> next;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) return;
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        next();
    }
}

bool MemoryUiThread::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        pump();
        if (done()) return true;
        std::unique_lock lock(mutex_);
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) break;
        // Wake for new work at once; look at `done` again after a short while in case the worker
        // changed something without queueing.
        auto until = std::min(deadline, now + std::chrono::milliseconds(2));
        changed_.wait_until(lock, until, [&] { return !queue_.empty(); });
    }
    pump();
    return done();
}

std::size_t MemoryUiThread::PendingCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

}  // namespace korvane
