// One run of the worker component: OnStart on the UI thread, OnExecute on a fresh std::thread, and
// the end step handed back to the UI thread through its queue. The component joins every thread it
// started before it goes away, so no thread outlives it.
#include "core/BMDThread.h"

#include <chrono>
#include <condition_variable>
#include <exception>

namespace korvane {

struct BMDThread::Run {
    WorkerThread worker;
    std::thread thread;
    bool stopped = false;   // written by the worker before it posts the end step
    bool dropOnly = false;  // UI thread only: the component is going away, skip OnTerminate
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;  // under `mutex`: the worker has nothing left to do
};

BMDThread::BMDThread(UiThread& ui) : ui_(ui), alive_(std::make_shared<std::atomic<bool>>(true)) {}

BMDThread::~BMDThread() {
    if (std::shared_ptr<Run> run = run_) {
        run->dropOnly = true;
        run->worker.Terminate();
        // The worker may be waiting for the UI thread (invoke), so keep serving it while we wait.
        std::unique_lock<std::mutex> guard(run->mutex);
        while (!run->finished) {
            guard.unlock();
            ui_.pump();
            guard.lock();
            run->ended.wait_for(guard, std::chrono::milliseconds(10), [&] { return run->finished; });
        }
        guard.unlock();
        if (run->thread.joinable()) run->thread.join();
        run_.reset();
    }
    alive_->store(false);
}

void BMDThread::Start() {
    if (run_) return;
    auto run = std::make_shared<Run>();
    run_ = run;
    lastRunStopped_ = false;
    if (OnStart) {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        try {
            OnStart(*this, run->worker);
        } catch (...) {
            // The worker never started: leave the component idle so that a later Start works.
            if (run_ == run) run_.reset();
            throw;
        }
    }
    try {
        run->thread = std::thread(&BMDThread::Work, this, run.get(), run);
    } catch (...) {
        // No thread could be made (resources exhausted): the run never began.
        if (run_ == run) run_.reset();
        throw;
    }
}

void BMDThread::Work(BMDThread* self, Run* run, std::shared_ptr<Run> keep) {
    // Only OnExecute is read here; the component's other members belong to the UI thread.
    if (self->OnExecute) {
        try {
            self->OnExecute(*self, run->worker);
        } catch (...) {
            // An error ends the run quietly; the end step follows as after a normal return.
        }
    }
    run->stopped = run->worker.Terminated();
    std::shared_ptr<std::atomic<bool>> alive = self->alive_;
    self->ui_.post([self, alive, keep = std::move(keep)] {
        if (alive->load()) self->EndStep(keep);
    });
    std::lock_guard<std::mutex> guard(run->mutex);
    run->finished = true;
    run->ended.notify_all();
}

void BMDThread::Stop() {
    if (run_) run_->worker.Terminate();
}

void BMDThread::EndStep(const std::shared_ptr<Run>& run) {
    // The worker has posted this as its last act; the join only waits for it to return.
    if (run->thread.joinable()) run->thread.join();
    if (run_ == run) run_.reset();
    lastRunStopped_ = run->stopped;
    if (run->dropOnly || !OnTerminate) return;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    try {
        OnTerminate(*this, run->worker);
    } catch (const std::exception& error) {
        if (OnHandlerError) OnHandlerError(error.what());
    } catch (...) {
        if (OnHandlerError) OnHandlerError("Unknown error");
    }
}

}  // namespace korvane
