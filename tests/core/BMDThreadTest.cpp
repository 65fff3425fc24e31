// The worker component: the order of its steps, the thread each handler runs on, stop requests,
// errors in the work, restarts from the end step, and the release while a run is still going.
// The test thread is the UI thread; it pumps the in-memory queue to let end steps happen.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/BMDThread.h"
#include "platform/memory/MemoryUiThread.h"

namespace korvane {
namespace {

// A one-shot gate a worker can wait at until the test opens it.
class Gate {
public:
    void Open() { promise_.set_value(); }
    void Wait() { opened_.wait(); }

private:
    std::promise<void> promise_;
    std::shared_future<void> opened_ = promise_.get_future().share();
};

class BMDThreadTest : public ::testing::Test {
protected:
    // Steps recorded on whichever thread they happen; read by the test once the run is over.
    void Record(const std::string& step) {
        std::lock_guard<std::mutex> guard(mutex_);
        steps_.push_back(step);
    }
    std::vector<std::string> Steps() {
        std::lock_guard<std::mutex> guard(mutex_);
        return steps_;
    }
    bool PumpUntilIdle(BMDThread& worker) {
        return ui_.PumpUntil([&] { return !worker.Active(); });
    }

    MemoryUiThread ui_;  // declared first: outlives every component of a test
    std::mutex mutex_;
    std::vector<std::string> steps_;
};

TEST_F(BMDThreadTest, StepsRunInOrderOnTheirThreads) {
    BMDThread worker(ui_);
    const std::thread::id uiThread = std::this_thread::get_id();
    std::thread::id startThread, executeThread, terminateThread;
    bool activeInStart = false, activeInTerminate = true;
    worker.OnStart = [&](BMDThread& sender, WorkerThread&) {
        EXPECT_EQ(&sender, &worker);
        startThread = std::this_thread::get_id();
        activeInStart = worker.Active();
        Record("start");
    };
    worker.OnExecute = [&](BMDThread&, WorkerThread&) {
        executeThread = std::this_thread::get_id();
        Record("execute");
    };
    worker.OnTerminate = [&](BMDThread&, WorkerThread&) {
        terminateThread = std::this_thread::get_id();
        activeInTerminate = worker.Active();
        Record("terminate");
    };
    EXPECT_FALSE(worker.Active());
    worker.Start();
    EXPECT_TRUE(worker.Active());
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_EQ(Steps(), (std::vector<std::string>{"start", "execute", "terminate"}));
    EXPECT_EQ(startThread, uiThread);
    EXPECT_EQ(terminateThread, uiThread);
    EXPECT_NE(executeThread, uiThread);
    EXPECT_TRUE(activeInStart);
    EXPECT_FALSE(activeInTerminate);  // the run no longer counts when OnTerminate runs
    EXPECT_FALSE(worker.LastRunStopped());
}

TEST_F(BMDThreadTest, EndStepWaitsForTheUiThread) {
    // The end step is queued work of the UI thread: until the UI thread turns to it the run is active.
    BMDThread worker(ui_);
    std::atomic<bool> executed{false};
    worker.OnExecute = [&](BMDThread&, WorkerThread&) { executed = true; };
    int terminated = 0;
    worker.OnTerminate = [&](BMDThread&, WorkerThread&) { ++terminated; };
    worker.Start();
    while (ui_.PendingCount() == 0) std::this_thread::yield();
    EXPECT_TRUE(executed);
    EXPECT_TRUE(worker.Active());
    worker.Start();  // still active: ignored
    EXPECT_EQ(terminated, 0);
    ui_.pump();
    EXPECT_EQ(terminated, 1);
    EXPECT_FALSE(worker.Active());
}

TEST_F(BMDThreadTest, StartDuringARunDoesNothing) {
    BMDThread worker(ui_);
    Gate gate;
    std::atomic<int> starts{0}, executes{0};
    worker.OnStart = [&](BMDThread&, WorkerThread&) { ++starts; };
    worker.OnExecute = [&](BMDThread&, WorkerThread&) {
        ++executes;
        gate.Wait();
    };
    worker.Start();
    worker.Start();
    worker.Start();
    gate.Open();
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(executes, 1);
    // and a later Start begins a new run
    worker.OnExecute = [&](BMDThread&, WorkerThread&) { ++executes; };
    worker.Start();
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(executes, 2);
}

TEST_F(BMDThreadTest, StopRaisesTheFlagOnceAndDoesNotWait) {
    BMDThread worker(ui_);
    worker.Stop();  // idle: nothing happens, and the next run starts unstopped
    std::atomic<bool> sawStop{false};
    Gate started;
    worker.OnExecute = [&](BMDThread&, WorkerThread& thread) {
        started.Open();
        while (!thread.Terminated()) std::this_thread::yield();
        sawStop = true;
    };
    int terminated = 0;
    worker.OnTerminate = [&](BMDThread&, WorkerThread& thread) {
        EXPECT_TRUE(thread.Terminated());
        ++terminated;
    };
    worker.Start();
    started.Wait();
    worker.Stop();
    worker.Stop();  // twice has the effect of once
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_TRUE(sawStop);
    EXPECT_EQ(terminated, 1);
    EXPECT_TRUE(worker.LastRunStopped());
    worker.Stop();  // idle again: no effect on the next run
    worker.OnExecute = [](BMDThread&, WorkerThread& thread) { EXPECT_FALSE(thread.Terminated()); };
    worker.OnTerminate = nullptr;
    worker.Start();
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_FALSE(worker.LastRunStopped());
}

TEST_F(BMDThreadTest, AnErrorInTheWorkEndsTheRunQuietly) {
    BMDThread worker(ui_);
    int terminated = 0;
    worker.OnExecute = [](BMDThread&, WorkerThread&) { throw std::runtime_error("disk on fire"); };
    worker.OnTerminate = [&](BMDThread&, WorkerThread&) { ++terminated; };
    worker.Start();
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_EQ(terminated, 1);
    worker.OnExecute = [](BMDThread&, WorkerThread&) { throw 42; };  // not even an exception class
    worker.Start();
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_EQ(terminated, 2);
}

TEST_F(BMDThreadTest, StartFromInsideOnTerminateBeginsTheNextRun) {
    BMDThread worker(ui_);
    std::atomic<int> executes{0};
    int starts = 0, terminates = 0;
    worker.OnStart = [&](BMDThread&, WorkerThread&) { ++starts; };
    worker.OnExecute = [&](BMDThread&, WorkerThread&) { ++executes; };
    worker.OnTerminate = [&](BMDThread& sender, WorkerThread&) {
        if (++terminates < 3) sender.Start();  // OnStart runs under the same lock: it must not deadlock
    };
    worker.Start();
    ASSERT_TRUE(ui_.PumpUntil([&] { return terminates == 3; }));
    EXPECT_FALSE(worker.Active());
    EXPECT_EQ(starts, 3);
    EXPECT_EQ(executes, 3);
}

TEST_F(BMDThreadTest, AnErrorInOnStartLeavesTheComponentIdle) {
    BMDThread worker(ui_);
    std::atomic<int> executes{0};
    worker.OnStart = [](BMDThread&, WorkerThread&) { throw std::runtime_error("Cannot create folder"); };
    worker.OnExecute = [&](BMDThread&, WorkerThread&) { ++executes; };
    EXPECT_THROW(worker.Start(), std::runtime_error);
    EXPECT_FALSE(worker.Active());
    worker.OnStart = nullptr;
    worker.Start();
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_EQ(executes, 1);
}

TEST_F(BMDThreadTest, AnErrorInOnTerminateGoesToTheErrorHandlerNotIntoTheQueue) {
    BMDThread worker(ui_);
    std::vector<std::string> errors;
    worker.OnHandlerError = [&](const std::string& message) { errors.push_back(message); };
    worker.OnTerminate = [](BMDThread&, WorkerThread&) {
        throw std::runtime_error("List index out of bounds (3)");
    };
    worker.Start();
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_EQ(errors, std::vector<std::string>{"List index out of bounds (3)"});
    worker.Start();  // the component goes on
    ASSERT_TRUE(PumpUntilIdle(worker));
    EXPECT_EQ(errors.size(), 2u);
}

TEST_F(BMDThreadTest, ReleaseWaitsForWorkThatIgnoresTheStopAndKeepsTheUiThreadServing) {
    // Like the backup at program end: every step of the work is done, each through the UI thread,
    // and OnTerminate is not called any more.
    int uiSteps = 0;
    std::atomic<bool> finished{false};
    int terminated = 0;
    Gate started;
    {
        BMDThread worker(ui_);
        worker.OnExecute = [&](BMDThread&, WorkerThread&) {
            started.Open();
            for (int i = 0; i < 50; ++i) ui_.invoke([&] { ++uiSteps; });
            finished = true;
        };
        worker.OnTerminate = [&](BMDThread&, WorkerThread&) { ++terminated; };
        worker.Start();
        started.Wait();
    }  // released while running
    EXPECT_TRUE(finished);
    EXPECT_EQ(uiSteps, 50);
    ui_.pump();  // the end step may still be queued; it must do nothing now
    EXPECT_EQ(terminated, 0);
}

TEST_F(BMDThreadTest, ReleaseStopsWorkThatReadsTheFlag) {
    std::atomic<bool> sawStop{false};
    int terminated = 0;
    Gate started;
    {
        BMDThread worker(ui_);
        worker.OnExecute = [&](BMDThread&, WorkerThread& thread) {
            started.Open();
            while (!thread.Terminated()) ui_.invoke([] {});
            sawStop = true;
        };
        worker.OnTerminate = [&](BMDThread&, WorkerThread&) { ++terminated; };
        worker.Start();
        started.Wait();
    }
    EXPECT_TRUE(sawStop);
    ui_.pump();
    EXPECT_EQ(terminated, 0);
}

TEST_F(BMDThreadTest, ReleaseWhenTheEndStepIsAlreadyQueued) {
    int terminated = 0;
    {
        BMDThread worker(ui_);
        worker.OnTerminate = [&](BMDThread&, WorkerThread&) { ++terminated; };
        worker.Start();
        while (ui_.PendingCount() == 0) std::this_thread::yield();
    }
    ui_.pump();
    EXPECT_EQ(terminated, 0);
    EXPECT_EQ(ui_.PendingCount(), 0u);
}

TEST_F(BMDThreadTest, TwoComponentsRunAtTheSameTime) {
    BMDThread scan(ui_), backup(ui_);
    Gate bothRunning;
    std::atomic<int> running{0};
    auto work = [&](BMDThread&, WorkerThread&) {
        if (++running == 2) bothRunning.Open();
        bothRunning.Wait();
    };
    scan.OnExecute = work;
    backup.OnExecute = work;
    scan.Start();
    backup.Start();
    ASSERT_TRUE(ui_.PumpUntil([&] { return !scan.Active() && !backup.Active(); }));
    EXPECT_EQ(running, 2);
}

}  // namespace
}  // namespace korvane
