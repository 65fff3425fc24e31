// A list box of texts with one selected item (-1 for none).
#pragma once

#include <vector>

#include "controls/Control.h"

namespace korvane {

class ListBox : public Control {
public:
    explicit ListBox(std::string name) : Control(ControlKind::ListBox, std::move(name)) {}

    const std::vector<std::string>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    void Add(const std::string& item) {
        items_.push_back(item);
        Changed();
    }
    void Clear() {
        if (items_.empty() && selected_ == -1) return;
        items_.clear();
        selected_ = -1;
        Changed();
    }
    void Delete(int index) {
        if (index < 0 || index >= Count()) return;
        items_.erase(items_.begin() + index);
        if (selected_ == index)
            selected_ = -1;
        else if (selected_ > index)
            --selected_;
        Changed();
    }
    bool Contains(const std::string& item) const {
        for (const auto& i : items_)
            if (i == item) return true;
        return false;
    }
    // The position of the first item equal to `item`, or -1.
    int IndexOf(const std::string& item) const {
        for (int i = 0; i < Count(); ++i)
            if (items_[static_cast<size_t>(i)] == item) return i;
        return -1;
    }
    int ItemIndex() const { return selected_; }
    void SetItemIndex(int index) {
        int next = (index >= 0 && index < Count()) ? index : -1;
        if (next == selected_) return;
        selected_ = next;
        Changed();
    }
    std::function<void()> onSelect;  // after a user's selection
    // A user's selection: the model changes first, then the handler runs.
    void UserSelect(int index) {
        SetItemIndex(index);
        if (onSelect) onSelect();
    }

private:
    std::vector<std::string> items_;
    int selected_ = -1;
};

}  // namespace korvane
