// A page of the window (a tab sheet with hidden tabs) and the page control that shows one at a time.
// A page lists its controls in creation order so that the renderer can build them generically.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/Control.h"

namespace korvane {

class Page {
public:
    explicit Page(std::string name) : name_(std::move(name)) {}
    virtual ~Page() = default;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    const std::string& Name() const { return name_; }
    const std::vector<Control*>& Controls() const { return controls_; }

protected:
    // Registers a control of this page with its place; `parent` is a group box of the page or null.
    template <class T>
    T& Place(T& control, Rect bounds, Control* parent = nullptr, Anchor anchor = Anchor::TopLeft) {
        control.bounds = bounds;
        control.parent = parent;
        control.anchor = anchor;
        controls_.push_back(&control);
        return control;
    }

private:
    std::string name_;
    std::vector<Control*> controls_;
};

class PageControl {
public:
    void AddPage(Page& page) { pages_.push_back(&page); }
    const std::vector<Page*>& Pages() const { return pages_; }
    Page* ActivePage() const { return active_; }
    void SetActivePage(Page& page) {
        if (active_ == &page) return;
        active_ = &page;
        if (onChanged) onChanged();
    }
    std::function<void()> onChanged;

private:
    std::vector<Page*> pages_;
    Page* active_ = nullptr;
};

}  // namespace korvane
