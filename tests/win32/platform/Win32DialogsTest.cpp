// Win32Dialogs with real message boxes, answered by a helper thread the way a user would click.
// Without a display Windows (Wine) cannot show a box at all; the cases are skipped then.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "win32/platform/Win32Dialogs.h"

namespace korvane::win32 {
namespace {

struct SeenBox {
    std::wstring title;
    HWND owner = nullptr;
    bool found = false;
};

BOOL CALLBACK TakeOwnBox(HWND window, LPARAM result) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (process != ::GetCurrentProcessId() || std::wstring(className) != L"#32770") return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

// The first dialog window of this process, whatever its title.
HWND FindOwnBox() {
    HWND found = nullptr;
    ::EnumWindows(&TakeOwnBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Waits for this process's message box, notes what it saw and presses `button`, as a user would.
class BoxAndOwnerAnswerer {
public:
    explicit BoxAndOwnerAnswerer(int button)
        : thread_([this, button] {
              while (!stop_.load()) {
                  if (HWND box = FindOwnBox()) {
                      wchar_t title[256] = {};
                      ::GetWindowTextW(box, title, 256);
                      seen_ = SeenBox{title, ::GetWindow(box, GW_OWNER), true};
                      ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                      return;
                  }
                  ::Sleep(20);
              }
          }) {}
    // Call after the dialog call returned.
    SeenBox Finish() {
        stop_ = true;
        thread_.join();
        return seen_;
    }

private:
    std::atomic<bool> stop_{false};
    SeenBox seen_;
    std::thread thread_;
};

TEST(Win32Dialogs, ConfirmIsTrueForYesOnlyAndCarriesTheStandardCaption) {
    Win32Dialogs dialogs;
    BoxAndOwnerAnswerer yes(IDYES);
    const bool answeredYes = dialogs.confirm("Delete the selected entries?");
    const SeenBox seen = yes.Finish();
    if (!seen.found) GTEST_SKIP() << "no display: the message box could not be shown";
    EXPECT_TRUE(answeredYes);
    EXPECT_EQ(seen.title, L"Confirm");

    BoxAndOwnerAnswerer no(IDNO);
    EXPECT_FALSE(dialogs.confirm("Delete the selected entries?"));
    EXPECT_TRUE(no.Finish().found);
}

// The information dialog has the standard caption; the plain message and the error box the program's.
TEST(Win32Dialogs, EachOkFormCarriesItsCaption) {
    Win32Dialogs dialogs;
    BoxAndOwnerAnswerer information(IDOK);
    dialogs.information("The cleaning up has been finished.");
    const SeenBox seenInformation = information.Finish();
    if (!seenInformation.found) GTEST_SKIP() << "no display: the message box could not be shown";
    EXPECT_EQ(seenInformation.title, L"Information");

    BoxAndOwnerAnswerer message(IDOK);
    dialogs.showMessage(" Delete error: point");
    EXPECT_EQ(message.Finish().title, L"Korvane");

    BoxAndOwnerAnswerer error(IDOK);
    dialogs.error("Access denied");
    EXPECT_EQ(error.Finish().title, L"Korvane");
}

TEST(Win32Dialogs, MessageBoxUsesItsOwnTitleAndTheActiveWindowAsOwner) {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!owner) GTEST_SKIP() << "no display: windows cannot be created";
    ::SetActiveWindow(owner);
    const bool ownerActive = ::GetActiveWindow() == owner;
    Win32Dialogs dialogs;
    BoxAndOwnerAnswerer ok(IDOK);
    dialogs.messageBox("Entry enabled", "Startup Manager \xE2\x80\x93 \xC3\x89t\xC3\xA9",
                       MessageIcon::Information);
    const SeenBox seen = ok.Finish();
    ::DestroyWindow(owner);
    if (!seen.found) GTEST_SKIP() << "no display: the message box could not be shown";
    EXPECT_EQ(seen.title, L"Startup Manager \u2013 \u00C9t\u00E9");
    EXPECT_TRUE(ownerActive);
    EXPECT_EQ(seen.owner, owner);
}

}  // namespace
}  // namespace korvane::win32
