// The main window: layout of the areas, page buttons drawn flat with bold text and a stock icon, the
// active page shown alone, the colours of the mode Windows asks for, closing through FormClose.
#include "win32/window/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>

#include "core/ColorMode.h"
#include "win32/Version.h"
#include "win32/platform/Text.h"
#include "win32/window/Banner.h"
#include "win32/window/Dpi.h"

namespace korvane::win32 {

namespace {

constexpr int kBannerHeight = 109;
constexpr int kButtonX = 5, kButtonY = 107, kButtonStep = 50, kButtonWidth = 201, kButtonHeight = 41;
constexpr int kPageAreaX = 213, kPageAreaY = 108;
constexpr int kPageAreaRightMargin = 1, kPageAreaBottomMargin = 29;  // 540 x 440 in 754 x 577
constexpr int kPageInset = 4;                                        // pages are 532 wide
constexpr int kBarHeight = 25;
constexpr WORD kFirstPageButtonId = 10;

// The bottom bar as a page of one control, so that the autorun box is rendered like any other.
class AutorunPanel : public Page {
public:
    explicit AutorunPanel(CheckBox& cbAutoRun) : Page("pnlAutorun") { Place(cbAutoRun, {8, 4, 260, 17}); }
};

struct StockIcon {
    SHSTOCKICONID stock;
    LPCWSTR fallback;
};

// In the order of the page buttons.
const StockIcon kPageIcons[] = {
    {SIID_FIND, IDI_QUESTION},           {SIID_WORLD, IDI_APPLICATION},    {SIID_RECYCLER, IDI_WARNING},
    {SIID_APPLICATION, IDI_APPLICATION}, {SIID_SOFTWARE, IDI_APPLICATION}, {SIID_DRIVEFIXED, IDI_INFORMATION},
    {SIID_FOLDERBACK, IDI_INFORMATION},  {SIID_LOCK, IDI_SHIELD},
};

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kVersionRight = 10, kVersionTop = 86, kVersionWidth = 160, kVersionHeight = 18;

// The page buttons' captions are larger than the message font by this much, and bold.
constexpr int kButtonFontNumerator = 13, kButtonFontDenominator = 11;

BOOL CALLBACK ForwardSysColorChange(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

}  // namespace

MainWindow::MainWindow(MainForm& form) : form_(form) {
    // Created first and sized after: the DPI it will be shown at is the one of its monitor.
    CreateFor(WS_EX_CONTROLPARENT, L"Korvane", kStyle, RECT{0, 0, 0, 0}, nullptr, nullptr);
    dpi_ = DpiOf(hwnd_);
    scale_ = static_cast<double>(dpi_) / kDesignDpi;
    colors_.Set(CurrentColorMode(settings_), CurrentSystemColors());
    UseDarkTitleBar(hwnd_, colors_.Dark());
    CreateFonts();
    PlaceOnMonitor();
    CreatePageButtons();
    const std::wstring version = L"Version " + Widen(KORVANE_VERSION_TEXT);
    versionLabel_ = CreateWindowExW(0, L"STATIC", version.c_str(), WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0,
                                    10, 10, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(versionLabel_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    CreatePageViews();
    form_.MainControl.onChanged = [this] { ShowActivePage(); };
    // Posted, so that the handler asking for it (a restart as administrator) ends first.
    form_.closeWindow = [this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); };
    LayOut();
    ShowActivePage();
}

MainWindow::~MainWindow() {
    quitOnDestroy_ = false;  // released by its owner, not closed by the user
    Destroy();
    OnDestroy();  // idempotent: makes sure no model calls back into this object
}

// The design's client size at the window's DPI, centred in the work area of its monitor.
void MainWindow::PlaceOnMonitor() {
    const RECT frame = FrameForClient(RECT{0, 0, Px(kClientWidth), Px(kClientHeight)}, kStyle, 0, dpi_);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = work.left + std::max(0L, (work.right - work.left - width) / 2);
    const int y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system's message font at the window's DPI, and a larger bold one of the same face for the page
// buttons. The controls get them from the caller.
void MainWindow::CreateFonts() {
    LOGFONTW face = MessageFontForDpi(dpi_);
    face.lfQuality = CLEARTYPE_QUALITY;
    font_.reset(CreateFontIndirectW(&face));
    fontFace_ = face.lfFaceName;
    face.lfHeight = MulDiv(face.lfHeight, kButtonFontNumerator, kButtonFontDenominator);
    face.lfWeight = FW_BOLD;
    buttonFont_.reset(CreateFontIndirectW(&face));
}

void MainWindow::CreatePageButtons() {
    for (size_t i = 0; i < form_.Navigation().size(); ++i) {
        Button& model = *form_.Navigation()[i].button;
        HWND button = CreateWindowExW(0, L"BUTTON", Widen(model.Caption()).c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 10, 10, hwnd_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstPageButtonId + i)),
                                      GetModuleHandleW(nullptr), nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
        pageButtons_.push_back(button);
        model.onChanged = [button](Control& changed) {
            SetWindowTextW(button, Widen(changed.Caption()).c_str());
            EnableWindow(button, changed.Enabled());
            InvalidateRect(button, nullptr, TRUE);
        };
    }
    LoadPageIcons();
}

void MainWindow::LoadPageIcons() {
    icons_.clear();
    ownedIcons_.clear();
    for (size_t i = 0; i < pageButtons_.size(); ++i)
        icons_.push_back(LoadPageIcon(kPageIcons[i].stock, kPageIcons[i].fallback, Px(32)));
}

// The stock icon drawn for `size` pixels, else the system's own large stock icon, else a system icon.
HICON MainWindow::LoadPageIcon(SHSTOCKICONID stock, LPCWSTR fallback, int size) {
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof info;
    HICON icon = nullptr;
    // A location of resource 1 (index -1) is the generic document picture, which a system without this
    // stock icon hands out for it (Wine does): the system icon says more.
    if (SUCCEEDED(SHGetStockIconInfo(stock, SHGSI_ICONLOCATION, &info)) && info.szPath[0] &&
        info.iIcon != -1 &&
        SHDefExtractIconW(info.szPath, info.iIcon, 0, &icon, nullptr, static_cast<UINT>(size)) == S_OK &&
        icon) {
        ownedIcons_.emplace_back(icon);
        return icon;
    }
    info = SHSTOCKICONINFO{};
    info.cbSize = sizeof info;
    if (SUCCEEDED(SHGetStockIconInfo(stock, SHGSI_ICON | SHGSI_LARGEICON, &info)) && info.hIcon) {
        ownedIcons_.emplace_back(info.hIcon);
        return info.hIcon;
    }
    ownedIcons_.push_back(SystemIconForSize(fallback, size));
    return ownedIcons_.back().get();
}

void MainWindow::CreatePageViews() {
    ViewHost host;
    host.run = [this](const std::function<void()>& handler) { form_.Run(handler); };
    host.font = font_.get();
    host.dpi = dpi_;
    host.scale = scale_;
    host.colors = &colors_;
    for (Page* page : form_.MainControl.Pages())
        pages_.push_back(std::make_unique<PageView>(*page, hwnd_, host));
    autorunPanel_ = std::make_unique<AutorunPanel>(form_.cbAutoRun);
    autorunBar_ = std::make_unique<PageView>(*autorunPanel_, hwnd_, host, SIZE{kClientWidth, kBarHeight});
    ShowWindow(autorunBar_->Handle(), SW_SHOWNA);
}

void MainWindow::Show(int showCommand) {
    form_.FormShow();
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
}

PageView* MainWindow::ViewOf(const Page& page) const {
    for (const auto& view : pages_)
        if (&view->Model() == &page) return view.get();
    return nullptr;
}

void MainWindow::RenderPending() {
    for (const auto& view : pages_) view->RenderPending();
    autorunBar_->RenderPending();
}

// Everything sized for the old DPI is made again; the window takes the place Windows suggests, which
// keeps it under the mouse when it is dragged across monitors.
void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    if (!dpi) return;
    dpi_ = dpi;
    scale_ = static_cast<double>(dpi_) / kDesignDpi;
    // The controls take the new fonts before the old ones go.
    UniqueFont oldFont = std::move(font_), oldButtonFont = std::move(buttonFont_);
    CreateFonts();
    for (HWND button : pageButtons_)
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
    SendMessageW(versionLabel_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    LoadPageIcons();
    for (const auto& view : pages_) view->SetDpi(dpi_, font_.get());
    autorunBar_->SetDpi(dpi_, font_.get());
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// WM_SETTINGCHANGE: the app mode ("ImmersiveColorSet") or high contrast may have changed.
void MainWindow::OnSettingChange(WPARAM action, const wchar_t* area) {
    if (action == SPI_SETHIGHCONTRAST || (area && IsColorSettingChange(Narrow(area)))) ApplyColors();
}

// Everything is painted again in the colours of the mode Windows asks for now. Only colours change:
// the models, and with them the page, rows, selection and check marks, are left alone, and so are the
// controls (scroll positions included).
void MainWindow::ApplyColors() {
    ShowColorMode(CurrentColorMode(settings_));
}

void MainWindow::ShowColorMode(ColorMode mode) {
    colors_.Set(mode, CurrentSystemColors());
    UseDarkTitleBar(hwnd_, colors_.Dark());
    for (const auto& view : pages_) view->ApplyColors();
    if (autorunBar_) autorunBar_->ApplyColors();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::LayOut() {
    if (!autorunBar_) return;  // still being created
    RECT client;
    GetClientRect(hwnd_, &client);
    for (size_t i = 0; i < pageButtons_.size(); ++i)
        MoveWindow(pageButtons_[i], Px(kButtonX), Px(kButtonY + kButtonStep * static_cast<int>(i)),
                   Px(kButtonWidth), Px(kButtonHeight), TRUE);
    // The page area stretches with the window on all sides.
    RECT area{Px(kPageAreaX + kPageInset), Px(kPageAreaY),
              client.right - Px(kPageAreaRightMargin + kPageInset),
              client.bottom - Px(kPageAreaBottomMargin)};
    for (const auto& view : pages_) view->Place(area);
    autorunBar_->Place(RECT{0, client.bottom - Px(kBarHeight), client.right, client.bottom});
    MoveWindow(versionLabel_, client.right - Px(kVersionRight + kVersionWidth), Px(kVersionTop),
               Px(kVersionWidth), Px(kVersionHeight), TRUE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void MainWindow::ShowActivePage() {
    Page* active = form_.MainControl.ActivePage();
    for (const auto& view : pages_)
        ShowWindow(view->Handle(), &view->Model() == active ? SW_SHOWNA : SW_HIDE);
    for (HWND button : pageButtons_) InvalidateRect(button, nullptr, TRUE);
}

void MainWindow::OnPaint() {
    PaintScope paint(hwnd_);
    HDC dc = paint.get();
    RECT client;
    GetClientRect(hwnd_, &client);
    PaintBanner(dc, RECT{0, 0, client.right, Px(kBannerHeight)}, scale_, fontFace_.c_str(), colors_.Colors());
    // A thin line above the bottom bar.
    RECT line{0, client.bottom - Px(kBarHeight) - 1, client.right, client.bottom - Px(kBarHeight) + 1};
    if (colors_.Mode() == ColorMode::Light) {
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    } else {
        line.bottom = line.top + 1;
        UniqueBrush brush(CreateSolidBrush(ColorOf(colors_.Colors().border)));
        FillRect(dc, &line, brush.get());
    }
}

void MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem == versionLabel_) {
        DrawVersionLabel(item);
        return;
    }
    const size_t index = item.CtlID - kFirstPageButtonId;
    if (item.CtlType == ODT_BUTTON && index < pageButtons_.size()) DrawPageButton(item, index);
}

// The version in the banner's lower right corner: the banner's own picture below it, the text on top.
void MainWindow::DrawVersionLabel(const DRAWITEMSTRUCT& item) {
    RECT client, label;
    GetClientRect(hwnd_, &client);
    GetWindowRect(item.hwndItem, &label);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&label), 2);
    PaintBanner(item.hDC,
                RECT{-label.left, -label.top, client.right - label.left, Px(kBannerHeight) - label.top},
                scale_, fontFace_.c_str(), colors_.Colors());
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item.hwndItem)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(item.hwndItem, text.data(), static_cast<int>(text.size()))));
    RECT r = item.rcItem;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, ColorOf(colors_.Colors().bannerSubtitle));
    SelectedObject withFont(item.hDC, font_.get());
    DrawTextW(item.hDC, text.c_str(), -1, &r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
}

