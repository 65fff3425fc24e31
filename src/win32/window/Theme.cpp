// Theme: UxTheme's functions, found once per process in the library loaded from the system folder; the
// colour scheme's brushes; the mode Windows asks for; the dark title bar through dwmapi.
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
    decltype(::SetWindowTheme)* setWindowTheme = library.Find<decltype(::SetWindowTheme)>("SetWindowTheme");

    // A theme that could not be closed again must not be opened.
    bool Usable() const { return open && close && draw; }
};

// Loaded on first use and kept for the process: a theme handle must not outlive its library.
const UxTheme& Functions() {
    static const UxTheme functions;
    return functions;
}

using DwmSetWindowAttributeFunction = HRESULT WINAPI(HWND, DWORD, LPCVOID, DWORD);

struct Dwm {
    SystemLibrary library{L"dwmapi.dll"};
    DwmSetWindowAttributeFunction* setAttribute =
        library.Find<DwmSetWindowAttributeFunction>("DwmSetWindowAttribute");
};

// DWMWA_USE_IMMERSIVE_DARK_MODE: 20 since Windows 10 20H1, 19 on the builds before it.
constexpr DWORD kImmersiveDarkMode = 20;
constexpr DWORD kImmersiveDarkModeBefore20H1 = 19;

Rgb FromColorRef(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
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

void ColorScheme::Set(ColorMode mode, const SystemColors& system) {
    mode_ = mode;
    palette_ = PaletteFor(mode, system);
    background_.reset(CreateSolidBrush(ColorOf(palette_.background)));
    field_.reset(CreateSolidBrush(ColorOf(palette_.fieldBackground)));
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

SystemColors CurrentSystemColors() {
    SystemColors colors;
    colors.window = FromColorRef(GetSysColor(COLOR_WINDOW));
    colors.windowText = FromColorRef(GetSysColor(COLOR_WINDOWTEXT));
    colors.buttonFace = FromColorRef(GetSysColor(COLOR_BTNFACE));
    colors.buttonText = FromColorRef(GetSysColor(COLOR_BTNTEXT));
    colors.highlight = FromColorRef(GetSysColor(COLOR_HIGHLIGHT));
    colors.highlightText = FromColorRef(GetSysColor(COLOR_HIGHLIGHTTEXT));
    colors.grayText = FromColorRef(GetSysColor(COLOR_GRAYTEXT));
    colors.buttonShadow = FromColorRef(GetSysColor(COLOR_BTNSHADOW));
    return colors;
}

ColorMode CurrentColorMode(RegistryBackend& registry) {
    return ChooseColorMode(HighContrastOn(), AppsUseDarkMode(registry));
}

void UseDarkTitleBar(HWND window, bool dark) {
    static const Dwm dwm;
    if (!dwm.setAttribute) return;
    const BOOL value = dark ? TRUE : FALSE;
    if (FAILED(dwm.setAttribute(window, kImmersiveDarkMode, &value, sizeof value)))
        dwm.setAttribute(window, kImmersiveDarkModeBefore20H1, &value, sizeof value);
}

void SetControlTheme(HWND control, const wchar_t* subApp, const wchar_t* idList) {
    if (Functions().setWindowTheme) Functions().setWindowTheme(control, subApp, idList);
}

}  // namespace korvane::win32
