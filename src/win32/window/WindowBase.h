// One window procedure per window class, through CRTP: the static procedure stores `this` at
// WM_NCCREATE and forwards every message to Derived::MessageHandler. Derived names its class with
// `static constexpr const wchar_t* kClassName`.
#pragma once

#include <windows.h>

namespace korvane::win32 {

template <class Derived>
class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    // A window still alive when its owner goes is destroyed with it (children go with their parent).
    // Derived is already gone by now, so the last messages go to the default procedure; a Derived
    // that must see WM_DESTROY destroys its window in its own destructor.
    ~WindowBase() {
        if (!hwnd_) return;
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }

    HWND Handle() const { return hwnd_; }

protected:
    // Destroys the window now, while Derived still handles its messages: from Derived's destructor
    // when it must see WM_DESTROY, or when the user's close is accepted.
    void Destroy() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    HWND CreateFor(DWORD exStyle, const wchar_t* title, DWORD style, RECT bounds, HWND parent, HMENU id) {
        Register();
        return CreateWindowExW(exStyle, Derived::kClassName, title, style, bounds.left, bounds.top,
                               bounds.right - bounds.left, bounds.bottom - bounds.top, parent, id,
                               GetModuleHandleW(nullptr), static_cast<Derived*>(this));
    }
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;

private:
    static void Register() {
        static const ATOM atom = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.style = CS_HREDRAW | CS_VREDRAW;
            wc.lpfnWndProc = &WindowBase::WindowProcedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
            wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
            wc.lpszClassName = Derived::kClassName;
            return RegisterClassExW(&wc);
        }();
        (void)atom;
    }

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->hwnd_ = window;
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        }
        if (!self) return DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            LRESULT result = self->MessageHandler(message, wParam, lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            return result;
        }
        return self->MessageHandler(message, wParam, lParam);
    }
};

}  // namespace korvane::win32
