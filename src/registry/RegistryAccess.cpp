// RegistryAccess: the program's registry operations on top of RegistryBackend. It owns the one key
// it has open; paths that begin with "\" start at the root, all others at the open key. A scan makes
// tens of thousands of these calls, so every read costs one backend call.
#include "registry/RegistryAccess.h"

#include <algorithm>
#include <cstring>

#include "platform/Utf16.h"
#include "registry/RegistryKey.h"

namespace korvane {

namespace {

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '\\';
}

std::string WithoutLeadingBackslash(const std::string& path) {
    return IsAbsolute(path) ? path.substr(1) : path;
}

[[noreturn]] void Raise(const char* what, const std::string& name) {
    throw RegistryError(std::string(what) + " '" + name + "'");
}

ValueKind KindOf(std::uint32_t type) {
    switch (type) {
        case regtype::Sz:
            return ValueKind::Text;
        case regtype::ExpandSz:
            return ValueKind::ExpandText;
        case regtype::Dword:
            return ValueKind::Number;
        case regtype::Binary:
            return ValueKind::Bytes;
        default:
            return ValueKind::Unknown;
    }
}

}  // namespace

RegistryAccess::RegistryAccess(RegistryBackend& backend) : backend_(backend), current_(backend) {}

RegistryAccess::~RegistryAccess() {
    CloseRegKey();
}

void RegistryAccess::SetRoot(HKey root) {
    if (root == root_) return;
    CloseRegKey();
    root_ = root;
}

HKey RegistryAccess::BaseFor(const std::string& path) const {
    return (IsAbsolute(path) || !current_.IsOpen()) ? root_ : current_.Handle();
}

void RegistryAccess::MakeCurrent(RegistryKey key, const std::string& path) {
    // The new path is worked out before the old key goes, since a relative path extends it.
    std::string relative = WithoutLeadingBackslash(path);
    std::string newPath;
    if (IsAbsolute(path) || !current_.IsOpen()) {
        newPath = std::move(relative);
    } else if (relative.empty()) {
        newPath = currentPath_;
    } else {
        newPath = currentPath_.empty() ? relative : currentPath_ + "\\" + relative;
    }
    CloseRegKey();
    current_ = std::move(key);
    currentPath_ = std::move(newPath);
}

bool RegistryAccess::OpenRegKey(const std::string& path, CreateIfMissing create) {
    RegistryKey key(backend_);
    const HKey base = BaseFor(path);
    const std::string relative = WithoutLeadingBackslash(path);
    // Creating opens an existing key as it is, like RegCreateKeyEx: one call either way.
    const bool opened = create == CreateIfMissing::Yes ? key.Create(base, relative, access_)
                                                       : key.Open(base, relative, access_);
    if (!opened) return false;
    MakeCurrent(std::move(key), path);
    return true;
}

bool RegistryAccess::OpenRegKeyReadOnly(const std::string& path) {
    RegistryKey key(backend_);
    const auto rights = key.OpenReadOnly(BaseFor(path), WithoutLeadingBackslash(path));
    if (!rights) return false;
    access_ = *rights;
    MakeCurrent(std::move(key), path);
    return true;
}

void RegistryAccess::CloseRegKey() {
    current_.Close();
    currentPath_.clear();
}

bool RegistryAccess::KeyExists(const std::string& path) {
    RegistryKey key(backend_);
    return key.OpenStatus(BaseFor(path), WithoutLeadingBackslash(path), access::Read) == status::Success;
}

bool RegistryAccess::HasSubkeys() {
    if (!current_.IsOpen()) return false;
    KeyInfo info;
    return backend_.queryInfo(current_.Handle(), info) == status::Success && info.subkeyCount > 0;
}

void RegistryAccess::ListSubkeys(std::vector<std::string>& out) {
    out.clear();
    if (!current_.IsOpen()) return;
    if (backend_.enumSubkeys(current_.Handle(), out) != status::Success) out.clear();
}

