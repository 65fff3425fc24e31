// The whole program as a user meets it under Wine, shared by the window tests of every page: the real
// Win32 platform (registry, file system, dialogs, ...), the main form and its real window driven by
// window messages, message boxes answered by a helper thread, and direct registry access for seeding.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "app/MainForm.h"
#include "win32/platform/UniqueHandle.h"
#include "win32/platform/Win32Platform.h"
#include "win32/support/ProgramFolder.h"
#include "win32/window/MainWindow.h"

namespace korvane::win32::testing {

inline std::wstring TextOfWindow(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

// A stdcall callback: a lambda does not convert to WNDENUMPROC on 32-bit Windows.
inline BOOL CALLBACK TakeVisibleBoxOfThisProcess(HWND window, LPARAM out) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (process != ::GetCurrentProcessId() || std::wstring(name) != L"#32770" || !::IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(out) = window;
    return FALSE;
}

// The visible dialog window of this process, whatever its title; nullptr when none is shown.
inline HWND FindBoxOfThisProcess() {
    HWND found = nullptr;
    ::EnumWindows(&TakeVisibleBoxOfThisProcess, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Waits for a message box of this process, notes its title and text and presses `button`. Found by
// process rather than by title, so a box with a wrong title fails the test's check instead of hanging
// it; it gives up after about twenty seconds so that a box that never comes cannot hold a run forever.
class BoxAnswerer {
public:
    explicit BoxAnswerer(int button)
        : thread_([this, button] {
              for (int i = 0; i < 1000 && !stop_.load(); ++i) {
                  if (HWND box = FindBoxOfThisProcess()) {
                      title_ = TextOfWindow(box);
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

    // Call after the call that showed the box has returned; the notes are read after it.
    bool Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return found_;
    }
    const std::wstring& Title() const { return title_; }
    const std::wstring& Text() const { return text_; }

private:
    std::atomic<bool> stop_{false};
    bool found_ = false;
    std::wstring title_;
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
    // Toggles a row's check box as a user does with the keyboard: select the row, press space. The row
    // becomes the only selected one, as after a plain click: in a list with multiple selection the
    // space bar toggles every selected row, so a row left selected from before would flip back.
    void ToggleRow(HWND list, int row) {
        SetFocus(list);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        Pump();
        SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
        Pump();
    }

    std::unique_ptr<Win32Platform> platform;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<MainWindow> window;
};

// Backup.xml beside the test program, where the program keeps its undo history.
inline std::filesystem::path ProgramBackupXmlPath() {
    return ProgramFolder() / L"Backup.xml";
}

// Puts Backup.xml beside the program back as it was found (or removes it) when it goes, for tests whose
// program saves its history there.
class BackupXmlKeeper {
public:
    BackupXmlKeeper() : path_(ProgramBackupXmlPath()) {
        if (std::filesystem::exists(path_)) {
            std::ifstream in(path_, std::ios::binary);
            std::stringstream content;
            content << in.rdbuf();
            saved_ = content.str();
        }
    }
    ~BackupXmlKeeper() {
        std::error_code ignored;
        if (saved_) {
            std::ofstream(path_, std::ios::binary | std::ios::trunc) << *saved_;
        } else {
            std::filesystem::remove(path_, ignored);
        }
    }
    BackupXmlKeeper(const BackupXmlKeeper&) = delete;
    BackupXmlKeeper& operator=(const BackupXmlKeeper&) = delete;

private:
    std::filesystem::path path_;
    std::optional<std::string> saved_;
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

inline bool ValueExists(HKEY root, const wchar_t* path, const wchar_t* name) {
    return RegGetValueW(root, path, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
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

// Deletes a key with everything below it, if it is there.
inline void RemoveKeyTree(HKEY root, const wchar_t* path) {
    RegDeleteTreeW(root, path);
    RegDeleteKeyW(root, path);
}

// Deletes one value, if it is there.
inline void RemoveValue(HKEY root, const wchar_t* path, const wchar_t* name) {
    UniqueHkey key;
    if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, key.put()) == ERROR_SUCCESS)
        RegDeleteValueW(key.get(), name);
}

}  // namespace korvane::win32::testing
