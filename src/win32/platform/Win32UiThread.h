// The UI thread on Windows: a hidden message-only window created on the constructing thread. Other
// threads reach it with SendMessageW (invoke: run and wait) or PostMessageW (post: run later), so
// the work runs inside that thread's ordinary message processing, modal loops included.
#pragma once

#include <windows.h>

#include <exception>

#include "platform/UiThread.h"
#include "win32/platform/UniqueHandle.h"

namespace korvane::win32 {

class Win32UiThread final : public UiThread {
public:
    // Must be constructed on the thread that runs the window's message loop.
    Win32UiThread();
    // Frees the calls still queued by post without running them. Destroy on the UI thread.
    ~Win32UiThread() override;
    Win32UiThread(const Win32UiThread&) = delete;
    Win32UiThread& operator=(const Win32UiThread&) = delete;

    // From another thread: throws std::runtime_error when the UI thread's window is gone.
    void invoke(const std::function<void()>& fn) override;
    // A call that throws is stopped at the window procedure; when pump() dispatched it, pump rethrows
    // it (the rest stays queued), otherwise it is dropped: the message loop has nobody to hand it to.
    void post(std::function<void()> fn) override;
    // Processes every message waiting for this thread. A WM_QUIT is put back for the main loop.
    void pump() override;
    bool isUiThread() const override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT MessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInvoke(LPARAM lParam);
    void OnPost(LPARAM lParam);

    DWORD threadId_;
    int pumpDepth_ = 0;  // pump() calls on the stack
    std::exception_ptr postedError_;
    UniqueHwnd window_;
};

}  // namespace korvane::win32
