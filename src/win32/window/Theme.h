// How the window is coloured and themed. A Theme draws parts of standard controls by hand (the list
// views' check boxes) with the visual styles; a ColorScheme holds the palette of the current mode
// (light, dark or high contrast, see core/Palette.h) with the brushes drawn from it. UxTheme.dll and
// dwmapi.dll are loaded at run time from the system folder (see SystemLibrary.h): without them the
// window draws the classic way and keeps a light title bar.
#pragma once

// clang-format off
#include <windows.h>
#include <uxtheme.h>  // needs windows.h first
// clang-format on

#include "core/Palette.h"
#include "platform/RegistryBackend.h"
#include "win32/window/GdiHandles.h"

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

inline COLORREF ColorOf(Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

// The colours of the current mode and the brushes the controls are painted with.
class ColorScheme {
public:
    ColorScheme() { Set(ColorMode::Light, SystemColors{}); }
    void Set(ColorMode mode, const SystemColors& system);

    ColorMode Mode() const { return mode_; }
    // Dark draws what Windows draws light (push buttons, headers, check boxes in lists) itself.
    bool Dark() const { return mode_ == ColorMode::Dark; }
    const Palette& Colors() const { return palette_; }
    HBRUSH BackgroundBrush() const { return background_.get(); }
    HBRUSH FieldBrush() const { return field_.get(); }

private:
    ColorMode mode_ = ColorMode::Light;
    Palette palette_;
    UniqueBrush background_;
    UniqueBrush field_;
};

// Whether the user has turned high contrast on (Ease of Access).
bool HighContrastOn();
// The system colours high contrast draws with, as they are now.
SystemColors CurrentSystemColors();
// The mode the window should show now: high contrast, else the user's app mode read from `registry`.
ColorMode CurrentColorMode(RegistryBackend& registry);

// Asks the desktop window manager for a dark title bar (Windows 10 1809 and later); ignored elsewhere.
void UseDarkTitleBar(HWND window, bool dark);
// SetWindowTheme: L"DarkMode_Explorer" gives dark scroll bars where Windows has that theme; L"" turns
// visual styles off for a control, so that it takes the colours of WM_CTLCOLOR*; null goes back to the
// default. Does nothing without UxTheme.
void SetControlTheme(HWND control, const wchar_t* subApp, const wchar_t* idList);

}  // namespace korvane::win32
