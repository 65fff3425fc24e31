// The virtual list view: rows, check boxes as state images, selection and column widths.
#include "win32/window/ListViewView.h"

#include <vsstyle.h>

#include <algorithm>
#include <cwchar>

#include "win32/platform/Text.h"
#include "win32/window/Clipboard.h"
#include "win32/window/Dpi.h"
#include "win32/window/OwnDrawing.h"
#include "win32/window/Theme.h"

namespace korvane::win32 {

namespace {

constexpr int kUnchecked = 1;  // state image indices (1-based; 0 means no image)
constexpr int kChecked = 2;

}  // namespace

ListViewView::ListViewView(ListView& model, HWND parent, int id, ViewHost& host)
    : ControlView(model,
                  CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                      LVS_SHOWSELALWAYS | (model.sortOnHeaderClick ? 0 : LVS_NOSORTHEADER) |
                                      (model.multiSelect ? 0 : LVS_SINGLESEL),
                                  0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr),
                  host) {
    DWORD extended = LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP;
    if (model.gridLines) extended |= LVS_EX_GRIDLINES;
    if (model.rowSelect) extended |= LVS_EX_FULLROWSELECT;
    ListView_SetExtendedListViewStyle(window_, extended);
    CreateColumns();
    CreateSmallImages();
    if (model.checkBoxes) {
        CreateCheckImages();
        // Owner data: the control asks for each row's check image in LVN_GETDISPINFO.
        ListView_SetCallbackMask(window_, LVIS_STATEIMAGEMASK);
    }
    SetWindowSubclass(ListView_GetHeader(window_), &HeaderProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    Render();
    OnColorsChanged();
}

ListViewView::~ListViewView() {
    RemoveWindowSubclass(ListView_GetHeader(window_), &HeaderProcedure, 0);
}

bool ListViewView::Dark() const {
    return host_.colors && host_.colors->Dark();
}

// The list's own colours come from the palette in every mode; dark mode also replaces the grid lines
// (Windows draws them light) with its own, and asks for Windows' dark scroll bars and header theme
// where they exist.
void ListViewView::OnColorsChanged() {
    if (!host_.colors) return;
    const Palette& colors = host_.colors->Colors();
    ListView_SetBkColor(window_, ColorOf(colors.fieldBackground));
    ListView_SetTextBkColor(window_, ColorOf(colors.fieldBackground));
    ListView_SetTextColor(window_, ColorOf(colors.fieldText));
    const bool dark = Dark();
    const DWORD grid = List().gridLines && !dark ? LVS_EX_GRIDLINES : 0;
    ListView_SetExtendedListViewStyleEx(window_, LVS_EX_GRIDLINES, grid);
    SetControlTheme(window_, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
    SetControlTheme(ListView_GetHeader(window_), dark ? L"DarkMode_ItemsView" : nullptr, nullptr);
    if (List().checkBoxes) CreateCheckImages();
    InvalidateRect(ListView_GetHeader(window_), nullptr, TRUE);
    InvalidateRect(window_, nullptr, TRUE);
}

// In dark mode and high contrast the header is painted here, all of it: Windows' header of desktop
// programs stays light, and one that has not caught up with new system colours (Wine's) would show
// the old ones.
LRESULT CALLBACK ListViewView::HeaderProcedure(HWND header, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR, DWORD_PTR self) {
    auto* view = reinterpret_cast<ListViewView*>(self);
    if (view->host_.colors && view->host_.colors->Mode() != ColorMode::Light) {
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_PAINT) {
            PaintScope paint(header);
            PaintHeader(header, paint.get(), view->host_.colors->Colors(), view->host_.scale);
            return 0;
        }
    }
    return DefSubclassProc(header, message, wParam, lParam);
}

// Dark mode: the selected rows in the palette's selection colours (Windows would take the light
// system ones, and grey with light text when the list has no focus), and the grid drawn after them.
LRESULT ListViewView::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    if (!Dark()) return CDRF_DODEFAULT;
    const Palette& colors = host_.colors->Colors();
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW | (List().gridLines ? CDRF_NOTIFYPOSTPAINT : 0);
        case CDDS_ITEMPREPAINT: {
            const int row = static_cast<int>(draw.nmcd.dwItemSpec);
            if (ListView_GetItemState(window_, row, LVIS_SELECTED) & LVIS_SELECTED) {
                const bool focused = GetFocus() == window_;
                draw.clrText = ColorOf(focused ? colors.selectionText : colors.inactiveSelectionText);
                draw.clrTextBk = ColorOf(focused ? colors.selection : colors.inactiveSelection);
                draw.nmcd.uItemState &= ~CDIS_SELECTED;  // or the control paints its own highlight
            } else {
                draw.clrText = ColorOf(colors.fieldText);
                draw.clrTextBk = ColorOf(colors.fieldBackground);
            }
            return CDRF_NEWFONT;
        }
        case CDDS_POSTPAINT:
            DrawGrid(draw.nmcd.hdc);
            return CDRF_DODEFAULT;
    }
    return CDRF_DODEFAULT;
}

