// The registry key owner (see RegistryKey.h).
#include "registry/RegistryKey.h"

#include <utility>

#include "platform/Utf16.h"
#include "registry/KeyName.h"

namespace korvane {

std::optional<std::string> ValueText(const RegValue& value) {
    if (value.data.empty()) return std::string();
    if (value.type != regtype::Sz && value.type != regtype::ExpandSz) return std::nullopt;
    return TextOfRegistryBytes(value.data);
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : registry_(other.registry_), handle_(std::exchange(other.handle_, 0)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        registry_ = other.registry_;
        handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
}

long RegistryKey::OpenStatus(HKey parent, std::string_view path, std::uint32_t rights) {
    Close();
    HKey opened = 0;
    const long result = registry_->openKey(parent, BackendPath(path), rights, opened);
    if (result == status::Success) handle_ = opened;
    return result;
}

long RegistryKey::CreateStatus(HKey parent, std::string_view path, std::uint32_t rights) {
    Close();
    HKey created = 0;
    const long result = registry_->createKey(parent, BackendPath(path), rights, created);
    if (result == status::Success) handle_ = created;
    return result;
}

std::optional<std::uint32_t> RegistryKey::OpenReadOnly(HKey parent, std::string_view path) {
    Close();
    const std::string relative = BackendPath(path);
    for (std::uint32_t rights : {access::Read, access::ReadWithoutNotify, access::QueryValue}) {
        HKey opened = 0;
        const long result = registry_->openKey(parent, relative, rights, opened);
        if (result == status::Success) {
            handle_ = opened;
            return rights;
        }
        if (result == status::FileNotFound) return std::nullopt;
    }
    return std::nullopt;
}

void RegistryKey::Close() {
    if (handle_ == 0) return;
    registry_->closeKey(handle_);
    handle_ = 0;
}

std::vector<std::string> RegistryKey::Subkeys() {
    return TrySubkeys().value_or(std::vector<std::string>());
}

std::optional<std::vector<std::string>> RegistryKey::TrySubkeys() {
    std::vector<std::string> names;
    if (handle_ == 0 || registry_->enumSubkeys(handle_, names) != status::Success) return std::nullopt;
    return names;
}

std::vector<std::string> RegistryKey::ValueNames() {
    std::vector<NamedRegValue> values;
    std::vector<std::string> names;
    if (handle_ == 0 || registry_->enumValues(handle_, values, false) != status::Success) return names;
    names.reserve(values.size());
    for (auto& value : values) names.push_back(std::move(value.name));
    return names;
}

std::vector<NamedRegValue> RegistryKey::ValuesWithData() {
    std::vector<NamedRegValue> values;
    if (handle_ == 0 || registry_->enumValues(handle_, values, true) != status::Success) values.clear();
    return values;
}

bool RegistryKey::HasSubkeys() {
    KeyInfo info;
    return handle_ != 0 && registry_->queryInfo(handle_, info) == status::Success && info.subkeyCount > 0;
}

std::optional<std::string> RegistryKey::ReadText(const std::string& name) {
    RegValue value;
    if (handle_ == 0 || registry_->queryValue(handle_, name, value) != status::Success) return std::string();
    return ValueText(value);
}

}  // namespace korvane
