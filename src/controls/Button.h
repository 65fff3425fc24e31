// A push button: a caption, an enabled state and a click handler.
#pragma once

#include "controls/Control.h"

namespace korvane {

class Button : public Control {
public:
    explicit Button(std::string name) : Control(ControlKind::Button, std::move(name)) {}

    std::function<void()> onClick;
    // What a user's click does; handlers may throw (the caller shows the error box).
    void Click() {
        if (onClick) onClick();
    }
};

// A text label.
class Label : public Control {
public:
    explicit Label(std::string name) : Control(ControlKind::Label, std::move(name)) {}
};

}  // namespace korvane