// A line under every visible row and at the right of every column, over the rows shown.
void ListViewView::DrawGrid(HDC dc) {
    const int count = List().Count();
    const int top = ListView_GetTopIndex(window_);
    if (count == 0 || top < 0) return;
    const int last = std::min(count - 1, top + ListView_GetCountPerPage(window_));
    RECT first{}, bottom{};
    if (!ListView_GetItemRect(window_, top, &first, LVIR_BOUNDS) ||
        !ListView_GetItemRect(window_, last, &bottom, LVIR_BOUNDS))
        return;
    UniqueBrush brush(CreateSolidBrush(ColorOf(host_.colors->Colors().gridLine)));
    for (int row = top; row <= last; ++row) {
        RECT r;
        if (!ListView_GetItemRect(window_, row, &r, LVIR_BOUNDS)) continue;
        RECT line{r.left, r.bottom - 1, r.right, r.bottom};
        FillRect(dc, &line, brush.get());
    }
    int x = first.left;
    for (size_t column = 0; column < List().columns.size(); ++column) {
        x += ListView_GetColumnWidth(window_, static_cast<int>(column));
        RECT line{x - 1, first.top, x, bottom.bottom};
        FillRect(dc, &line, brush.get());
    }
}

void ListViewView::CreateColumns() {
    const auto& columns = List().columns;
    for (size_t i = 0; i < columns.size(); ++i) {
        std::wstring title = Widen(columns[i].title);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = columns[i].centred && i > 0 ? LVCFMT_CENTER : LVCFMT_LEFT;
        column.pszText = title.data();
        column.cx = columns[i].width == ListColumn::kRestWidth ? 100 : columns[i].width;
        ListView_InsertColumn(window_, static_cast<int>(i), &column);
    }
}

// Draws the two check-box pictures (themed when a theme is active) into a state image list.
void ListViewView::CreateCheckImages() {
    int size = std::max(13, static_cast<int>(16 * host_.scale + 0.5));
    // Made whole before the list lets go of the old pictures.
    UniqueImageList images(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 0));
    WindowDc screen(window_);
    UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    const Theme theme(window_, L"BUTTON");
    const COLORREF mask = RGB(255, 0, 255);
    for (bool checked : {false, true}) {
        UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), size, size));
        {
            // The bitmap must be out of the DC again before the image list copies it.
            SelectedObject target(dc.get(), bitmap.get());
            RECT all{0, 0, size, size};
            UniqueBrush background(CreateSolidBrush(mask));
            FillRect(dc.get(), &all, background.get());
            int box = std::min(size, static_cast<int>(13 * host_.scale + 0.5));
            RECT r{(size - box) / 2, (size - box) / 2, (size - box) / 2 + box, (size - box) / 2 + box};
            // Dark and high contrast draw their own box: the theme's is light, and high contrast
            // wants the system's colours and nothing else.
            if (host_.colors && host_.colors->Mode() != ColorMode::Light)
                DrawCheckPicture(dc.get(), r, checked, host_.colors->Colors(), host_.scale);
            else if (!theme.DrawBackground(dc.get(), BP_CHECKBOX,
                                           checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL, r))
                DrawFrameControl(dc.get(), &r, DFC_BUTTON,
                                 DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
        }
        ImageList_AddMasked(images.get(), bitmap.get(), mask);
    }
    ListView_SetImageList(window_, images.get(), LVSIL_STATE);
    checkImages_ = std::move(images);
}

// The rows' small pictures come from the system's stock icons, drawn for the small-icon size at the
// window's DPI.
void ListViewView::CreateSmallImages() {
    const auto& images = List().smallImages;
    if (images.empty()) return;
    const int size = SystemMetricForDpi(SM_CXSMICON, host_.dpi);
    UniqueImageList pictures(
        ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(images.size()), 0));
    for (StockImage image : images) {
        const wchar_t* id = IDI_APPLICATION;
        switch (image) {
            case StockImage::Application:
                id = IDI_APPLICATION;
                break;
            case StockImage::Information:
                id = IDI_INFORMATION;
                break;
            case StockImage::Warning:
                id = IDI_WARNING;
                break;
            case StockImage::Error:
                id = IDI_ERROR;
                break;
            case StockImage::Question:
                id = IDI_QUESTION;
                break;
            case StockImage::Shield:
                id = IDI_SHIELD;
                break;
        }
        // The image list keeps its own copy.
        UniqueIcon icon = SystemIconForSize(id, size);
        ImageList_AddIcon(pictures.get(), icon.get());
    }
    ListView_SetImageList(window_, pictures.get(), LVSIL_SMALL);
    smallImages_ = std::move(pictures);
}

