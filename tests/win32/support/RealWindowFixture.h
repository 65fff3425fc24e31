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

#include "win32/platform/UniqueHandle.h"
#include "win32/platform/Win32Platform.h"
#include "win32/support/ProgramFolder.h"
#include "win32/support/WindowTest.h"

namespace korvane::win32::testing {

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

class RealWindowTest : public WindowTest {
protected:
    void SetUp() override {
        platform = std::make_unique<Win32Platform>();
        if (!OpenWindow(platform->platform(), SW_SHOWNORMAL))
            GTEST_SKIP() << "no display: the window could not be created";
    }
    void TearDown() override {
        CloseWindow();
        platform.reset();
    }

    // Reset in TearDown, after the window and the form that use it (this member would go before them).
    std::unique_ptr<Win32Platform> platform;
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
