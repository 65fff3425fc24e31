// The planned deletions of a batch (see PendingDeletions.h).
#include "undo/PendingDeletions.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace korvane {

namespace {

// The root's number, "|", then the key path without outer backslashes, folded as registry names are
// compared (A-Z only, as FoldCase).
std::string KeyId(HKey root, std::string_view keyPath) {
    while (!keyPath.empty() && keyPath.front() == '\\') keyPath.remove_prefix(1);
    while (!keyPath.empty() && keyPath.back() == '\\') keyPath.remove_suffix(1);
    std::string id(9 + keyPath.size(), '|');
    for (int digit = 0; digit < 8; ++digit)
        id[static_cast<size_t>(digit)] = "0123456789abcdef"[(root >> (28 - 4 * digit)) & 0xF];
    std::transform(keyPath.begin(), keyPath.end(), id.begin() + 9, AsciiLower);
    return id;
}

void AppendValueName(std::string& id, std::string_view name) {
    const size_t at = id.size() + 1;
    id.resize(at + name.size(), '\0');
    std::transform(name.begin(), name.end(), id.begin() + static_cast<std::ptrdiff_t>(at), AsciiLower);
}

int Earliest(int a, int b) {
    if (a < 0) return b;
    if (b < 0) return a;
    return std::min(a, b);
}

}  // namespace

int PendingDeletions::AddKey(HKey root, const std::string& keyPath) {
    std::string id = KeyId(root, keyPath);
    const int depth = static_cast<int>(std::count(id.begin(), id.end(), '\\'));
    shallowest_ = keys_.empty() ? depth : std::min(shallowest_, depth);
    keys_.emplace(std::move(id), count_);
    return count_++;
}

int PendingDeletions::AddValue(HKey root, const std::string& keyPath, const std::string& valueName) {
    std::string id = KeyId(root, keyPath);
    keysWithValues_.insert(id);
    AppendValueName(id, valueName);
    values_.emplace(std::move(id), count_);
    return count_++;
}

int PendingDeletions::KeyTakenBy(HKey root, const std::string& keyPath) const {
    if (keys_.empty()) return -1;
    const std::string id = KeyId(root, keyPath);
    const std::string_view whole(id);
    const size_t rootEnd = whole.find('|') + 1;
    int found = -1;
    // The key itself and every key above it, down to the shallowest key planned (none above can be).
    int depth = static_cast<int>(std::count(whole.begin(), whole.end(), '\\'));
    size_t end = whole.size();
    while (end > rootEnd && depth >= shallowest_) {
        auto hit = keys_.find(whole.substr(0, end));
        if (hit != keys_.end()) found = Earliest(found, hit->second);
        const size_t slash = whole.rfind('\\', end - 1);
        if (slash == std::string_view::npos || slash < rootEnd) break;
        end = slash;
        --depth;
    }
    return found;
}

int PendingDeletions::ValueItselfTakenBy(HKey root, const std::string& keyPath,
                                         const std::string& valueName) const {
    if (values_.empty()) return -1;
    std::string id = KeyId(root, keyPath);
    AppendValueName(id, valueName);
    auto hit = values_.find(id);
    return hit == values_.end() ? -1 : hit->second;
}

bool PendingDeletions::HasValuesIn(HKey root, const std::string& keyPath) const {
    return !keysWithValues_.empty() && keysWithValues_.count(KeyId(root, keyPath)) != 0;
}

int PendingDeletions::ValueTakenBy(HKey root, const std::string& keyPath,
                                   const std::string& valueName) const {
    return Earliest(KeyTakenBy(root, keyPath), ValueItselfTakenBy(root, keyPath, valueName));
}

}  // namespace korvane