void ListViewView::Render() {
    ListView& list = List();
    RenderNameForReaders();
    if (ListView_GetItemCount(window_) != list.Count())
        ListView_SetItemCountEx(window_, list.Count(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    InvalidateRect(window_, nullptr, FALSE);
    SyncSelectionToWindow();
    ShowSortArrow();
    if (!IsWindowEnabled(window_) != !list.Enabled()) EnableWindow(window_, list.Enabled());
}

// The header's arrow on the column the rows are sorted by: up for ascending, down for descending.
void ListViewView::ShowSortArrow() {
    ListView& list = List();
    if (list.SortColumn() == shownSortColumn_ && list.SortDescending() == shownDescending_) return;
    HWND header = ListView_GetHeader(window_);
    for (int i = 0; i < static_cast<int>(list.columns.size()); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!Header_GetItem(header, i, &item)) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == list.SortColumn()) item.fmt |= list.SortDescending() ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, i, &item);
    }
    shownSortColumn_ = list.SortColumn();
    shownDescending_ = list.SortDescending();
}

void ListViewView::SyncSelectionToWindow() {
    std::vector<int> wanted = List().SelectedIndices();
    std::vector<int> shown;
    for (int i = ListView_GetNextItem(window_, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(window_, i, LVNI_SELECTED))
        shown.push_back(i);
    if (wanted == shown) return;
    syncing_ = true;
    ListView_SetItemState(window_, -1, 0, LVIS_SELECTED);
    for (int i : wanted) ListView_SetItemState(window_, i, LVIS_SELECTED, LVIS_SELECTED);
    // The keyboard carries on from the row the program chose, which is in view.
    if (!wanted.empty()) ShowFocusOn(wanted.front());
    syncing_ = false;
}

void ListViewView::ShowFocusOn(int row) {
    ListView_SetItemState(window_, row, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_EnsureVisible(window_, row, FALSE);
}

// A list reached by the keyboard shows where its focus is: on the first selected row, else on the first
// row, which stays unselected.
void ListViewView::OnFocus() {
    if (ListView_GetNextItem(window_, -1, LVNI_FOCUSED) >= 0 || List().Count() == 0) return;
    const int selected = List().FirstSelected();
    syncing_ = true;
    ShowFocusOn(selected >= 0 ? selected : 0);
    syncing_ = false;
}

void ListViewView::OnResized() {
    const auto& columns = List().columns;
    RECT client;
    GetClientRect(window_, &client);
    // Leave room for a vertical scroll bar so that a growing list does not need a horizontal one.
    int free = client.right - SystemMetricForDpi(SM_CXVSCROLL, host_.dpi);
    int rest = 0;
    for (const auto& column : columns) {
        if (column.width == ListColumn::kRestWidth)
            ++rest;
        else
            free -= static_cast<int>(column.width * host_.scale + 0.5);
    }
    int restWidth = rest ? std::max(static_cast<int>(60 * host_.scale), free / rest) : 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        int width = columns[i].width == ListColumn::kRestWidth
                        ? restWidth
                        : static_cast<int>(columns[i].width * host_.scale + 0.5);
        if (columns[i].fixedWidth) width = columns[i].width;  // a hidden data column stays as thin as set
        ListView_SetColumnWidth(window_, static_cast<int>(i), width);
    }
}

void ListViewView::OnDpiChanged() {
    if (List().checkBoxes) CreateCheckImages();
    CreateSmallImages();
    OnResized();
}

LRESULT ListViewView::OnNotify(NMHDR* header) {
    switch (header->code) {
        case NM_CUSTOMDRAW:
            // The header's own drawing reaches here too; it is painted whole by HeaderProcedure.
            return header->hwndFrom == window_ ? OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header))
                                               : CDRF_DODEFAULT;
        case LVN_GETDISPINFOW:
            OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
            return 0;
        case NM_CLICK:
            OnClick(*reinterpret_cast<NMITEMACTIVATE*>(header));
            return 0;
        case NM_SETFOCUS:
            OnFocus();
            return 0;
        case LVN_KEYDOWN:
            OnKeyDown(*reinterpret_cast<NMLVKEYDOWN*>(header));
            return 0;
        case LVN_ITEMCHANGED:
            OnItemChanged(*reinterpret_cast<NMLISTVIEW*>(header));
            return 0;
        case LVN_ODSTATECHANGED:
            OnRangeChanged(*reinterpret_cast<NMLVODSTATECHANGE*>(header));
            return 0;
        case LVN_COLUMNCLICK: {
            const int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
            if (List().sortOnHeaderClick) host_.run([this, column] { List().ColumnClick(column); });
            return 0;
        }
        case HDN_BEGINTRACKW:
        case HDN_BEGINTRACKA:
        case HDN_DIVIDERDBLCLICKW:
        case HDN_DIVIDERDBLCLICKA: {
            // Hidden data columns cannot be widened by the user.
            int column = reinterpret_cast<NMHEADERW*>(header)->iItem;
            const auto& columns = List().columns;
            return column >= 0 && column < static_cast<int>(columns.size()) && columns[column].fixedWidth;
        }
    }
    return 0;
}

