// What the console tool does where the window would show a message: it keeps the text. Fleet tools
// take any output on the error stream as a failure, so the texts go there only when the command
// failed; otherwise they are listed in the document. It never waits for an answer: a question is
// answered No, so nothing happens that a person did not ask for on the command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace korvane::console {

class ConsoleDialogs final : public Dialogs {
public:
    void showMessage(const std::string& text) override { Keep("", text); }
    void messageBox(const std::string& text, const std::string& title, MessageIcon) override {
        Keep(title + ": ", text);
    }
    void information(const std::string& text) override { Keep("", text); }
    bool confirm(const std::string& text) override {
        Keep("", text + "\n(answered No: korvanec asks no questions)");
        return false;
    }
    void error(const std::string& text) override {
        ++errors_;
        Keep("error: ", text);
    }

    int Errors() const { return errors_; }
    const std::vector<std::string>& Messages() const { return messages_; }
    // Writes the kept texts to `err`, one per line.
    void WriteTo(std::ostream& err) const {
        for (const std::string& message : messages_) err << message << '\n';
    }

private:
    void Keep(const std::string& prefix, const std::string& text) { messages_.push_back(prefix + text); }

    std::vector<std::string> messages_;
    int errors_ = 0;
};

}  // namespace korvane::console
