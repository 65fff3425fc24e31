// Win32Dialogs: one MessageBoxW per form. The information dialog and the Yes/No confirmation carry the
// standard captions "Information" and "Confirm"; the plain message and the error box the program's title.
#include "win32/platform/Win32Dialogs.h"

#include <windows.h>

#include "win32/platform/Text.h"

namespace korvane::win32 {
namespace {

constexpr wchar_t kProgramTitle[] = L"Korvane";
constexpr wchar_t kInformationTitle[] = L"Information";
constexpr wchar_t kConfirmTitle[] = L"Confirm";

int Show(const std::string& text, const wchar_t* title, UINT style) {
    return ::MessageBoxW(::GetActiveWindow(), Widen(text).c_str(), title, style);
}

UINT IconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return MB_ICONINFORMATION;
        case MessageIcon::Warning:
            return MB_ICONWARNING;
        case MessageIcon::Error:
            return MB_ICONERROR;
        case MessageIcon::Question:
            return MB_ICONQUESTION;
        case MessageIcon::None:
            break;
    }
    return 0;
}

}  // namespace

void Win32Dialogs::showMessage(const std::string& text) {
    Show(text, kProgramTitle, MB_OK);
}

void Win32Dialogs::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
    Show(text, Widen(title).c_str(), MB_OK | IconStyle(icon));
}

void Win32Dialogs::information(const std::string& text) {
    Show(text, kInformationTitle, MB_OK | MB_ICONINFORMATION);
}

bool Win32Dialogs::confirm(const std::string& text) {
    return Show(text, kConfirmTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Win32Dialogs::error(const std::string& text) {
    Show(text, kProgramTitle, MB_OK | MB_ICONERROR);
}

}  // namespace korvane::win32
