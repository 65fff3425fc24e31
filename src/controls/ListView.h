// A report-style list: rows of caption + sub-items + check mark + image + an optional hidden value.
// Optionally kept sorted by caption with an injected comparator, or by a column the user chose with
// a click on its header; rows that compare equal keep their arrival order. The Win32 list view shows
// it virtually, so the rows live only here.
// Rows are kept in blocks so that inserting into a sorted list of 100,000 rows stays cheap.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <vector>

#include "controls/Control.h"

namespace korvane {

struct ListItem;

struct ListColumn {
    std::string title;
    int width = 100;  // pixels; kRestWidth takes what the other columns leave
    bool centred = false;
    bool fixedWidth = false;  // the user cannot widen it (hidden data columns)
    // Orders two rows when the list is sorted by this column (<0, 0, >0), for columns whose text does
    // not sort as their meaning does (sizes, dates); unset: by the column's text.
    std::function<int(const ListItem&, const ListItem&)> compare{};
    static constexpr int kRestWidth = -1;
};

// Every member has an initializer so that rows can be written as partial aggregates
// (ListItem{caption, {sub-items}, checked}) without -Wmissing-field-initializers.
struct ListItem {
    std::string caption{};
    std::vector<std::string> subItems{};
    bool checked = false;
    int imageIndex = -1;
    std::string data{};  // hidden per-row value, never shown
    bool selected = false;
    // Hidden structure a page keeps with the row (the registry entry a finding names), never shown.
    std::any tag{};
};

// The row's tag as a T; nullptr when the row carries none, or one of another type.
template <class T>
const T* TagOf(const ListItem& row) {
    return std::any_cast<T>(&row.tag);
}

class ListView : public Control {
public:
    explicit ListView(std::string name) : Control(ControlKind::ListView, std::move(name)) {}

    // Options, set once when the page is built.
    std::vector<ListColumn> columns;
    bool checkBoxes = true;
    bool gridLines = true;
    bool rowSelect = true;
    bool multiSelect = false;
    // The small pictures a row's imageIndex refers to (the platform's stock icons); none when empty.
    std::vector<StockImage> smallImages;
    // Set to keep rows sorted by caption (ascending by the comparator's answer).
    std::function<int(const std::string&, const std::string&)> sortComparator;
    // Set to let a click on a column header sort the rows by that column.
    bool sortOnHeaderClick = false;
    // Compares column texts for a sort by column; unset: sortComparator, else byte order.
    std::function<int(const std::string&, const std::string&)> textComparator;

    // Rows are addressed by index; an index out of range throws std::out_of_range with the text
    // "List index out of bounds (i)", so that a handler's error box names it.
    int Count() const { return count_; }
    const ListItem& Item(int index) const;
    // A copy of all rows, rebuilt after a change: for reading a whole list at once, not for loops.
    const std::vector<ListItem>& Items() const;

    // Adds a row at the end, or at its sorted place (after every row with an equal caption);
    // returns its index. A selected row in a single-selection list clears the other selections.
    int Add(ListItem item);
    void Delete(int index);
    void Clear();

    bool Checked(int index) const { return Item(index).checked; }
    void SetChecked(int index, bool checked);
    void SetAllChecked(bool checked);
    // Sub-item text; empty when the row has fewer sub-items.
    std::string SubItem(int index, int subIndex) const;
    void SetSubItem(int index, int subIndex, const std::string& text);
    void SetImageIndex(int index, int imageIndex);
    void SetData(int index, const std::string& data);  // the hidden value; not a visible change
    // The row's tag as a T (nullptr when it carries none of that type); valid until the list changes.
    template <class T>
    const T* Tag(int index) const {
        return TagOf<T>(Item(index));
    }
    // Sets a row's caption and, in a sorted list, moves it to its sorted place (after the rows with
    // an equal caption); returns its new index.
    int SetItemCaption(int index, const std::string& caption);
    // Sorts the rows again (stable); for a comparator set after rows were added.
    void Sort();

    // The column the rows are sorted by (0 is the caption), -1 while none was chosen.
    int SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return sortDescending_; }
    // Sorts the rows by a column (stable). Rows added later take their place in that order, also
    // after Clear, until another column is chosen. Check marks and hidden values travel with the rows.
    void SortByColumn(int column, bool descending);
    // A user's click on a column header: sorts by that column ascending, or descending when the rows
    // are already sorted ascending by it.
    void ColumnClick(int column);
    // After a sort moved rows: order[i] is the index that row i had before, so that a page keeping
    // data per row index can follow.
    std::function<void(const std::vector<int>& order)> onReordered;

    bool Selected(int index) const { return Item(index).selected; }
    void SetSelected(int index, bool selected);  // in a single-selection list, clears the others
    void ClearSelection();
    int FirstSelected() const;  // -1 when none
    std::vector<int> SelectedIndices() const;

    // Changes inside an update raise one notification at its end (nested updates: the outermost
    // end); an update without changes raises none.
    void BeginUpdate() { ++updateDepth_; }
    void EndUpdate();
    bool Updating() const { return updateDepth_ > 0; }

    // A user's click on a row or its check box; the renderer changes the model first.
    std::function<void()> onClick;
    void Click() {
        if (onClick) onClick();
    }
    // Called after the rows that are selected changed (by the user or the program).
    std::function<void()> onSelectionChanged;
    // What Ctrl+C in the list copies; nothing is copied without it or when it gives the empty text.
    std::function<std::string()> copyText;

    // A user's toggle of a row's check box (space bar or click on the box).
    void UserToggleCheck(int index) { SetChecked(index, !Checked(index)); }

private:
    void Notify();
    ListItem& MutableItem(int index);
    ListItem& At(int index);  // no range check
    bool KeepsOrder() const { return sortColumn_ >= 0 || static_cast<bool>(sortComparator); }
    int CompareRows(const ListItem& a, const ListItem& b) const;
    int SortedInsertPosition(const ListItem& item) const;
    void Reorder();
    void ClearOtherSelections(int keep);
    void SelectionChanged();
    void Insert(int index, ListItem item);
    ListItem Take(int index);
    void Rechunk(std::vector<ListItem> rows);
    void Restart(size_t fromBlock);
    template <class Fn>
    void ForEach(Fn fn);
    template <class Fn>
    void ForEach(Fn fn) const;

    // Rows in order, cut into blocks of at most kMaxBlock; no block is empty. starts_[b] is the
    // index of the first row of block b.
    static constexpr size_t kMaxBlock = 512;
    std::vector<std::vector<ListItem>> blocks_;
    std::vector<int> starts_;
    int count_ = 0;
    mutable std::vector<ListItem> snapshot_;
    mutable bool snapshotValid_ = true;
    int updateDepth_ = 0;
    bool pendingChange_ = false;
    int sortColumn_ = -1;
    bool sortDescending_ = false;
};

// Keeps a list's repainting suspended for a scope, also when a handler or a listing stops with an error.
class ListUpdate {
public:
    explicit ListUpdate(ListView& list) : list_(list) { list_.BeginUpdate(); }
    ~ListUpdate() { list_.EndUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

private:
    ListView& list_;
};

}  // namespace korvane
