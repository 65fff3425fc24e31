// RAII owners of what the window draws with: GDI objects, device contexts, icons and image lists. They
// sit apart from platform/UniqueHandle.h because they need the common-controls header, which the
// platform part has no use for. Themes have their own owner (Theme.h): UxTheme is loaded at run time.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "win32/platform/UniqueHandle.h"

namespace korvane::win32 {

using UniqueFont = UniqueAny<HFONT, &::DeleteObject>;
using UniquePen = UniqueAny<HPEN, &::DeleteObject>;
using UniqueBrush = UniqueAny<HBRUSH, &::DeleteObject>;
using UniqueBitmap = UniqueAny<HBITMAP, &::DeleteObject>;
using UniqueIcon = UniqueAny<HICON, &::DestroyIcon>;
using UniqueImageList = UniqueAny<HIMAGELIST, &::ImageList_Destroy>;
// A DC made with CreateCompatibleDC (or CreateDC); a window's DC is a WindowDc.
using UniqueMemoryDc = UniqueAny<HDC, &::DeleteDC>;

// The DC of a window (of the screen for a null window), handed back to that window on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and the previous one back on scope exit. A GDI object must not be deleted
// while selected, so declare the object's owner before this. Not for regions (SelectObject returns a
// region's complexity, not the previous region).
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint in WM_PAINT, and the EndPaint every BeginPaint needs on scope exit.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};  // declared before dc_: BeginPaint fills it while dc_ is initialised
    HDC dc_;
};

}  // namespace korvane::win32
