// The rows of a list view: sorted insertion (stable for equal rows), sorting by a column, check marks,
// sub-items, selection and the batching of change notifications. Rendering is left to the Win32 layer.
// Rows live in blocks of at most kMaxBlock, so an insertion moves at most one block's rows plus one
// index per block instead of every row behind it.
#include "controls/ListView.h"

#include <algorithm>
#include <stdexcept>

namespace korvane {

namespace {

[[noreturn]] void ThrowIndex(int index) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

// ---- storage ----

template <class Fn>
void ListView::ForEach(Fn fn) {
    int index = 0;
    for (auto& block : blocks_)
        for (ListItem& row : block) fn(index++, row);
}

template <class Fn>
void ListView::ForEach(Fn fn) const {
    int index = 0;
    for (const auto& block : blocks_)
        for (const ListItem& row : block) fn(index++, row);
}

ListItem& ListView::At(int index) {
    // The last block whose first row is at or before `index`.
    auto block = std::upper_bound(starts_.begin(), starts_.end(), index) - starts_.begin() - 1;
    return blocks_[static_cast<size_t>(block)]
                  [static_cast<size_t>(index - starts_[static_cast<size_t>(block)])];
}

const ListItem& ListView::Item(int index) const {
    if (index < 0 || index >= count_) ThrowIndex(index);
    return const_cast<ListView*>(this)->At(index);
}

ListItem& ListView::MutableItem(int index) {
    if (index < 0 || index >= count_) ThrowIndex(index);
    snapshotValid_ = false;
    return At(index);
}

const std::vector<ListItem>& ListView::Items() const {
    if (!snapshotValid_) {
        snapshot_.clear();
        snapshot_.reserve(static_cast<size_t>(count_));
        ForEach([this](int, const ListItem& row) { snapshot_.push_back(row); });
        snapshotValid_ = true;
    }
    return snapshot_;
}

void ListView::Restart(size_t fromBlock) {
    starts_.resize(blocks_.size());
    for (size_t b = fromBlock; b < blocks_.size(); ++b)
        starts_[b] = b == 0 ? 0 : starts_[b - 1] + static_cast<int>(blocks_[b - 1].size());
}

void ListView::Insert(int index, ListItem item) {
    snapshotValid_ = false;
    if (blocks_.empty()) blocks_.emplace_back();
    size_t block = blocks_.size() - 1;
    if (index < count_)
        block = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), index) -
                                    starts_.begin() - 1);
    else
        starts_.resize(blocks_.size());  // a first block has just been made
    auto& rows = blocks_[block];
    rows.insert(rows.begin() + (index - starts_[block]), std::move(item));
    if (rows.size() > kMaxBlock) {
        // Split in halves so that both can grow again before the next split.
        std::vector<ListItem> upper(std::make_move_iterator(rows.begin() + kMaxBlock / 2),
                                    std::make_move_iterator(rows.end()));
        rows.erase(rows.begin() + kMaxBlock / 2, rows.end());
        blocks_.insert(blocks_.begin() + static_cast<long>(block) + 1, std::move(upper));
    }
    ++count_;
    Restart(block);
}

ListItem ListView::Take(int index) {
    snapshotValid_ = false;
    size_t block =
        static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), index) - starts_.begin() - 1);
    auto& rows = blocks_[block];
    auto at = rows.begin() + (index - starts_[block]);
    ListItem row = std::move(*at);
    rows.erase(at);
    if (rows.empty()) blocks_.erase(blocks_.begin() + static_cast<long>(block));
    --count_;
    Restart(block);
    return row;
}

void ListView::Rechunk(std::vector<ListItem> rows) {
    snapshotValid_ = false;
    blocks_.clear();
    for (size_t at = 0; at < rows.size(); at += kMaxBlock / 2) {
        size_t end = std::min(rows.size(), at + kMaxBlock / 2);
        blocks_.emplace_back(std::make_move_iterator(rows.begin() + static_cast<long>(at)),
                             std::make_move_iterator(rows.begin() + static_cast<long>(end)));
    }
    count_ = static_cast<int>(rows.size());
    Restart(0);
}

// ---- notifications ----

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

// ---- rows ----

int ListView::CompareRows(const ListItem& a, const ListItem& b) const {
    if (sortColumn_ < 0) return sortComparator(a.caption, b.caption);
    int result = 0;
    const auto column = static_cast<size_t>(sortColumn_);
    if (column < columns.size() && columns[column].compare) {
        result = columns[column].compare(a, b);
    } else {
        auto text = [column](const ListItem& row) -> const std::string& {
            static const std::string kNone;
            if (column == 0) return row.caption;
            return column <= row.subItems.size() ? row.subItems[column - 1] : kNone;
        };
        const auto& compareText = textComparator ? textComparator : sortComparator;
        result = compareText ? compareText(text(a), text(b)) : text(a).compare(text(b));
    }
    return sortDescending_ ? -result : result;
}