void ListViewView::OnGetDispInfo(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    ListView& list = List();
    if (item.iItem < 0 || item.iItem >= list.Count()) return;  // a row removed since the last render
    const ListItem& row = list.Item(item.iItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        std::wstring text =
            Widen(item.iSubItem == 0 ? row.caption : list.SubItem(item.iItem, item.iSubItem - 1));
        size_t count = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
        std::wmemcpy(item.pszText, text.data(), count);
        item.pszText[count] = L'\0';
    }
    if ((item.mask & LVIF_IMAGE) && !list.smallImages.empty()) item.iImage = row.imageIndex;
    if ((item.mask & LVIF_STATE) && list.checkBoxes) {
        item.state =
            (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(row.checked ? kChecked : kUnchecked);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

// Any click in the list is the list's click (its handler keeps buttons in step); a click on a row's
// box toggles that row first.
void ListViewView::OnClick(const NMITEMACTIVATE& click) {
    LVHITTESTINFO hit{};
    hit.pt = click.ptAction;
    int index = ListView_SubItemHitTest(window_, &hit);
    host_.run([this, index, onBox = (hit.flags & LVHT_ONITEMSTATEICON) != 0] {
        ListView& list = List();
        if (list.checkBoxes && onBox && index >= 0 && index < list.Count()) list.UserToggleCheck(index);
        list.Click();
    });
}

// The space bar toggles the selected rows (or the focused one) as a click on their boxes would; Ctrl+C
// copies what the list's model says to copy.
void ListViewView::OnKeyDown(const NMLVKEYDOWN& key) {
    if (key.wVKey == 'C' && ::GetKeyState(VK_CONTROL) < 0 && List().copyText) {
        host_.run([this] {
            const std::string text = List().copyText();
            if (!text.empty()) PutTextOnClipboard(window_, text);
        });
        return;
    }
    if (key.wVKey != VK_SPACE || !List().checkBoxes) return;
    std::vector<int> rows = List().SelectedIndices();
    if (rows.empty()) {
        int focused = ListView_GetNextItem(window_, -1, LVNI_FOCUSED);
        if (focused >= 0) rows.push_back(focused);
    }
    if (rows.empty()) return;
    host_.run([this, rows] {
        ListView& list = List();
        for (int index : rows)
            if (index < list.Count()) list.UserToggleCheck(index);
        list.Click();
    });
}

void ListViewView::OnItemChanged(const NMLISTVIEW& change) {
    if (syncing_ || !(change.uChanged & LVIF_STATE)) return;
    bool was = (change.uOldState & LVIS_SELECTED) != 0;
    bool now = (change.uNewState & LVIS_SELECTED) != 0;
    if (was == now) return;
    ListView& list = List();
    if (change.iItem >= 0) {
        if (change.iItem < list.Count()) list.SetSelected(change.iItem, now);
        return;
    }
    list.BeginUpdate();  // -1: every row
    for (int i = 0; i < list.Count(); ++i) list.SetSelected(i, now);
    list.EndUpdate();
}

void ListViewView::OnRangeChanged(const NMLVODSTATECHANGE& change) {
    if (syncing_) return;
    bool was = (change.uOldState & LVIS_SELECTED) != 0;
    bool now = (change.uNewState & LVIS_SELECTED) != 0;
    if (was == now) return;
    ListView& list = List();
    list.BeginUpdate();
    for (int i = std::max(0, change.iFrom); i <= change.iTo && i < list.Count(); ++i)
        list.SetSelected(i, now);
    list.EndUpdate();
}

}  // namespace korvane::win32
