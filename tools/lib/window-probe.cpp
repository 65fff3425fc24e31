// Reads Korvane's window from outside, the way an accessibility tool does: through window messages
// to the running program's controls. tools/run builds it with the mingw compiler and runs it in the
// same Wine prefix as the program, to find the button to click, to wait for the scan's end and to
// count its findings.
//
//   window-probe center CAPTION      prints "X Y", the centre of the control showing CAPTION, in the
//                                     main window's client coordinates (the page buttons included)
//   window-probe wait TEXT SECONDS   waits until a control of the window shows TEXT
//
// A control "shows" a text when its own text is that text once blanks around it are left aside (the
// page buttons' captions carry trailing blanks).
//   window-probe rows NAME           prints the number of rows of the list named NAME
//   window-probe idle SECONDS        waits until the window's thread is back in its message loop (it
//                                     answers a message): a window busy in a handler cannot paint, and
//                                     its picture stays still without being finished
//   window-probe app-mode light|dark sets the user's app mode as Windows' Settings does: the value
//                                     AppsUseLightTheme under HKCU ...\Themes\Personalize, then the
//                                     WM_SETTINGCHANGE "ImmersiveColorSet" broadcast
//
// Exits with 1 when the window or the control is not there (in time), 2 on a wrong command line.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kMessageTimeoutMs = 2000;

HWND MainWindow() {
    return FindWindowW(L"KorvaneMainWindow", L"Korvane");
}

// The text of a control of another process: GetWindowText does not ask another process's children.
std::wstring TextOf(HWND window) {
    wchar_t buffer[512] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &copied))
        return L"";
    return std::wstring(buffer, copied);
}

BOOL CALLBACK Collect(HWND child, LPARAM out) {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
    return TRUE;
}

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return L"";
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// The visible control of the main window that shows `text`; null when there is none.
HWND ControlShowing(HWND main, const std::wstring& text) {
    std::vector<HWND> children;
    EnumChildWindows(main, &Collect, reinterpret_cast<LPARAM>(&children));
    const std::wstring wanted = Trimmed(text);
    for (HWND child : children)
        if (IsWindowVisible(child) && Trimmed(TextOf(child)) == wanted) return child;
    return nullptr;
}

int Center(const std::wstring& caption) {
    HWND main = MainWindow();
    HWND control = main ? ControlShowing(main, caption) : nullptr;
    if (!control) return 1;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}

int Wait(const std::wstring& text, int seconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    do {
        HWND main = MainWindow();
        if (main && ControlShowing(main, text)) return 0;
        Sleep(250);
    } while (GetTickCount64() < deadline);
    return 1;
}

int Rows(const std::wstring& name) {
    HWND main = MainWindow();
    HWND list = main ? ControlShowing(main, name) : nullptr;
    DWORD_PTR count = 0;
    if (!list ||
        !SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &count))
        return 1;
    std::printf("%lu\n", static_cast<unsigned long>(count));
    return 0;
}

int Idle(int seconds) {
    HWND main = MainWindow();
    DWORD_PTR ignored = 0;
    if (!main ||
        !SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(seconds) * 1000, &ignored))
        return 1;
    return 0;
}

int AppMode(const std::wstring& mode) {
    if (mode != L"light" && mode != L"dark") return 2;
    const DWORD light = mode == L"light" ? 1 : 0;
    if (RegSetKeyValueW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                        L"AppsUseLightTheme", REG_DWORD, &light, sizeof light) != ERROR_SUCCESS)
        return 1;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                        SMTO_ABORTIFHUNG, kMessageTimeoutMs, nullptr);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"center" && argc == 3) return Center(argv[2]);
    if (command == L"wait" && argc == 4) return Wait(argv[2], _wtoi(argv[3]));
    if (command == L"rows" && argc == 3) return Rows(argv[2]);
    if (command == L"idle" && argc == 3) return Idle(_wtoi(argv[2]));
    if (command == L"app-mode" && argc == 3) return AppMode(argv[2]);
    std::fputs(
        "usage: window-probe center CAPTION | wait TEXT SECONDS | rows NAME | idle SECONDS | "
        "app-mode light|dark\n",
        stderr);
    return 2;
}
