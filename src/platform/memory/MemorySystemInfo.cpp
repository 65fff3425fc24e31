// Text comparison of the in-memory system: letters compared without case, other bytes as they are.
#include "platform/memory/MemorySystemInfo.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace korvane {

namespace {
// Lower-case folding, so that "_" sorts before the letters as it does in the user's locale.
unsigned char FoldLower(char c) {
    return static_cast<unsigned char>(AsciiLower(c));
}
}  // namespace

int MemorySystemInfo::compareText(const std::string& a, const std::string& b) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = FoldLower(a[i]);
        unsigned char y = FoldLower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace korvane

namespace korvane {

namespace {

class MemoryNamedLock final : public NamedLock {
public:
    MemoryNamedLock(std::shared_ptr<std::set<std::string>> held, std::string name)
        : held_(std::move(held)), name_(std::move(name)) {}
    ~MemoryNamedLock() override { held_->erase(name_); }

private:
    std::shared_ptr<std::set<std::string>> held_;
    std::string name_;
};

}  // namespace

std::unique_ptr<NamedLock> MemorySystemInfo::lockNamed(const std::string& name, std::chrono::milliseconds) {
    if (!heldLocks_->insert(name).second) return nullptr;
    return std::make_unique<MemoryNamedLock>(heldLocks_, name);
}

bool MemorySystemInfo::LockHeld(const std::string& name) const {
    return heldLocks_->count(name) != 0;
}

}  // namespace korvane
