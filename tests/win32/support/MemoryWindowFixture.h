// The real main window over the in-memory platform: the window tests that need no real registry or
// files drive it through window messages. Shared by the tests of tests/win32/window.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <memory>

#include "app/MainForm.h"
#include "platform/memory/MemoryPlatform.h"
#include "win32/window/MainWindow.h"

namespace korvane::win32::testing {

class MemoryWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        memory.files().AddFolder("C:\\Korvane");
        form = std::make_unique<MainForm>(memory.platform());
        window = std::make_unique<MainWindow>(*form);
        form->FormCreate();
        window->Show(SW_SHOWNOACTIVATE);
        Pump();
    }
    void TearDown() override {
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
        EXPECT_NE(view, nullptr);
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

    MemoryPlatform memory;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<MainWindow> window;
};

}  // namespace korvane::win32::testing
