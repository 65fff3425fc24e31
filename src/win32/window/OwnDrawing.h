// The parts the window draws itself in the palette's colours where Windows offers no dark look for
// desktop programs: push buttons, group boxes, list column headers (with the sort arrow) and the check
// boxes of list rows.
#pragma once

#include <windows.h>

#include "core/Palette.h"

namespace korvane::win32 {

// An owner-drawn push button: face, frame, caption (its "&" letter underlined unless the keyboard
// cues are hidden), the focus rectangle; pressed and disabled states.
void DrawPushButton(const DRAWITEMSTRUCT& item, const Palette& colors, double scale);

// A group box's frame and caption into `dc`; what lies inside is left to the page behind it.
void PaintGroupBox(HWND box, HDC dc, const Palette& colors);

// The whole of a list view's header into `dc`: every column's title, the dividers and the sort
// arrow that HDF_SORTUP / HDF_SORTDOWN ask for.
void PaintHeader(HWND header, HDC dc, const Palette& colors, double scale);

// A check box of `size` pixels at `box`, in the field's colours, with a tick when `checked`.
void DrawCheckPicture(HDC dc, const RECT& box, bool checked, const Palette& colors, double scale);

}  // namespace korvane::win32
