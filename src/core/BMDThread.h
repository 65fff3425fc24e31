// The worker component: a start step on the UI thread, the work on a fresh thread, an end step back
// on the UI thread. One run at a time per component; a stop request only raises the run's flag.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "platform/UiThread.h"

namespace korvane {

// What the work of one run sees of its thread.
class WorkerThread {
public:
    bool Terminated() const { return stop_.stop_requested(); }
    void Terminate() { stop_.request_stop(); }
    // The Terminated flag for work that needs nothing else of the thread (the scan's walk).
    std::stop_token StopToken() const { return stop_.get_token(); }

private:
    std::stop_source stop_;
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
    // Where an error escaping OnTerminate goes (the window sets it to its error box). The end step
    // runs from the UI thread's queue, so nothing may escape it.
    std::function<void(const std::string& message)> OnHandlerError;

    // Start, Stop and Active are called on the UI thread.
    // Does nothing while a run is active. An error thrown by OnStart propagates to the caller and
    // the run is abandoned before its worker starts, so the component stays idle.
    void Start();
    void Stop();  // raises the running run's Terminated flag and returns at once; idle: nothing
    bool Active() const { return run_ != nullptr; }
    // Whether the last finished run's Terminated flag was set when its OnExecute returned.
    bool LastRunStopped() const { return lastRunStopped_; }

private:
    struct Run;
    static void Work(BMDThread* self, Run* run, std::shared_ptr<Run> keep);
    void EndStep(const std::shared_ptr<Run>& run);

    UiThread& ui_;
    // Serialises OnStart and OnTerminate; recursive because OnTerminate may call Start (and so OnStart).
    std::recursive_mutex lock_;
    std::shared_ptr<Run> run_;
    bool lastRunStopped_ = false;
    // Cleared by the destructor, so that an end step still queued on the UI thread does nothing.
    std::shared_ptr<std::atomic<bool>> alive_;
};

}  // namespace korvane
