// A check box: a caption, a checked state and a click handler that runs after a user's toggle.
#pragma once

#include "controls/Control.h"

namespace korvane {

class CheckBox : public Control {
public:
    explicit CheckBox(std::string name) : Control(ControlKind::CheckBox, std::move(name)) {}

    bool Checked() const { return checked_; }
    // Sets the state without running the click handler (the program setting it).
    void SetChecked(bool checked) {
        if (checked_ == checked) return;
        checked_ = checked;
        Changed();
    }
    std::function<void()> onClick;
    // A user's click: toggles, then runs the handler.
    void Click() {
        SetChecked(!checked_);
        if (onClick) onClick();
    }

private:
    bool checked_ = false;
};

}  // namespace korvane
