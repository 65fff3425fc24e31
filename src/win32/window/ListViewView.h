// A virtual report list view (LVS_OWNERDATA) showing a ListView model: rows are asked for on demand,
// check marks are state images (unchecked, checked) that a click on the box or the space bar toggles
// through the model, selection is kept in step both ways, "rest" columns share the free width, and a
// click on a column header sorts the model when the list allows it (the header shows the order). In
// dark mode it draws the selection, the grid, the header and the check boxes in the palette's colours.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <string>
#include <vector>

#include "controls/ListView.h"
#include "win32/window/ControlView.h"
#include "win32/window/GdiHandles.h"

namespace korvane::win32 {

class ListViewView : public ControlView {
public:
    ListViewView(ListView& model, HWND parent, int id, ViewHost& host);
    ~ListViewView() override;

    void Render() override;
    LRESULT OnNotify(NMHDR* header) override;
    void OnResized() override;
    void OnDpiChanged() override;
    void OnColorsChanged() override;

private:
    ListView& List() const { return static_cast<ListView&>(model_); }
    void CreateColumns();
    void CreateCheckImages();
    void CreateSmallImages();
    void OnGetDispInfo(NMLVDISPINFOW& info);
    void OnClick(const NMITEMACTIVATE& click);
    void OnKeyDown(const NMLVKEYDOWN& key);
    void OnItemChanged(const NMLISTVIEW& change);
    void OnRangeChanged(const NMLVODSTATECHANGE& change);
    void SyncSelectionToWindow();
    void ShowFocusOn(int row);
    void OnFocus();
    void ShowSortArrow();
    bool Dark() const;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    void DrawGrid(HDC dc);
    static LRESULT CALLBACK HeaderProcedure(HWND header, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self);

    UniqueImageList checkImages_;
    UniqueImageList smallImages_;
    bool syncing_ = false;  // selection being set from the model: not a user's change
    int shownSortColumn_ = -1;
    bool shownDescending_ = false;
};

}  // namespace korvane::win32
