// The banner across the top of the main window, painted with GDI: a blue gradient, the program's
// name and what it does. No picture files are needed.
#pragma once

#include <windows.h>

namespace korvane::win32 {

// Paints the banner into `area` (pixels); `scale` is pixels per layout unit.
void PaintBanner(HDC dc, RECT area, double scale);

}  // namespace korvane::win32
