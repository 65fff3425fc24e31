// A report-style list: rows of caption + sub-items + check mark + image + an optional hidden value.
// Optionally kept sorted by caption with an injected comparator; rows with equal captions keep
// their arrival order. The Win32 list view shows it virtually, so the rows live only here.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/Control.h"

namespace korvane {

struct ListColumn {
    std::string title;
    int width = 100;  // pixels; RestWidth takes what the other columns leave
    bool centred = false;
    bool fixedWidth = false;  // the user cannot widen it (hidden data columns)
    static constexpr int RestWidth = -1;
};

struct ListItem {
    std::string caption;
    std::vector<std::string> subItems;
    bool checked = false;
    int imageIndex = -1;
    std::string data;  // hidden per-row value, never shown
    bool selected = false;
};

class ListView : public Control {
public:
    explicit ListView(std::string name) : Control(ControlKind::ListView, std::move(name)) {}

    // Options, set once when the page is built.
    std::vector<ListColumn> columns;
    bool checkBoxes = true;
    bool gridLines = true;
    bool rowSelect = true;
    bool multiSelect = false;
    // Set to keep rows sorted by caption (ascending by the comparator's answer).
    std::function<int(const std::string&, const std::string&)> sortComparator;

    int Count() const { return static_cast<int>(items_.size()); }
    const ListItem& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
    const std::vector<ListItem>& Items() const { return items_; }

    // Adds a row at the end, or at its sorted place; returns its index.
    int Add(ListItem item);
    void Delete(int index);
    void Clear();

    bool Checked(int index) const { return Item(index).checked; }
    void SetChecked(int index, bool checked);
    void SetAllChecked(bool checked);
    // Sub-item text; empty when the row has fewer sub-items.
    std::string SubItem(int index, int subIndex) const;
    void SetSubItem(int index, int subIndex, const std::string& text);
    // Sets a row's caption and, in a sorted list, moves it to its sorted place; returns its new index.
    int SetItemCaption(int index, const std::string& caption);

    bool Selected(int index) const { return Item(index).selected; }
    void SetSelected(int index, bool selected);  // in a single-selection list, clears the others
    int FirstSelected() const;                   // -1 when none
    std::vector<int> SelectedIndices() const;

    // Changes inside an update raise one notification at its end.
    void BeginUpdate() { ++updateDepth_; }
    void EndUpdate();

    // A user's click on a row or its check box; the renderer changes the model first.
    std::function<void()> onClick;
    void Click() {
        if (onClick) onClick();
    }
    // A user's toggle of a row's check box (space bar or click on the box).
    void UserToggleCheck(int index) { SetChecked(index, !Checked(index)); }

private:
    void Notify();
    int SortedInsertPosition(const std::string& caption) const;

    std::vector<ListItem> items_;
    int updateDepth_ = 0;
    bool pendingChange_ = false;
};

}  // namespace korvane
