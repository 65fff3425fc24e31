// Recording of messages and the scripted answers of confirmations.
#include "platform/memory/MemoryDialogs.h"

#include <algorithm>

namespace korvane {

void MemoryDialogs::record(DialogRecord entry) {
    std::lock_guard lock(mutex_);
    records_.push_back(std::move(entry));
}

void MemoryDialogs::showMessage(const std::string& text) {
    record({DialogKind::Message, text, {}, MessageIcon::None, false});
}

void MemoryDialogs::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
    record({DialogKind::MessageBox, text, title, icon, false});
}

void MemoryDialogs::information(const std::string& text) {
    record({DialogKind::Information, text, {}, MessageIcon::Information, false});
}

void MemoryDialogs::error(const std::string& text) {
    record({DialogKind::Error, text, {}, MessageIcon::Error, false});
}

bool MemoryDialogs::confirm(const std::string& text) {
    std::lock_guard lock(mutex_);
    bool answer = defaultAnswer_;
    if (!script_.empty()) {
        answer = script_.front();
        script_.pop_front();
    }
    records_.push_back({DialogKind::Confirm, text, {}, MessageIcon::Question, answer});
    return answer;
}

void MemoryDialogs::ScriptAnswers(std::initializer_list<bool> answers) {
    std::lock_guard lock(mutex_);
    script_.insert(script_.end(), answers.begin(), answers.end());
}

void MemoryDialogs::SetDefaultAnswer(bool yes) {
    std::lock_guard lock(mutex_);
    defaultAnswer_ = yes;
}

std::size_t MemoryDialogs::UnusedAnswers() const {
    std::lock_guard lock(mutex_);
    return script_.size();
}

std::vector<DialogRecord> MemoryDialogs::Records() const {
    std::lock_guard lock(mutex_);
    return records_;
}

std::vector<std::string> MemoryDialogs::Texts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const DialogRecord& r : records_) texts.push_back(r.text);
    return texts;
}

std::size_t MemoryDialogs::Count(DialogKind kind) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(records_.begin(), records_.end(),
                                                  [&](const DialogRecord& r) { return r.kind == kind; }));
}

void MemoryDialogs::Clear() {
    std::lock_guard lock(mutex_);
    records_.clear();
    script_.clear();
}

}  // namespace korvane
