// The one owner of an open registry key: opened with the rights a caller asks for (or read-only with
// the fallback of weaker rights), closed on every path, movable. It talks to the backend directly, so
// the scan pays exactly the registry calls its answer needs and no more.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryBackend.h"

namespace korvane {

// What a value reads as when text is wanted: an absent or empty value is the empty text; text (plain or
// expandable) is taken up to its first zero, unexpanded, as UTF-8; any other data is no text at all.
std::optional<std::string> ValueText(const RegValue& value);

class RegistryKey {
public:
    explicit RegistryKey(RegistryBackend& registry) : registry_(&registry) {}
    ~RegistryKey() { Close(); }
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens `path` below `parent` (a root or an open key), never creating it; leading and trailing
    // backslashes are allowed. The key held before is closed first. The status is Windows' own.
    long OpenStatus(HKey parent, std::string_view path, std::uint32_t rights);
    bool Open(HKey parent, std::string_view path, std::uint32_t rights = access::AllAccess) {
        return OpenStatus(parent, path, rights) == status::Success;
    }
    // Opens an existing key or creates it with the missing keys above it.
    long CreateStatus(HKey parent, std::string_view path, std::uint32_t rights);
    bool Create(HKey parent, std::string_view path, std::uint32_t rights = access::AllAccess) {
        return CreateStatus(parent, path, rights) == status::Success;
    }
    // Opens with reading rights only: read, then read without notification, then query only. Weaker
    // rights help only against a refusal: a missing key ends the attempts at once. The rights that
    // worked come back.
    std::optional<std::uint32_t> OpenReadOnly(HKey parent, std::string_view path);
    void Close();

    bool IsOpen() const { return handle_ != 0; }
    explicit operator bool() const { return IsOpen(); }
    HKey Handle() const { return handle_; }

    // Names of the sub-keys / values in the registry's order; empty when none or the key is not open.
    std::vector<std::string> Subkeys();
    // The same, telling a listing that failed apart from an empty one.
    std::optional<std::vector<std::string>> TrySubkeys();
    std::vector<std::string> ValueNames();
    // All values with their data, in the registry's order (one listing instead of one read per value).
    std::vector<NamedRegValue> ValuesWithData();
    bool HasSubkeys();
    // The value as text (see ValueText); an absent value, or a key that is not open, reads as "".
    std::optional<std::string> ReadText(const std::string& name);

private:
    RegistryBackend* registry_;
    HKey handle_ = 0;
};

}  // namespace korvane
