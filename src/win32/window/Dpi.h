// The window's DPI and what follows from it: the DPI a window is shown at, the system's message font,
// frame and metric sizes for a given DPI. The per-monitor functions arrived with Windows 10 (1607); on
// an older system they are missing and everything follows the system DPI instead.
#pragma once

#include <windows.h>

#include "win32/window/GdiHandles.h"

namespace korvane::win32 {

constexpr UINT kDesignDpi = 96;  // the DPI the layout sizes are given for

// The DPI of the monitor the window is on (the system DPI where windows have none of their own).
UINT DpiOf(HWND window);
// The system DPI, which the system's parameters are reported for.
UINT SystemDpi();
// `value` (at kDesignDpi) at `dpi`, rounded.
int ScaledForDpi(int value, UINT dpi);
// The system's message font (Segoe UI on current Windows) at `dpi`.
LOGFONTW MessageFontForDpi(UINT dpi);
// A system metric (SM_CXVSCROLL, ...) at `dpi`.
int SystemMetricForDpi(int index, UINT dpi);
// A system icon (IDI_WARNING, ...) drawn for `size` pixels: scaled down from a larger picture where the
// system can, so that it stays sharp at any DPI.
UniqueIcon SystemIconForSize(LPCWSTR id, int size);
// The window rectangle around `client` for a window of that style at `dpi`.
RECT FrameForClient(RECT client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace korvane::win32
