// A single-line edit box and a multi-line memo; the text is the caption.
#pragma once

#include <string>
#include <vector>

#include "controls/Control.h"

namespace korvane {

class EditBox : public Control {
public:
    explicit EditBox(std::string name) : Control(ControlKind::EditBox, std::move(name)) {}
    const std::string& Text() const { return Caption(); }
    // Sets the text without running the change handler (the program setting it).
    void SetText(const std::string& text) { SetCaption(text); }
    // After the user's typing changed the text.
    std::function<void()> onChange;
    // What the user's typing does: the model takes the text, then the handler runs.
    void UserSetText(const std::string& text) {
        if (text == Text()) return;
        SetText(text);
        if (onChange) onChange();
    }
};

class Memo : public Control {
public:
    explicit Memo(std::string name) : Control(ControlKind::Memo, std::move(name)) {}
    const std::vector<std::string>& Lines() const { return lines_; }
    // The lines joined by CR LF, as the window shows them.
    std::string Text() const {
        std::string text;
        for (size_t i = 0; i < lines_.size(); ++i) text += (i ? "\r\n" : "") + lines_[i];
        return text;
    }
    void SetLines(std::vector<std::string> lines) {
        lines_ = std::move(lines);
        Changed();
    }
    bool readOnly = true;

private:
    std::vector<std::string> lines_;
};

}  // namespace korvane
