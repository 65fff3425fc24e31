// The worker component: a start step on the UI thread, the work on a fresh thread, an end step back
// on the UI thread. One run at a time per component; a stop request only raises the run's flag.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/UiThread.h"

namespace korvane {

// What the work of one run sees of its thread.
class WorkerThread {
public:
    bool Terminated() const { return terminated_.load(std::memory_order_acquire); }
    void Terminate() { terminated_.store(true, std::memory_order_release); }

private:
    std::atomic<bool> terminated_{false};
};

class BMDThread {
public:
    using Event = std::function<void(BMDThread& sender, WorkerThread& thread)>;

    explicit BMDThread(UiThread& ui);
    // At program end: a running run is told to stop, its end step will not call OnTerminate, and the
    // UI thread keeps processing its work until the worker has ended.
    ~BMDThread();
    BMDThread(const BMDThread&) = delete;
    BMDThread& operator=(const BMDThread&) = delete;

    Event OnStart;      // UI thread, inside Start, before the worker runs
    Event OnExecute;    // worker thread; an exception ends the run quietly
    Event OnTerminate;  // UI thread, after the work; the run no longer counts as active

    void Start();  // does nothing while a run is active
    void Stop();   // raises the running run's Terminated flag and returns at once
    bool Active() const;
    bool LastRunStopped() const { return lastRunStopped_; }

private:
    struct Run;
    void EndStep(const std::shared_ptr<Run>& run);

    UiThread& ui_;
    std::mutex lock_;  // serialises OnStart and OnTerminate
    std::shared_ptr<Run> run_;
    bool lastRunStopped_ = false;
    std::shared_ptr<std::atomic<bool>> alive_;
};

}  // namespace korvane
