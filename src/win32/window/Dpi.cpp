// The per-monitor functions are looked up at run time, so that the program still starts on systems
// older than them.
#include "win32/window/Dpi.h"

#include "win32/window/GdiHandles.h"

namespace korvane::win32 {

namespace {

template <class Function>
Function Lookup(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)))
                  : nullptr;
}

template <class Function>
Function User32(const char* name) {
    return Lookup<Function>(L"user32.dll", name);
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using LoadIconWithScaleDownFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);

}  // namespace

UINT SystemDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT DpiOf(HWND window) {
    static const auto getDpiForWindow = User32<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

int ScaledForDpi(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

LOGFONTW MessageFontForDpi(UINT dpi) {
    static const auto forDpi = User32<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return metrics.lfMessageFont;
    // Reported for the system DPI: scale it over.
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    if (!font.lfHeight) font.lfHeight = -ScaledForDpi(12, dpi);
    return font;
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto forDpi = User32<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

UniqueIcon SystemIconForSize(LPCWSTR id, int size) {
    // Common controls 6 only, which the manifest asks for.
    static const auto scaleDown =
        Lookup<LoadIconWithScaleDownFunction>(L"comctl32.dll", "LoadIconWithScaleDown");
    UniqueIcon icon;
    if (scaleDown && SUCCEEDED(scaleDown(nullptr, id, size, size, icon.put())) && icon) return icon;
    icon.reset(static_cast<HICON>(LoadImageW(nullptr, id, IMAGE_ICON, size, size, 0)));
    return icon;
}

RECT FrameForClient(RECT client, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto forDpi = User32<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(&client, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&client, style, FALSE, exStyle);
    return client;
}

}  // namespace korvane::win32