int ListView::SortedInsertPosition(const ListItem& item) const {
    // After the last row that compares equal, so that equal rows keep arrival order: first the block
    // whose last row sorts after the new one, then the place inside it.
    auto sortsAfter = [this, &item](const ListItem& row) { return CompareRows(item, row) < 0; };
    size_t low = 0, high = blocks_.size();
    while (low < high) {
        size_t middle = (low + high) / 2;
        if (sortsAfter(blocks_[middle].back()))
            high = middle;
        else
            low = middle + 1;
    }
    if (low == blocks_.size()) return count_;
    const auto& rows = blocks_[low];
    auto at =
        std::partition_point(rows.begin(), rows.end(), [&](const ListItem& row) { return !sortsAfter(row); });
    return starts_[low] + static_cast<int>(at - rows.begin());
}

void ListView::ClearOtherSelections(int keep) {
    ForEach([keep](int index, ListItem& row) {
        if (index != keep) row.selected = false;
    });
}

int ListView::Add(ListItem item) {
    int index = KeepsOrder() ? SortedInsertPosition(item) : count_;
    bool selected = item.selected;
    Insert(index, std::move(item));
    if (selected && !multiSelect) ClearOtherSelections(index);
    Notify();
    return index;
}

void ListView::Delete(int index) {
    if (index < 0 || index >= count_) ThrowIndex(index);
    Take(index);
    Notify();
}

void ListView::Clear() {
    if (count_ == 0) return;
    blocks_.clear();
    starts_.clear();
    count_ = 0;
    snapshotValid_ = false;
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
    ForEach([&](int, ListItem& row) {
        changed = changed || row.checked != checked;
        row.checked = checked;
    });
    if (!changed) return;
    snapshotValid_ = false;
    Notify();
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
    MutableItem(index).caption = caption;
    if (!KeepsOrder()) {
        Notify();
        return index;
    }
    // Take the row out and put it back after the last row whose caption compares equal to its new one.
    ListItem moving = Take(index);
    int target = SortedInsertPosition(moving);
    Insert(target, std::move(moving));
    Notify();
    return target;
}

void ListView::Sort() {
    if (!KeepsOrder() || count_ == 0) return;
    Reorder();
}

void ListView::SortByColumn(int column, bool descending) {
    sortColumn_ = column < 0 ? -1 : column;
    sortDescending_ = sortColumn_ >= 0 && descending;
    if (count_ == 0 || !KeepsOrder()) {
        Notify();  // the header shows the new order even for an empty list
        return;
    }
    Reorder();
}

void ListView::ColumnClick(int column) {
    SortByColumn(column, column == sortColumn_ && !sortDescending_);
}

void ListView::Reorder() {
    std::vector<std::pair<ListItem, int>> rows;
    rows.reserve(static_cast<size_t>(count_));
    ForEach([&](int index, ListItem& row) { rows.emplace_back(std::move(row), index); });
    std::stable_sort(rows.begin(), rows.end(),
                     [this](const auto& a, const auto& b) { return CompareRows(a.first, b.first) < 0; });
    std::vector<int> order;
    std::vector<ListItem> sorted;
    order.reserve(rows.size());
    sorted.reserve(rows.size());
    for (auto& [row, index] : rows) {
        sorted.push_back(std::move(row));
        order.push_back(index);
    }
    Rechunk(std::move(sorted));
    Notify();
    if (onReordered) onReordered(order);
}

// ---- selection ----

void ListView::SetSelected(int index, bool selected) {
    ListItem& row = MutableItem(index);
    bool changed = row.selected != selected;
    row.selected = selected;
    if (selected && !multiSelect) {
        ForEach([&](int other, ListItem& item) {
            changed = changed || (other != index && item.selected);
            if (other != index) item.selected = false;
        });
    }
    if (!changed) return;
    Notify();
    SelectionChanged();
}

void ListView::SelectionChanged() {
    if (onSelectionChanged) onSelectionChanged();
}

void ListView::ClearSelection() {
    bool changed = false;
    ForEach([&](int, ListItem& row) {
        changed = changed || row.selected;
        row.selected = false;
    });
    if (!changed) return;
    snapshotValid_ = false;
    Notify();
    SelectionChanged();
}

int ListView::FirstSelected() const {
    int first = -1;
    ForEach([&](int index, const ListItem& row) {
        if (first < 0 && row.selected) first = index;
    });
    return first;
}

std::vector<int> ListView::SelectedIndices() const {
    std::vector<int> result;
    ForEach([&](int index, const ListItem& row) {
        if (row.selected) result.push_back(index);
    });
    return result;
}

}  // namespace korvane
