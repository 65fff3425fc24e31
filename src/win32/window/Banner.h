// The banner across the top of the main window, painted with GDI in the palette's colours: a gradient,
// the program's name and what it does. No picture files are needed.
#pragma once

#include <windows.h>

#include "core/Palette.h"

namespace korvane::win32 {

// Paints the banner into `area` (pixels); `scale` is pixels per layout unit, `face` the typeface of
// the window's font.
void PaintBanner(HDC dc, RECT area, double scale, const wchar_t* face, const Palette& colors);

}  // namespace korvane::win32
