// The banner: gradient bands, a stylised key mark and two lines of text.
#include "win32/window/Banner.h"

#include <algorithm>

#include "win32/window/GdiHandles.h"
#include "win32/window/Theme.h"

namespace korvane::win32 {

namespace {

HFONT MakeFont(double scale, int height, int weight, bool italic, const wchar_t* face) {
    return CreateFontW(-static_cast<int>(height * scale + 0.5), 0, 0, 0, weight, italic, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face);
}

int Mix(int from, int to, int step, int steps) {
    return from + (to - from) * step / std::max(1, steps);
}

}  // namespace

void PaintBanner(HDC dc, RECT area, double scale, const wchar_t* face, const Palette& colors) {
    // Horizontal gradient, in 2-pixel bands.
    const int width = area.right - area.left;
    for (int x = 0; x < width; x += 2) {
        const Rgb& from = colors.bannerFrom;
        const Rgb& to = colors.bannerTo;
        COLORREF colour = RGB(Mix(from.red, to.red, x, width), Mix(from.green, to.green, x, width),
                              Mix(from.blue, to.blue, x, width));
        UniqueBrush brush(CreateSolidBrush(colour));
        RECT band{area.left + x, area.top, std::min(area.right, area.left + x + 2), area.bottom};
        FillRect(dc, &band, brush.get());
    }
    auto px = [scale](int v) { return static_cast<int>(v * scale + 0.5); };

    // A key mark: a ring and a shaft with two teeth, in the title's colour.
    {
        UniquePen pen(CreatePen(PS_SOLID, std::max(2, px(5)), ColorOf(colors.bannerTitle)));
        SelectedObject withPen(dc, pen.get());
        SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
        const int cx = area.left + px(52), cy = area.top + px(52);
        Ellipse(dc, cx - px(22), cy - px(22), cx + px(22), cy + px(22));
        MoveToEx(dc, cx + px(22), cy, nullptr);
        LineTo(dc, cx + px(78), cy);
        MoveToEx(dc, cx + px(62), cy, nullptr);
        LineTo(dc, cx + px(62), cy + px(16));
        MoveToEx(dc, cx + px(74), cy, nullptr);
        LineTo(dc, cx + px(74), cy + px(12));
    }

    SetBkMode(dc, TRANSPARENT);
    {
        UniqueFont title(MakeFont(scale, 40, FW_BOLD, false, face));
        SelectedObject withTitle(dc, title.get());
        RECT text{area.left + px(150), area.top + px(14), area.right - px(10), area.top + px(64)};
        SetTextColor(dc, ColorOf(colors.bannerShadow));  // a soft shadow first
        OffsetRect(&text, px(2), px(2));
        DrawTextW(dc, L"Korvane", -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        OffsetRect(&text, -px(2), -px(2));
        SetTextColor(dc, ColorOf(colors.bannerTitle));
        DrawTextW(dc, L"Korvane", -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    }
    {
        UniqueFont subtitle(MakeFont(scale, 15, FW_NORMAL, true, face));
        SelectedObject withSubtitle(dc, subtitle.get());
        RECT line{area.left + px(152), area.top + px(66), area.right - px(10), area.top + px(90)};
        SetTextColor(dc, ColorOf(colors.bannerSubtitle));
        DrawTextW(dc, L"Registry cleaner \x2014 scan, repair, back up and tidy your system", -1, &line,
                  DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

}  // namespace korvane::win32
