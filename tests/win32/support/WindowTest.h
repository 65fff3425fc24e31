// What every window test does with the main window, whichever platform it runs on: build the form and
// its window, pump messages as the program's loop does, find the window of a control, show a page,
// press buttons and read or toggle list rows. The in-memory and the real-platform fixtures build on it.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/MainForm.h"
#include "win32/window/MainWindow.h"

namespace korvane::win32::testing {

inline std::wstring TextOfWindow(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

inline std::wstring ClassOfWindow(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

class WindowTest : public ::testing::Test {
protected:
    // Builds the main form over `platform` and its window, runs FormCreate and shows the window with
    // `showCommand`. False when no window could be made (no display); nothing is created or shown then.
    bool OpenWindow(Platform& platform, int showCommand) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        form = std::make_unique<MainForm>(platform);
        window = std::make_unique<MainWindow>(*form);
        if (!window->Handle()) return false;
        form->FormCreate();
        window->Show(showCommand);
        Pump();
        return true;
    }
    // Destroys the window before the form it renders, and lets the last messages go.
    void CloseWindow() {
        window.reset();
        form.reset();
        Pump();
    }

    // Dispatches what is waiting (a WM_QUIT from a closed window included) and renders model changes.
    // `asTheProgram` passes each message through IsDialogMessage first, as the program's own loop does
    // (keyboard navigation: Tab, arrows, mnemonics).
    void Pump(bool asTheProgram = false) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            if (asTheProgram && window && window->Handle() && IsDialogMessageW(window->Handle(), &message))
                continue;
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

    std::unique_ptr<MainForm> form;
    std::unique_ptr<MainWindow> window;
};

}  // namespace korvane::win32::testing