void RegistryAccess::ListValueNames(std::vector<std::string>& out) {
    out.clear();
    if (!current_.IsOpen()) return;
    std::vector<NamedRegValue> values;
    if (backend_.enumValues(current_.Handle(), values, false) != status::Success) return;
    out.reserve(values.size());
    for (auto& value : values) out.push_back(std::move(value.name));
}

long RegistryAccess::Query(const std::string& name, RegValue& out) {
    if (!current_.IsOpen()) return status::InvalidHandle;
    return backend_.queryValue(current_.Handle(), name, out);
}

ValueKind RegistryAccess::GetValueKind(const std::string& name) {
    RegValue value;
    return Query(name, value) == status::Success ? KindOf(value.type) : ValueKind::Unknown;
}

int RegistryAccess::ValueSize(const std::string& name) {
    RegValue value;
    if (Query(name, value) != status::Success) return -1;
    return static_cast<int>(value.data.size());
}

std::string RegistryAccess::ReadText(const std::string& name) {
    RegValue value;
    if (Query(name, value) != status::Success || value.data.empty()) return "";
    if (value.type != regtype::Sz && value.type != regtype::ExpandSz) Raise("Invalid data type for", name);
    return TextOfRegistryBytes(value.data);
}

std::int32_t RegistryAccess::ReadNumber(const std::string& name) {
    RegValue value;
    if (Query(name, value) != status::Success) Raise("Failed to get data for", name);
    if (value.type != regtype::Dword) Raise("Invalid data type for", name);
    // A number value is four little-endian bytes; a shorter one reads as zero-filled.
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(value.data.size(), 4); ++i) {
        number |= static_cast<std::uint32_t>(value.data[i]) << (8 * i);
    }
    return static_cast<std::int32_t>(number);
}

int RegistryAccess::ReadBytes(const std::string& name, std::uint8_t* buffer, int capacity) {
    RegValue value;
    if (Query(name, value) != status::Success) return 0;
    const ValueKind kind = KindOf(value.type);
    const bool fits = capacity >= 0 && value.data.size() <= static_cast<std::size_t>(capacity);
    if ((kind != ValueKind::Bytes && kind != ValueKind::Unknown) || !fits)
        Raise("Invalid data type for", name);
    if (!value.data.empty()) std::memcpy(buffer, value.data.data(), value.data.size());
    return static_cast<int>(value.data.size());
}

void RegistryAccess::WriteText(const std::string& name, const std::string& text) {
    WriteRaw(name, RegValue{regtype::Sz, RegistryTextBytes(text)});
}

void RegistryAccess::WriteNumber(const std::string& name, std::int32_t number) {
    const auto bits = static_cast<std::uint32_t>(number);
    WriteRaw(name, RegValue{regtype::Dword,
                            {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                             static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)}});
}

void RegistryAccess::WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    WriteRaw(name, RegValue{regtype::Binary, bytes});
}

bool RegistryAccess::ReadRaw(const std::string& name, RegValue& out) {
    return Query(name, out) == status::Success;
}

void RegistryAccess::WriteRaw(const std::string& name, const RegValue& value) {
    if (!current_.IsOpen() || backend_.setValue(current_.Handle(), name, value) != status::Success) {
        Raise("Failed to set data for", name);
    }
}

// The platform refuses to delete a key that still has sub-keys, so the tree goes deepest first.
bool RegistryAccess::DeleteTree(HKey parent, const std::string& path) {
    {
        RegistryKey key(backend_);
        if (key.Open(parent, path, access::Read)) {
            for (const auto& subkey : key.Subkeys()) DeleteTree(key.Handle(), subkey);
        }
    }
    return backend_.deleteKey(parent, path) == status::Success;
}

bool RegistryAccess::DeleteRegKey(const std::string& path) {
    const std::string relative = WithoutLeadingBackslash(path);
    // An empty path would name the root or the open key itself: never what a caller means to delete.
    if (relative.empty()) return false;
    return DeleteTree(BaseFor(path), relative);
}

bool RegistryAccess::DeleteValue(const std::string& name) {
    return current_.IsOpen() && backend_.deleteValue(current_.Handle(), name) == status::Success;
}

}  // namespace korvane
