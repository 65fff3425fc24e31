// What the console tool does where the window would show a message: it writes the text to the error
// stream. It never waits for an answer: a question is answered No, so nothing happens that a person
// did not ask for on the command line.
#pragma once

#include <ostream>
#include <string>

#include "platform/Dialogs.h"

namespace korvane::console {

class ConsoleDialogs final : public Dialogs {
public:
    explicit ConsoleDialogs(std::ostream& err) : err_(err) {}

    void showMessage(const std::string& text) override { Write("", text); }
    void messageBox(const std::string& text, const std::string& title, MessageIcon) override {
        Write(title + ": ", text);
    }
    void information(const std::string& text) override { Write("", text); }
    bool confirm(const std::string& text) override {
        Write("", text + "\n(answered No: korvanec asks no questions)");
        return false;
    }
    void error(const std::string& text) override {
        ++errors_;
        Write("error: ", text);
    }

    int Errors() const { return errors_; }

private:
    void Write(const std::string& prefix, const std::string& text) { err_ << prefix << text << '\n'; }

    std::ostream& err_;
    int errors_ = 0;
};

}  // namespace korvane::console
