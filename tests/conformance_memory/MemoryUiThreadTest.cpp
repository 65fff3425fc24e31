// The in-memory UI thread: work from a worker waits until the test thread pumps, in order, and an
// exception thrown by that work comes back to the worker.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/memory/MemoryUiThread.h"

namespace korvane {
namespace {

TEST(MemoryUiThreadTest, InvokeOnTheUiThreadRunsAtOnce) {
    MemoryUiThread ui;
    EXPECT_TRUE(ui.isUiThread());
    int runs = 0;
    ui.invoke([&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(ui.PendingCount(), 0u);
    EXPECT_THROW(ui.invoke([] { throw std::runtime_error("here"); }), std::runtime_error);
}

TEST(MemoryUiThreadTest, InvokeFromAWorkerRunsOnTheUiThreadInOrder) {
    MemoryUiThread ui;
    std::vector<int> order;  // touched only on the UI thread
    std::atomic<bool> workerDone{false};
    std::atomic<bool> wasUiThread{true};
    std::thread worker([&] {
        wasUiThread = ui.isUiThread();
        for (int i = 0; i < 50; ++i) {
            ui.invoke([&, i] {
                EXPECT_TRUE(ui.isUiThread());
                order.push_back(i);
            });
        }
        ui.post([&] { order.push_back(100); });
        workerDone = true;
    });
    EXPECT_TRUE(ui.PumpUntil([&] { return workerDone.load() && ui.PendingCount() == 0; }));
    worker.join();
    EXPECT_FALSE(wasUiThread);
    ASSERT_EQ(order.size(), 51u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
    EXPECT_EQ(order.back(), 100);
}

TEST(MemoryUiThreadTest, ExceptionOfInvokedWorkReachesTheWorker) {
    MemoryUiThread ui;
    std::atomic<bool> finished{false};
    std::string caught;
    std::thread worker([&] {
        try {
            ui.invoke([] { throw std::runtime_error("Failed to get data for 'x'"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        finished = true;
    });
    EXPECT_TRUE(ui.PumpUntil([&] { return finished.load(); }));
    worker.join();
    EXPECT_EQ(caught, "Failed to get data for 'x'");
}

TEST(MemoryUiThreadTest, PumpRunsPostedWorkIncludingWorkPostedMeanwhile) {
    MemoryUiThread ui;
    std::vector<int> order;
    ui.post([&] {
        order.push_back(1);
        ui.post([&] { order.push_back(3); });
    });
    ui.post([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty());  // nothing runs before the pump
    ui.pump();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ui.PendingCount(), 0u);
}

TEST(MemoryUiThreadTest, ExceptionOfPostedWorkLeavesTheRestQueued) {
    MemoryUiThread ui;
    int later = 0;
    ui.post([] { throw std::logic_error("posted"); });
    ui.post([&] { ++later; });
    EXPECT_THROW(ui.pump(), std::logic_error);
    EXPECT_EQ(later, 0);
    ui.pump();
    EXPECT_EQ(later, 1);
}

TEST(MemoryUiThreadTest, PumpUntilGivesUpWhenNothingHappens) {
    MemoryUiThread ui;
    EXPECT_FALSE(ui.PumpUntil([] { return false; }, std::chrono::milliseconds(20)));
}

TEST(MemoryUiThreadTest, OnlyTheUiThreadPumpsAndItCanMove) {
    MemoryUiThread ui;
    bool threw = false;
    std::thread other([&] {
        try {
            ui.pump();
        } catch (const std::logic_error&) {
            threw = true;
        }
        ui.AdoptCurrentThread();
        int runs = 0;
        ui.invoke([&] { ++runs; });  // now at once, on this thread
        EXPECT_EQ(runs, 1);
    });
    other.join();
    EXPECT_TRUE(threw);
    EXPECT_FALSE(ui.isUiThread());
}

}  // namespace
}  // namespace korvane
