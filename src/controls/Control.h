// The portable model behind every control of the window: its kind, place, caption, enabled state
// and a change notification for whoever renders it. Models are touched only on the UI thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace korvane {

enum class ControlKind { Button, CheckBox, Label, EditBox, Memo, ListBox, ListView, GroupBox, Bevel };

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// A picture from the platform's own stock, so that the program ships no image files.
enum class StockImage { Application, Information, Warning, Error, Question, Shield };

// How a control follows its parent when the window is resized.
enum class Anchor { TopLeft, Stretch, StretchWidth, StretchWidthBottom, Bottom };

class Control {
public:
    Control(ControlKind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) {
        if (caption_ == caption) return;
        caption_ = caption;
        Changed();
    }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) {
        if (enabled_ == enabled) return;
        enabled_ = enabled;
        Changed();
    }

    // Layout: position inside the parent (a page or a group box), in pixels at 96 DPI.
    Rect bounds;
    Anchor anchor = Anchor::TopLeft;
    Control* parent = nullptr;  // a group box or nothing (the page itself)

    // The renderer's hook: called after every change of the model's state.
    std::function<void(Control&)> onChanged;

protected:
    void Changed() {
        if (onChanged) onChanged(*this);
    }

private:
    ControlKind kind_;
    std::string name_;
    std::string caption_;
    bool enabled_ = true;
};

// A static frame with a caption around other controls.
class GroupBox : public Control {
public:
    explicit GroupBox(std::string name) : Control(ControlKind::GroupBox, std::move(name)) {}
};

// A raised line or frame with no behaviour.
class Bevel : public Control {
public:
    explicit Bevel(std::string name) : Control(ControlKind::Bevel, std::move(name)) {}
};

}  // namespace korvane
