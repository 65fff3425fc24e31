// Scoped registry keys and the path helpers (see RegistryKey.h).
#include "registry/RegistryKey.h"

namespace korvane {

long ScopedKey::Open(HKey parent, const std::string& path, std::uint32_t accessMask) {
    Close();
    HKey key = 0;
    long result = registry_.openKey(parent, path, accessMask, key);
    if (result == status::Success) key_ = key;
    return result;
}

long ScopedKey::Create(HKey parent, const std::string& path, std::uint32_t accessMask) {
    Close();
    HKey key = 0;
    long result = registry_.createKey(parent, path, accessMask, key);
    if (result == status::Success) key_ = key;
    return result;
}

void ScopedKey::Close() {
    if (key_ != 0) registry_.closeKey(key_);
    key_ = 0;
}

std::string BackendPath(std::string_view keyPath) {
    while (!keyPath.empty() && keyPath.front() == '\\') keyPath.remove_prefix(1);
    while (!keyPath.empty() && keyPath.back() == '\\') keyPath.remove_suffix(1);
    return std::string(keyPath);
}

std::string FoldCase(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
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