// A flat page button: face colour, a frame when pressed or showing the active page, the icon, and the
// caption in bold (blue in light mode).
void MainWindow::DrawPageButton(const DRAWITEMSTRUCT& item, size_t index) {
    const bool active = form_.MainControl.ActivePage() == form_.Navigation()[index].page;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const Palette& colors = colors_.Colors();
    RECT r = item.rcItem;
    {
        UniqueBrush face(
            CreateSolidBrush(ColorOf(active ? colors.pageButtonActiveFace : colors.pageButtonFace)));
        FillRect(item.hDC, &r, face.get());
    }
    if (colors_.Mode() == ColorMode::Light) {
        DrawEdge(item.hDC, &r, (active || pressed) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else {
        // The 3-D edges are drawn in the light system colours; a flat frame takes the palette's.
        UniqueBrush frame(CreateSolidBrush(ColorOf(active || pressed ? colors.text : colors.border)));
        FrameRect(item.hDC, &r, frame.get());
    }
    const int iconSize = Px(32);
    const int offset = pressed ? 1 : 0;
    if (icons_[index])
        DrawIconEx(item.hDC, r.left + Px(6) + offset, r.top + (r.bottom - r.top - iconSize) / 2 + offset,
                   icons_[index], iconSize, iconSize, 0, nullptr, DI_NORMAL);
    int length = GetWindowTextLengthW(item.hwndItem);
    std::wstring caption(static_cast<size_t>(length) + 1, L'\0');
    caption.resize(static_cast<size_t>(GetWindowTextW(item.hwndItem, caption.data(), length + 1)));
    RECT text{r.left + Px(46) + offset, r.top + offset, r.right - Px(4), r.bottom + offset};
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, ColorOf((item.itemState & ODS_DISABLED) ? colors.disabledText
                                   : active                        ? colors.pageButtonActiveText
                                                                   : colors.pageButtonText));
    {
        SelectedObject bold(item.hDC, buttonFont_.get());
        DrawTextW(item.hDC, caption.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -Px(3), -Px(3));
        SetTextColor(item.hDC, ColorOf(colors.text));
        SetBkColor(item.hDC, ColorOf(active ? colors.pageButtonActiveFace : colors.pageButtonFace));
        DrawFocusRect(item.hDC, &focus);
    }
}

void MainWindow::OnCommand(WORD id, WORD code) {
    const size_t index = static_cast<size_t>(id - kFirstPageButtonId);
    if (code == BN_CLICKED && id >= kFirstPageButtonId && index < pageButtons_.size())
        form_.Run([this, index] { form_.Navigation()[index].button->Click(); });
}

void MainWindow::OnClose() {
    if (form_.FormClose()) Destroy();
}

void MainWindow::OnDestroy() {
    form_.MainControl.onChanged = nullptr;
    form_.closeWindow = nullptr;
    for (const auto& link : form_.Navigation()) link.button->onChanged = nullptr;
}

LRESULT MainWindow::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_SIZE:
            LayOut();
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, colors_.BackgroundBrush());
            return 1;
        }
        case WM_SETTINGCHANGE:
            OnSettingChange(wParam, reinterpret_cast<const wchar_t*>(lParam));
            return 0;
        case WM_SYSCOLORCHANGE:
            // Common controls learn of new system colours only from their top-level window.
            EnumChildWindows(hwnd_, &ForwardSysColorChange, 0);
            ApplyColors();
            return 0;
        case WM_THEMECHANGED:
            ApplyColors();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{Px(640), Px(500)};
            return 0;
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            if (quitOnDestroy_) PostQuitMessage(0);
            return 0;
    }
    return Default(message, wParam, lParam);
}

}  // namespace korvane::win32
