// The program: the Win32 platform, the main window's logic and its window, and the message loop.
// At the end the window's logic is released while the UI thread keeps processing messages, so that
// a worker still running can finish its current step before its controls go.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <memory>

#include "app/MainForm.h"
#include "win32/platform/Win32Platform.h"
#include "win32/window/MainWindow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    // Before anything loads a DLL on demand (shell32, comctl32 and the DLLs they pull in later, our
    // own run-time libraries): only from the system folder, never from the program's folder, which an
    // elevated run may share with whatever else was downloaded.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    korvane::win32::Win32Platform platform;
    auto form = std::make_unique<korvane::MainForm>(platform.platform());
    {
        korvane::win32::MainWindow window(*form);
        form->FormCreate();
        window.Show(showCommand);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (IsDialogMessageW(window.Handle(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Pages first: each waits for its worker while the UI thread keeps working for it.
    form.reset();
    return 0;
}
