// The main window: layout of the areas, page buttons drawn flat with bold blue text and a stock
// icon, the active page shown alone, closing through FormClose.
#include "win32/window/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "win32/platform/Text.h"
#include "win32/window/Banner.h"

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

double ScreenScale() {
    WindowDc screen(nullptr);
    int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

}  // namespace

MainWindow::MainWindow(MainForm& form) : form_(form), scale_(ScreenScale()) {
    CreateFonts();
    RECT frame{0, 0, Px(kClientWidth), Px(kClientHeight)};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = work.left + std::max(0L, (work.right - work.left - width) / 2);
    const int y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
    CreateFor(WS_EX_CONTROLPARENT, L"Korvane", style, RECT{x, y, x + width, y + height}, nullptr, nullptr);
    CreatePageButtons();
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

void MainWindow::CreateFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW face{};
    face.lfHeight = -Px(11);  // 8 point at 96 DPI, as the layout was made for
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfQuality = CLEARTYPE_QUALITY;
    wcscpy(face.lfFaceName, L"Tahoma");
    font_.reset(CreateFontIndirectW(&face));
    if (!font_) font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    face.lfHeight = -Px(13);
    face.lfWeight = FW_BOLD;
    buttonFont_.reset(CreateFontIndirectW(&face));
}

void MainWindow::CreatePageButtons() {
    const int iconSize = Px(32);
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

        icons_.push_back(LoadPageIcon(kPageIcons[i].stock, kPageIcons[i].fallback, iconSize));
    }
}

// The stock icon itself, else the icon its location names, else a system icon.
HICON MainWindow::LoadPageIcon(SHSTOCKICONID stock, LPCWSTR fallback, int size) {
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof info;
    if (SUCCEEDED(SHGetStockIconInfo(stock, SHGSI_ICON | SHGSI_LARGEICON, &info)) && info.hIcon) {
        ownedIcons_.emplace_back(info.hIcon);
        return info.hIcon;
    }
    info = SHSTOCKICONINFO{};
    info.cbSize = sizeof info;
    HICON large = nullptr;
    if (SUCCEEDED(SHGetStockIconInfo(stock, SHGSI_ICONLOCATION, &info)) && info.szPath[0] &&
        ExtractIconExW(info.szPath, info.iIcon, &large, nullptr, 1) == 1 && large) {
        ownedIcons_.emplace_back(large);
        return large;
    }
    return static_cast<HICON>(LoadImageW(nullptr, fallback, IMAGE_ICON, size, size, LR_SHARED));
}

void MainWindow::CreatePageViews() {
    ViewHost host;
    host.run = [this](const std::function<void()>& handler) { form_.Run(handler); };
    host.font = font_.get();
    host.scale = scale_;
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

void MainWindow::LayOut() {
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
    PaintBanner(dc, RECT{0, 0, client.right, Px(kBannerHeight)}, scale_);
    // A thin line above the bottom bar.
    RECT line{0, client.bottom - Px(kBarHeight) - 1, client.right, client.bottom - Px(kBarHeight) + 1};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
}

// A flat page button: face colour, a frame when pressed or showing the active page, the icon, and the
// caption in bold blue.
void MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const size_t index = item.CtlID - kFirstPageButtonId;
    if (index >= pageButtons_.size()) return;
    const bool active = form_.MainControl.ActivePage() == form_.Navigation()[index].page;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(active ? COLOR_WINDOW : COLOR_BTNFACE));
    if (active || pressed)
        DrawEdge(item.hDC, &r, BDR_SUNKENOUTER, BF_RECT);
    else
        DrawEdge(item.hDC, &r, BDR_RAISEDINNER, BF_RECT);
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
    SetTextColor(item.hDC, (item.itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 200));
    {
        SelectedObject bold(item.hDC, buttonFont_.get());
        DrawTextW(item.hDC, caption.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -Px(3), -Px(3));
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
