// Win32UiThread with real messages: calls from a worker thread reach the window's thread through
// SendMessageW/PostMessageW and run only while that thread processes its messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "win32/platform/Win32UiThread.h"

namespace korvane::win32 {
namespace {

// Keeps the UI thread processing messages until the worker has finished, as the window's loop would.
void PumpUntilJoined(Win32UiThread& ui, std::thread& worker, std::atomic<bool>& finished) {
    while (!finished.load()) {
        ui.pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    worker.join();
}

TEST(Win32UiThread, InvokeFromWorkerRunsOnTheUiThreadAndWaits) {
    Win32UiThread ui;
    const DWORD uiThreadId = ::GetCurrentThreadId();
    DWORD ranOn = 0;
    bool sawUiThread = false;
    bool doneBeforeReturn = false;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        bool done = false;
        ui.invoke([&] {
            ranOn = ::GetCurrentThreadId();
            sawUiThread = ui.isUiThread();
            done = true;
        });
        doneBeforeReturn = done;  // invoke must not return before the call has run
        EXPECT_FALSE(ui.isUiThread());
        finished = true;
    });
    PumpUntilJoined(ui, worker, finished);
    EXPECT_EQ(ranOn, uiThreadId);
    EXPECT_TRUE(sawUiThread);
    EXPECT_TRUE(doneBeforeReturn);
}

TEST(Win32UiThread, InvokeRethrowsInTheCallerAndOnTheUiThreadRunsAtOnce) {
    Win32UiThread ui;
    std::string caught;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        try {
            ui.invoke([] { throw std::runtime_error("Failed to get data for 'x'"); });
        } catch (const std::runtime_error& error) {
            caught = error.what();
        }
        finished = true;
    });
    PumpUntilJoined(ui, worker, finished);
    EXPECT_EQ(caught, "Failed to get data for 'x'");

    // On the UI thread itself no message is involved: the call has run when invoke returns.
    bool ran = false;
    ui.invoke([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_THROW(ui.invoke([] { throw std::logic_error("inline"); }), std::logic_error);
}

TEST(Win32UiThread, PostedCallsRunOnPumpInPostingOrder) {
    Win32UiThread ui;
    std::vector<int> order;
    std::vector<DWORD> threads;
    std::thread worker([&] {
        for (int i = 0; i < 5; ++i)
            ui.post([&, i] {
                order.push_back(i);
                threads.push_back(::GetCurrentThreadId());
            });
    });
    worker.join();
    EXPECT_TRUE(order.empty()) << "a posted call ran before the UI thread processed its messages";
    ui.pump();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    for (const DWORD id : threads) EXPECT_EQ(id, ::GetCurrentThreadId());
}

TEST(Win32UiThread, PumpRethrowsAPostedErrorAndKeepsTheRestQueued) {
    Win32UiThread ui;
    bool laterRan = false;
    ui.post([] { throw std::runtime_error("posted"); });
    ui.post([&] { laterRan = true; });
    EXPECT_THROW(ui.pump(), std::runtime_error);
    EXPECT_FALSE(laterRan);
    ui.pump();
    EXPECT_TRUE(laterRan);
    EXPECT_NO_THROW(ui.pump());  // the error was handed on once, not kept
}

TEST(Win32UiThread, PumpLeavesTheQuitMessageForTheMainLoop) {
    Win32UiThread ui;
    bool ran = false;
    ::PostQuitMessage(7);
    ui.post([&] { ran = true; });
    ui.pump();
    EXPECT_TRUE(ran);
    MSG message;
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "pump swallowed the quit message, so the main loop would never end";
    EXPECT_EQ(message.wParam, 7u);
}

TEST(Win32UiThread, DestructionFreesCallsThatNeverRan) {
    auto token = std::make_shared<int>(0);
    {
        Win32UiThread ui;
        ui.post([token] {});
        ui.post([token] {});
        EXPECT_EQ(token.use_count(), 3);
    }
    EXPECT_EQ(token.use_count(), 1) << "queued calls leaked when the UI thread's window went away";
}

TEST(Win32UiThread, TwoInstancesShareTheWindowClass) {
    Win32UiThread first;
    Win32UiThread second;  // used to fail if the class registration was refused the second time
    bool ran = false;
    second.post([&] { ran = true; });
    second.pump();
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace korvane::win32
