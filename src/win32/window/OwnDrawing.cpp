// Own drawing: flat shapes and text in the palette's colours, nothing from the visual styles.
#include "win32/window/OwnDrawing.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <string>

#include "win32/window/GdiHandles.h"
#include "win32/window/Theme.h"

namespace korvane::win32 {
namespace {

void Fill(HDC dc, const RECT& r, Rgb colour) {
    UniqueBrush brush(CreateSolidBrush(ColorOf(colour)));
    FillRect(dc, &r, brush.get());
}

void Frame(HDC dc, const RECT& r, Rgb colour) {
    UniqueBrush brush(CreateSolidBrush(ColorOf(colour)));
    FrameRect(dc, &r, brush.get());
}

int Px(double units, double scale) {
    return std::max(1, static_cast<int>(units * scale + 0.5));
}

std::wstring TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// A small filled triangle centred on (x, y), pointing up or down.
void Arrow(HDC dc, int x, int y, int half, bool up, Rgb colour) {
    UniqueBrush brush(CreateSolidBrush(ColorOf(colour)));
    UniquePen pen(CreatePen(PS_SOLID, 1, ColorOf(colour)));
    SelectedObject withBrush(dc, brush.get());
    SelectedObject withPen(dc, pen.get());
    const int tip = up ? y - half / 2 : y + half / 2;
    const int base = up ? y + half / 2 : y - half / 2;
    POINT points[] = {{x - half, base}, {x + half, base}, {x, tip}};
    Polygon(dc, points, 3);
}

}  // namespace

void DrawPushButton(const DRAWITEMSTRUCT& item, const Palette& colors, double scale) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    Fill(dc, r, pressed ? colors.buttonPressed : colors.buttonFace);
    Frame(dc, r, (item.itemState & ODS_FOCUS) ? colors.text : colors.border);
    RECT text = r;
    if (pressed) OffsetRect(&text, 1, 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorOf(disabled ? colors.disabledText : colors.buttonText));
    const UINT cues = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    DrawTextW(dc, TextOf(item.hwndItem).c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | cues);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = r;
        InflateRect(&focus, -Px(3, scale), -Px(3, scale));
        SetTextColor(dc, ColorOf(colors.buttonText));
        SetBkColor(dc, ColorOf(colors.buttonFace));
        DrawFocusRect(dc, &focus);
    }
}

void PaintGroupBox(HWND box, HDC dc, const Palette& colors) {
    RECT client;
    GetClientRect(box, &client);
    SelectedObject withFont(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    const std::wstring caption = TextOf(box);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    // The frame runs through the middle of the caption's line, as Windows draws it.
    RECT frame{client.left, client.top + metrics.tmHeight / 2, client.right, client.bottom};
    Frame(dc, frame, colors.border);
    if (caption.empty()) return;
    const int indent = metrics.tmAveCharWidth;
    RECT text{client.left + indent, client.top, client.left + indent + extent.cx + 4,
              client.top + metrics.tmHeight};
    text.right = std::min(text.right, client.right - indent);
    Fill(dc, text, colors.background);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorOf(IsWindowEnabled(box) ? colors.text : colors.disabledText));
    text.left += 2;
    DrawTextW(dc, caption.c_str(), -1, &text,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void PaintHeader(HWND header, HDC dc, const Palette& colors, double scale) {
    RECT client;
    GetClientRect(header, &client);
    Fill(dc, client, colors.headerBackground);
    SelectedObject withFont(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(header, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorOf(colors.headerText));
    const int count = Header_GetItemCount(header);
    const int padding = Px(6, scale);
    for (int i = 0; i < count; ++i) {
        RECT r;
        if (!Header_GetItemRect(header, i, &r) || r.right <= r.left) continue;
        wchar_t title[260] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT;
        item.pszText = title;
        item.cchTextMax = 260;
        Header_GetItem(header, i, &item);
        RECT text{r.left + padding, r.top, r.right - padding, r.bottom};
        const bool sorted = (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
        if (sorted) text.right -= Px(12, scale);
        UINT align = DT_LEFT;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
        DrawTextW(dc, title, -1, &text, align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        if (sorted)
            Arrow(dc, r.right - padding - Px(4, scale), (r.top + r.bottom) / 2, Px(4, scale),
                  (item.fmt & HDF_SORTUP) != 0, colors.headerText);
        RECT divider{r.right - 1, r.top + Px(3, scale), r.right, r.bottom - Px(3, scale)};
        Fill(dc, divider, colors.border);
    }
    RECT bottom{client.left, client.bottom - 1, client.right, client.bottom};
    Fill(dc, bottom, colors.border);
}

void DrawCheckPicture(HDC dc, const RECT& box, bool checked, const Palette& colors, double scale) {
    Fill(dc, box, colors.fieldBackground);
    Frame(dc, box, colors.fieldText);
    if (!checked) return;
    const int w = box.right - box.left, h = box.bottom - box.top;
    UniquePen pen(CreatePen(PS_SOLID, Px(2, scale), ColorOf(colors.fieldText)));
    SelectedObject withPen(dc, pen.get());
    POINT tick[] = {{box.left + w * 22 / 100, box.top + h * 50 / 100},
                    {box.left + w * 42 / 100, box.top + h * 70 / 100},
                    {box.left + w * 78 / 100, box.top + h * 28 / 100}};
    Polyline(dc, tick, 3);
}

}  // namespace korvane::win32
