// Messages to the user in memory: each is recorded in order with its kind, text, title and icon, and
// confirmations are answered from a script the test sets (then from a default answer).
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace korvane {

enum class DialogKind { Message, MessageBox, Information, Confirm, Error };

struct DialogRecord {
    DialogKind kind = DialogKind::Message;
    std::string text;
    std::string title;  // only message boxes have their own title
    MessageIcon icon = MessageIcon::None;
    bool answer = false;  // what a confirmation answered
};

class MemoryDialogs : public Dialogs {
public:
    void showMessage(const std::string& text) override;
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    void information(const std::string& text) override;
    bool confirm(const std::string& text) override;
    void error(const std::string& text) override;

    // The next confirmations answer these, in order; after them the default answer (Yes) is given.
    void ScriptAnswers(std::initializer_list<bool> answers);
    void SetDefaultAnswer(bool yes);
    std::size_t UnusedAnswers() const;

    std::vector<DialogRecord> Records() const;
    std::vector<std::string> Texts() const;  // every text in order, whatever its kind
    std::size_t Count(DialogKind kind) const;
    void Clear();

private:
    void record(DialogRecord entry);

    mutable std::mutex mutex_;
    std::vector<DialogRecord> records_;
    std::deque<bool> script_;
    bool defaultAnswer_ = true;
};

}  // namespace korvane
