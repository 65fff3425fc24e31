// Theme: UxTheme's three functions, found once per process in the library loaded from the system folder.
#include "win32/window/Theme.h"

#include "win32/platform/SystemLibrary.h"

namespace korvane::win32 {
namespace {

struct UxTheme {
    SystemLibrary library{L"uxtheme.dll"};
    decltype(::OpenThemeData)* open = library.Find<decltype(::OpenThemeData)>("OpenThemeData");
    decltype(::CloseThemeData)* close = library.Find<decltype(::CloseThemeData)>("CloseThemeData");
    decltype(::DrawThemeBackground)* draw =
        library.Find<decltype(::DrawThemeBackground)>("DrawThemeBackground");

    // A theme that could not be closed again must not be opened.
    bool Usable() const { return open && close && draw; }
};

// Loaded on first use and kept for the process: a theme handle must not outlive its library.
const UxTheme& Functions() {
    static const UxTheme functions;
    return functions;
}

}  // namespace

Theme::Theme(HWND window, const wchar_t* classList) {
    if (Functions().Usable()) theme_ = Functions().open(window, classList);
}

Theme::~Theme() {
    if (theme_) Functions().close(theme_);
}

bool Theme::DrawBackground(HDC dc, int part, int state, const RECT& rect) const {
    return theme_ && SUCCEEDED(Functions().draw(theme_, dc, part, state, &rect, nullptr));
}

}  // namespace korvane::win32
