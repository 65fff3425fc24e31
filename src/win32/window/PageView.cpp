// Page views: generic creation of the controls, anchored layout, message routing, coalesced renders.
#include "win32/window/PageView.h"

#include <algorithm>

#include "win32/window/Dpi.h"
#include "win32/window/Theme.h"
#include "win32/window/WindowMessages.h"

namespace korvane::win32 {

namespace {

// A control's place in layout units inside a parent whose design size grew by (dx, dy).
Rect Anchored(const Control& control, int dx, int dy) {
    Rect r = control.bounds;
    switch (control.anchor) {
        case Anchor::TopLeft:
            break;
        case Anchor::Stretch:
            r.width += dx;
            r.height += dy;
            break;
        case Anchor::StretchWidth:
            r.width += dx;
            break;
        case Anchor::StretchWidthBottom:
            r.width += dx;
            r.y += dy;
            break;
        case Anchor::Bottom:
            r.y += dy;
            break;
    }
    r.width = std::max(0, r.width);
    r.height = std::max(0, r.height);
    return r;
}

}  // namespace

PageView::PageView(Page& page, HWND parent, ViewHost host, SIZE designSize)
    : page_(page), host_(std::move(host)), design_(designSize) {
    host_.invalidate = [this](ControlView& view) { Invalidate(view); };
    // No WS_CLIPCHILDREN: a group box paints only its frame and relies on the page to paint inside it.
    CreateFor(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_CLIPSIBLINGS, RECT{0, 0, 10, 10}, parent, nullptr);
    int id = 100;
    for (Control* control : page_.Controls()) {
        views_.push_back(CreateControlView(*control, hwnd_, id++, host_));
        byModel_[control] = views_.back().get();
        byWindow_[views_.back()->Handle()] = views_.back().get();
    }
    // Group boxes paint below the controls they frame.
    for (auto& view : views_)
        if (view->Model().Kind() == ControlKind::GroupBox)
            SetWindowPos(view->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

PageView::~PageView() {
    Destroy();
}

void PageView::Place(RECT bounds) {
    MoveWindow(hwnd_, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
    LayOut();
}

void PageView::SetDpi(UINT dpi, HFONT font) {
    host_.dpi = dpi;
    host_.scale = static_cast<double>(dpi) / kDesignDpi;
    host_.font = font;
    for (auto& view : views_) {
        SendMessageW(view->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        view->OnDpiChanged();
    }
}

void PageView::ApplyColors() {
    for (auto& view : views_) view->OnColorsChanged();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void PageView::EraseBackground(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, host_.colors ? host_.colors->BackgroundBrush() : GetSysColorBrush(COLOR_BTNFACE));
}

// Labels, check boxes and group box captions stand on the page's background; edit boxes, the memo
// (read-only, so it asks as a static would) and list boxes are fields.
LRESULT PageView::OnControlColor(HDC dc, HWND control, bool field) {
    const Palette& colors = host_.colors->Colors();
    if (ControlView* view = ViewFrom(control)) {
        const ControlKind kind = view->Model().Kind();
        field = field || kind == ControlKind::Memo || kind == ControlKind::EditBox ||
                kind == ControlKind::ListBox;
    }
    Rgb text = field ? colors.fieldText : colors.text;
    if (!IsWindowEnabled(control)) text = colors.disabledText;
    SetTextColor(dc, ColorOf(text));
    SetBkColor(dc, ColorOf(field ? colors.fieldBackground : colors.background));
    return reinterpret_cast<LRESULT>(field ? host_.colors->FieldBrush() : host_.colors->BackgroundBrush());
}

void PageView::LayOut() {
    RECT client;
    GetClientRect(hwnd_, &client);
    const double scale = host_.scale;
    const int width = static_cast<int>(client.right / scale + 0.5);
    const int height = static_cast<int>(client.bottom / scale + 0.5);
    // Where each group box ended up, in layout units, for the controls inside it.
    std::unordered_map<const Control*, Rect> placed;
    for (auto& view : views_) {
        const Control& control = view->Model();
        Rect r;
        if (control.parent) {
            Rect box = placed.count(control.parent) ? placed[control.parent] : control.parent->bounds;
            r = Anchored(control, box.width - control.parent->bounds.width,
                         box.height - control.parent->bounds.height);
            r.x += box.x;
            r.y += box.y;
        } else {
            r = Anchored(control, width - design_.cx, height - design_.cy);
        }
        placed[&control] = r;
        auto px = [scale](int v) { return static_cast<int>(v * scale + 0.5); };
        // Rounding back and forth between pixels and layout units may overshoot by a pixel.
        const int right = std::min<int>(px(r.x + r.width), client.right);
        const int bottom = std::min<int>(px(r.y + r.height), client.bottom);
        MoveWindow(view->Handle(), px(r.x), px(r.y), std::max(0, right - px(r.x)),
                   std::max(0, bottom - px(r.y)), TRUE);
        view->OnResized();
    }
}

ControlView* PageView::ViewOf(const Control& control) const {
    auto found = byModel_.find(&control);
    return found == byModel_.end() ? nullptr : found->second;
}

ControlView* PageView::ViewFrom(HWND child) const {
    auto found = byWindow_.find(child);
    if (found != byWindow_.end()) return found->second;
    // A list view's header reports through the list view.
    found = byWindow_.find(GetParent(child));
    return found == byWindow_.end() ? nullptr : found->second;
}

void PageView::Invalidate(ControlView& view) {
    if (std::find(pending_.begin(), pending_.end(), &view) == pending_.end()) pending_.push_back(&view);
    if (!renderPosted_ && hwnd_) renderPosted_ = PostMessageW(hwnd_, WM_APP_RENDER, 0, 0) != FALSE;
}

void PageView::RenderPending() {
    renderPosted_ = false;
    std::vector<ControlView*> pending;
    pending.swap(pending_);
    for (ControlView* view : pending) view->Render();
}

LRESULT PageView::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (ControlView* view = ViewFrom(reinterpret_cast<HWND>(lParam))) view->OnCommand(HIWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            ControlView* view = ViewFrom(header->hwndFrom);
            return view ? view->OnNotify(header) : 0;
        }
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (!host_.colors) break;
            return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), false);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (!host_.colors) break;
            return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), true);
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            ControlView* view = ViewFrom(item.hwndItem);
            return view && view->OnDrawItem(item);
        }
        case WM_APP_RENDER:
            RenderPending();
            return 0;
        case WM_SIZE:
            LayOut();
            return 0;
        case WM_DESTROY:
            // The controls go with this window: stop rendering models into them.
            pending_.clear();
            byWindow_.clear();
            byModel_.clear();
            views_.clear();
            return 0;
    }
    return Default(message, wParam, lParam);
}

}  // namespace korvane::win32
