// Key Name formatting and parsing (see KeyName.h).
#include "registry/KeyName.h"

#include "platform/AsciiCase.h"
#include "registry/RootKeys.h"

namespace korvane {

KeyName KeyName::Key(HKey root, std::string_view keyPath) {
    return KeyName{root, BackendPath(keyPath), std::nullopt};
}

KeyName KeyName::Value(HKey root, std::string_view keyPath, std::string valueName) {
    return KeyName{root, BackendPath(keyPath), std::move(valueName)};
}

std::string KeyName::ParentPath() const {
    if (valueName) return keyPath;
    const size_t last = keyPath.rfind('\\');
    return last == std::string::npos ? std::string() : keyPath.substr(0, last);
}

std::string KeyName::LastPart() const {
    if (valueName) return *valueName;
    const size_t last = keyPath.rfind('\\');
    return last == std::string::npos ? keyPath : keyPath.substr(last + 1);
}

std::string KeyName::Text() const {
    std::string text = RootKeyName(root);
    if (!keyPath.empty()) text += "\\" + keyPath;
    if (valueName) text += "\\" + *valueName;
    return text;
}

KeyName KeyName::ParseKey(std::string_view text) {
    const size_t slash = text.find('\\');
    const std::string rootName(text.substr(0, slash));
    const std::string_view path = slash == std::string_view::npos ? std::string_view() : text.substr(slash);
    return Key(RootKeyFromName(rootName), path);
}

std::string BackendPath(std::string_view keyPath) {
    while (!keyPath.empty() && keyPath.front() == '\\') keyPath.remove_prefix(1);
    while (!keyPath.empty() && keyPath.back() == '\\') keyPath.remove_suffix(1);
    return std::string(keyPath);
}

std::string FoldCase(std::string_view name) {
    return LowerAscii(name);
}

std::string KeyParentPath(const std::string& keyName) {
    size_t first = keyName.find('\\');
    size_t last = keyName.rfind('\\');
    if (first == std::string::npos || first == last) return {};
    return keyName.substr(first, last - first);
}

std::string LastPathPart(const std::string& keyName) {
    size_t last = keyName.rfind('\\');
    return last == std::string::npos ? keyName : keyName.substr(last + 1);
}

}  // namespace korvane
