// The scan's own thin hold on registry keys: RAII over RegistryBackend handles.
#include "scan/ScanKey.h"

namespace korvane {

namespace {

std::string WithoutLeadingBackslash(const std::string& path) {
    return (!path.empty() && path.front() == '\\') ? path.substr(1) : path;
}

}  // namespace

std::optional<std::string> ValueText(const RegValue& value) {
    if (value.data.empty()) return std::string();
    if (value.type != regtype::Sz && value.type != regtype::ExpandSz) return std::nullopt;
    std::string text(value.data.begin(), value.data.end());
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.erase(zero);
    return text;
}

bool ScanKey::OpenWith(HKey parent, const std::string& path, std::uint32_t accessMask) {
    Close();
    HKey opened = 0;
    if (registry_.openKey(parent, WithoutLeadingBackslash(path), accessMask, opened) != status::Success)
        return false;
    handle_ = opened;
    return true;
}

bool ScanKey::Open(HKey parent, const std::string& path) {
    return OpenWith(parent, path, access::AllAccess);
}

bool ScanKey::OpenReadOnly(HKey parent, const std::string& path) {
    Close();
    const std::string relative = WithoutLeadingBackslash(path);
    for (std::uint32_t rights : {access::Read, access::ReadWithoutNotify, access::QueryValue}) {
        HKey opened = 0;
        const long result = registry_.openKey(parent, relative, rights, opened);
        if (result == status::Success) {
            handle_ = opened;
            return true;
        }
        // A key that is not there stays not there whatever rights are asked for.
        if (result == status::FileNotFound) return false;
    }
    return false;
}

void ScanKey::Close() {
    if (handle_ == 0) return;
    registry_.closeKey(handle_);
    handle_ = 0;
}

std::vector<std::string> ScanKey::Subkeys() {
    std::vector<std::string> names;
    if (handle_ == 0 || registry_.enumSubkeys(handle_, names) != status::Success) names.clear();
    return names;
}

std::optional<std::vector<std::string>> ScanKey::TrySubkeys() {
    std::vector<std::string> names;
    if (handle_ == 0 || registry_.enumSubkeys(handle_, names) != status::Success) return std::nullopt;
    return names;
}

std::vector<std::string> ScanKey::ValueNames() {
    std::vector<NamedRegValue> values;
    std::vector<std::string> names;
    if (handle_ == 0 || registry_.enumValues(handle_, values, false) != status::Success) return names;
    names.reserve(values.size());
    for (auto& value : values) names.push_back(std::move(value.name));
    return names;
}

std::vector<NamedRegValue> ScanKey::ValuesWithData() {
    std::vector<NamedRegValue> values;
    if (handle_ == 0 || registry_.enumValues(handle_, values, true) != status::Success) values.clear();
    return values;
}

bool ScanKey::HasSubkeys() {
    KeyInfo info;
    return handle_ != 0 && registry_.queryInfo(handle_, info) == status::Success && info.subkeyCount > 0;
}

std::optional<std::string> ScanKey::ReadText(const std::string& name) {
    RegValue value;
    if (handle_ == 0 || registry_.queryValue(handle_, name, value) != status::Success) return std::string();
    return ValueText(value);
}

}  // namespace korvane
