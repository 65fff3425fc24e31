// The whole program as a user meets it, for the startup and uninstall pages under Wine: the real
// Win32 platform (registry, dialogs, ...), the main form and its real window, driven by window
// messages. Message boxes are answered by a helper thread the way a user clicks them.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "app/MainForm.h"
#include "win32/platform/Win32Platform.h"
#include "win32/window/MainWindow.h"

namespace korvane::win32::testing {

// Waits for a message box titled "Korvane", notes its text and presses `button`. It gives up after
// about twenty seconds so that a box that never comes cannot hold a test run forever.
class BoxAnswerer {
public:
    explicit BoxAnswerer(int button)
        : thread_([this, button] {
              for (int i = 0; i < 1000 && !stop_.load(); ++i) {
                  if (HWND box = ::FindWindowW(L"#32770", L"Korvane")) {
                      wchar_t text[512] = {};
                      ::GetDlgItemTextW(box, 0xFFFF, text, 512);  // the box's message
                      text_ = text;
                      found_ = true;
                      ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                      return;
                  }
                  ::Sleep(20);
              }
          }) {}
    ~BoxAnswerer() { Finish(); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // Call after the call that showed the box has returned.
    bool Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return found_;
    }
    const std::wstring& Text() const { return text_; }

private:
    std::atomic<bool> stop_{false};
    bool found_ = false;
    std::wstring text_;
    std::thread thread_;
};

class RealWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        platform = std::make_unique<Win32Platform>();
        form = std::make_unique<MainForm>(platform->platform());
        window = std::make_unique<MainWindow>(*form);
        if (!window->Handle()) GTEST_SKIP() << "no display: the window could not be created";
        form->FormCreate();
        window->Show(SW_SHOWNORMAL);
        Pump();
    }
    void TearDown() override {
        window.reset();
        form.reset();
        Pump();
        platform.reset();
    }

    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (window && window->Handle()) window->RenderPending();
    }
    HWND Hwnd(const Page& page, const Control& control) {
        PageView* view = window->ViewOf(page);
        ControlView* controlView = view ? view->ViewOf(control) : nullptr;
        EXPECT_NE(controlView, nullptr) << control.Name();
        return controlView ? controlView->Handle() : nullptr;
    }
    // Clicks the page button that shows `page`.
    void ShowPage(const Page& page) {
        const auto& links = form->Navigation();
        for (size_t i = 0; i < links.size(); ++i)
            if (links[i].page == &page) SendMessageW(window->PageButton(i), BM_CLICK, 0, 0);
        Pump();
    }
    // Presses a button of the window; returns once its handler (and any box it shows) is done.
    void Press(const Page& page, const Control& button) {
        SendMessageW(Hwnd(page, button), BM_CLICK, 0, 0);
        Pump();
    }

    static std::wstring ItemText(HWND list, int row, int column) {
        wchar_t buffer[1024] = {};
        ListView_GetItemText(list, row, column, buffer, 1024);
        return buffer;
    }
    static bool ItemChecked(HWND list, int row) {
        return (ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) >> 12) == 2;
    }
    // The row of the window's list whose caption is `caption`; -1 when it shows none.
    static int FindRow(HWND list, const std::wstring& caption) {
        for (int i = 0; i < ListView_GetItemCount(list); ++i)
            if (ItemText(list, i, 0) == caption) return i;
        return -1;
    }
    // Toggles a row's check box as a user does with the keyboard: select the row, press space.
    void ToggleRow(HWND list, int row) {
        SetFocus(list);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        Pump();
        SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
        Pump();
    }

    std::unique_ptr<Win32Platform> platform;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<MainWindow> window;
};

// Direct registry access for seeding and checking, past the program's own layers.
inline std::wstring ReadString(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* type = nullptr) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    DWORD found = 0;
    if (RegGetValueW(root, path, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &found, buffer,
                     &size) != ERROR_SUCCESS)
        return L"<missing>";
    if (type) *type = found;
    return buffer;
}

inline bool KeyExists(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline void SetString(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text,
                      DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()), bytes),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

}  // namespace korvane::win32::testing
