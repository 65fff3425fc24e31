// What screen readers are told about the window's controls. A list has no caption of its own that a
// reader could say: it gets its name as its window text (which the system's accessibility proxy reads
// for most controls) and as a name annotation (which Windows' proxies prefer for lists, whose window
// text they skip in favour of a nearby label that these pages do not have).
#pragma once

// clang-format off
#include <windows.h>
#include <objbase.h>
// clang-format on

#include <string>

namespace korvane::win32 {

// COM on the window's thread for as long as the window lives (annotations and the system's dialogs
// need it); a thread that already has it keeps its own.
class ComApartment {
public:
    ComApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (joined_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool joined_;
};

// Gives a list (or any control whose window text is not its content) the name a reader says.
void NameForReaders(HWND control, const std::wstring& name);
// Drops the name annotation again; for a control about to be destroyed.
void ForgetNameForReaders(HWND control);

}  // namespace korvane::win32
