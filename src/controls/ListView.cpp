// The rows of a list view: sorted insertion (stable for equal captions), check marks, sub-items,
// selection and the batching of change notifications. Rendering is left to the Win32 layer.
#include "controls/ListView.h"

#include <algorithm>
#include <stdexcept>

namespace korvane {

namespace {

[[noreturn]] void ThrowIndex(int index) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

ListItem& ListView::MutableItem(int index) {
    if (index < 0 || index >= Count()) ThrowIndex(index);
    return items_[static_cast<size_t>(index)];
}

const ListItem& ListView::Item(int index) const {
    if (index < 0 || index >= Count()) ThrowIndex(index);
    return items_[static_cast<size_t>(index)];
}

void ListView::Notify() {
    if (updateDepth_ > 0) {
        pendingChange_ = true;
        return;
    }
    Changed();
}

void ListView::EndUpdate() {
    if (updateDepth_ == 0) return;
    if (--updateDepth_ > 0 || !pendingChange_) return;
    pendingChange_ = false;
    Changed();
}

int ListView::SortedInsertPosition(const std::string& caption) const {
    // After the last row whose caption compares equal, so that equal captions keep arrival order.
    auto at = std::upper_bound(items_.begin(), items_.end(), caption,
                               [this](const std::string& value, const ListItem& row) {
                                   return sortComparator(value, row.caption) < 0;
                               });
    return static_cast<int>(at - items_.begin());
}

void ListView::ClearOtherSelections(int keep) {
    for (int i = 0; i < Count(); ++i)
        if (i != keep) items_[static_cast<size_t>(i)].selected = false;
}

int ListView::Add(ListItem item) {
    int index = sortComparator ? SortedInsertPosition(item.caption) : Count();
    bool selected = item.selected;
    items_.insert(items_.begin() + index, std::move(item));
    if (selected && !multiSelect) ClearOtherSelections(index);
    Notify();
    return index;
}

void ListView::Delete(int index) {
    if (index < 0 || index >= Count()) ThrowIndex(index);
    items_.erase(items_.begin() + index);
    Notify();
}

void ListView::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Notify();
}

void ListView::SetChecked(int index, bool checked) {
    ListItem& row = MutableItem(index);
    if (row.checked == checked) return;
    row.checked = checked;
    Notify();
}

void ListView::SetAllChecked(bool checked) {
    bool changed = false;
    for (ListItem& row : items_) {
        changed = changed || row.checked != checked;
        row.checked = checked;
    }
    if (changed) Notify();
}

std::string ListView::SubItem(int index, int subIndex) const {
    const ListItem& row = Item(index);
    if (subIndex < 0 || subIndex >= static_cast<int>(row.subItems.size())) return {};
    return row.subItems[static_cast<size_t>(subIndex)];
}

void ListView::SetSubItem(int index, int subIndex, const std::string& text) {
    ListItem& row = MutableItem(index);
    if (subIndex < 0) ThrowIndex(subIndex);
    if (subIndex >= static_cast<int>(row.subItems.size()))
        row.subItems.resize(static_cast<size_t>(subIndex) + 1);
    if (row.subItems[static_cast<size_t>(subIndex)] == text) return;
    row.subItems[static_cast<size_t>(subIndex)] = text;
    Notify();
}

void ListView::SetImageIndex(int index, int imageIndex) {
    ListItem& row = MutableItem(index);
    if (row.imageIndex == imageIndex) return;
    row.imageIndex = imageIndex;
    Notify();
}

void ListView::SetData(int index, const std::string& data) {
    MutableItem(index).data = data;  // never shown: no notification
}

int ListView::SetItemCaption(int index, const std::string& caption) {
    ListItem& row = MutableItem(index);
    row.caption = caption;
    if (!sortComparator) {
        Notify();
        return index;
    }
    // Take the row out and put it back after the last row whose caption compares equal to its new one.
    ListItem moving = std::move(row);
    items_.erase(items_.begin() + index);
    int target = SortedInsertPosition(moving.caption);
    items_.insert(items_.begin() + target, std::move(moving));
    Notify();
    return target;
}

void ListView::Sort() {
    if (!sortComparator) return;
    std::stable_sort(items_.begin(), items_.end(), [this](const ListItem& a, const ListItem& b) {
        return sortComparator(a.caption, b.caption) < 0;
    });
    Notify();
}

void ListView::SetSelected(int index, bool selected) {
    ListItem& row = MutableItem(index);
    bool changed = row.selected != selected;
    row.selected = selected;
    if (selected && !multiSelect) {
        for (const ListItem& other : items_) changed = changed || (other.selected && &other != &row);
        ClearOtherSelections(index);
    }
    if (changed) Notify();
}

void ListView::ClearSelection() {
    bool changed = false;
    for (ListItem& row : items_) {
        changed = changed || row.selected;
        row.selected = false;
    }
    if (changed) Notify();
}

int ListView::FirstSelected() const {
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)].selected) return i;
    return -1;
}

std::vector<int> ListView::SelectedIndices() const {
    std::vector<int> result;
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)].selected) result.push_back(i);
    return result;
}

}  // namespace korvane
