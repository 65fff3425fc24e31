// A visual-styles theme for drawing parts of standard controls by hand (the list views' check boxes).
// UxTheme.dll is loaded at run time from the system folder (see SystemLibrary.h); without it, or with
// themes off, a Theme is empty and the caller draws the classic way.
#pragma once

// clang-format off
#include <windows.h>
#include <uxtheme.h>  // needs windows.h first
// clang-format on

namespace korvane::win32 {

class Theme {
public:
    // The theme data of `classList` (L"BUTTON") for `window`; empty when none is active.
    Theme(HWND window, const wchar_t* classList);
    ~Theme();
    Theme(const Theme&) = delete;
    Theme& operator=(const Theme&) = delete;

    explicit operator bool() const { return theme_ != nullptr; }
    // Draws `part` in `state` into `rect`; false when it could not (an empty theme included).
    bool DrawBackground(HDC dc, int part, int state, const RECT& rect) const;

private:
    HTHEME theme_ = nullptr;
};

}  // namespace korvane::win32
