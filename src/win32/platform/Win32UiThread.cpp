// Win32UiThread: the message window, its two private messages and the pump.
#include "win32/platform/Win32UiThread.h"

#include <memory>
#include <stdexcept>
#include <utility>

namespace korvane::win32 {
namespace {

enum UiMessage : UINT {
    // Sent (SendMessageW) by invoke from a worker. lParam points to an InvokeCall on the worker's stack,
    // alive because SendMessageW waits; the handler runs the call and stores what it threw there.
    WM_APP_INVOKE = WM_APP,
    // Posted (PostMessageW) by post. lParam is a heap std::function<void()> released by the poster;
    // the handler takes ownership back and deletes it after the call.
    WM_APP_POST,
};

struct InvokeCall {
    const std::function<void()>& fn;
    bool ran = false;
    std::exception_ptr error;
};

using PostedCall = std::function<void()>;

constexpr wchar_t WindowClassName[] = L"KorvaneUiThread";

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = WindowClassName;
    // A second UiThread in the same process finds the class already there, which is fine.
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("Cannot register the UI thread's window class");
}

}  // namespace

Win32UiThread::Win32UiThread() : threadId_(::GetCurrentThreadId()) {
    RegisterWindowClass(&WindowProcedure);
    window_.reset(::CreateWindowExW(0, WindowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleW(nullptr), this));
    if (!window_) throw std::runtime_error("Cannot create the UI thread's message window");
}

Win32UiThread::~Win32UiThread() {
    MSG message;
    while (::PeekMessageW(&message, window_.get(), WM_APP_POST, WM_APP_POST, PM_REMOVE))
        std::unique_ptr<PostedCall>(reinterpret_cast<PostedCall*>(message.lParam));
}

void Win32UiThread::invoke(const std::function<void()>& fn) {
    if (isUiThread()) {
        fn();
        return;
    }
    InvokeCall call{fn, false, nullptr};
    ::SendMessageW(window_.get(), WM_APP_INVOKE, 0, reinterpret_cast<LPARAM>(&call));
    if (!call.ran) throw std::runtime_error("The window's thread no longer takes calls");
    if (call.error) std::rethrow_exception(call.error);
}

void Win32UiThread::post(std::function<void()> fn) {
    auto call = std::make_unique<PostedCall>(std::move(fn));
    if (::PostMessageW(window_.get(), WM_APP_POST, 0, reinterpret_cast<LPARAM>(call.get()))) call.release();
}

void Win32UiThread::pump() {
    ++pumpDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{pumpDepth_};
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
        if (postedError_) std::rethrow_exception(std::exchange(postedError_, nullptr));
    }
}

bool Win32UiThread::isUiThread() const {
    return ::GetCurrentThreadId() == threadId_;
}

LRESULT CALLBACK Win32UiThread::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32UiThread*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return self->MessageHandler(window, message, wParam, lParam);
}

LRESULT Win32UiThread::MessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_APP_INVOKE:
            OnInvoke(lParam);
            return 0;
        case WM_APP_POST:
            OnPost(lParam);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

void Win32UiThread::OnInvoke(LPARAM lParam) {
    auto& call = *reinterpret_cast<InvokeCall*>(lParam);
    call.ran = true;
    try {
        call.fn();
    } catch (...) {
        call.error = std::current_exception();
    }
}

void Win32UiThread::OnPost(LPARAM lParam) {
    const std::unique_ptr<PostedCall> call(reinterpret_cast<PostedCall*>(lParam));
    try {
        (*call)();
    } catch (...) {
        // Only a pump on the stack can hand the error on; the main loop has nobody to give it to.
        if (pumpDepth_ > 0 && !postedError_) postedError_ = std::current_exception();
    }
}

}  // namespace korvane::win32
