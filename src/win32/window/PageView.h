// A plain child window that hosts the controls of one page (or of the bottom bar): it creates a view
// per control from Page::Controls(), lays them out by their bounds and anchors (inside their group
// box when they have one), routes WM_COMMAND and WM_NOTIFY to them and renders changed models. It
// hands the controls the colours of the host's scheme (WM_CTLCOLOR*) and paints what lies between them.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "controls/Page.h"
#include "win32/window/ControlView.h"
#include "win32/window/WindowBase.h"

namespace korvane::win32 {

class PageView : public WindowBase<PageView> {
public:
    static constexpr const wchar_t* kClassName = L"KorvanePage";
    // The page's design size in layout units: what the bounds of its controls were made for.
    static constexpr int kDesignWidth = 532;
    static constexpr int kDesignHeight = 440;

    PageView(Page& page, HWND parent, ViewHost host, SIZE designSize = {kDesignWidth, kDesignHeight});
    ~PageView();

    Page& Model() const { return page_; }
    // Moves the page (pixels) and lays its controls out for that size.
    void Place(RECT bounds);
    // Shows the controls at another DPI with the window's font for it; the next Place lays them out.
    void SetDpi(UINT dpi, HFONT font);
    // The view of a control of this page; null when it has none (used by tests and the main window).
    ControlView* ViewOf(const Control& control) const;
    // Renders every changed view now (normally done at the next turn of the message loop).
    void RenderPending();
    // After the host's colour scheme changed: the controls take it up and everything is painted again.
    // What the controls show (rows, selection, scroll position, check marks, text) stays as it is.
    void ApplyColors();

    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Invalidate(ControlView& view);
    ControlView* ViewFrom(HWND child) const;
    void LayOut();
    LRESULT OnControlColor(HDC dc, HWND control, bool field);
    void EraseBackground(HDC dc);

    Page& page_;
    ViewHost host_;
    SIZE design_;
    std::vector<std::unique_ptr<ControlView>> views_;
    std::unordered_map<const Control*, ControlView*> byModel_;
    std::unordered_map<HWND, ControlView*> byWindow_;
    std::vector<ControlView*> pending_;
    bool renderPosted_ = false;
};

}  // namespace korvane::win32
