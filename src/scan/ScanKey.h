// One registry key held open by a scan group: opened with the rights the scan's registry access would
// ask for, closed on every path. It talks to the backend directly so that a group pays exactly the
// registry calls its answer needs and no more.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"

namespace korvane {

// What a value reads as when a group wants text: an absent or empty value is the empty text; text
// (plain or expandable) is taken up to its first zero, unexpanded; any other data is no text at all.
std::optional<std::string> ValueText(const RegValue& value);

class ScanKey {
public:
    explicit ScanKey(RegistryBackend& registry) : registry_(registry) {}
    ~ScanKey() { Close(); }
    ScanKey(const ScanKey&) = delete;
    ScanKey& operator=(const ScanKey&) = delete;

    // Opens `path` below `parent` (a root or an open key) with all access rights, never creating it.
    // A leading backslash is allowed. The key held before is closed first.
    bool Open(HKey parent, const std::string& path);
    // Opens with reading rights only: read, then read without notification, then query only, as
    // RegistryAccess::OpenRegKeyReadOnly does; a missing key ends the attempts at once.
    bool OpenReadOnly(HKey parent, const std::string& path);
    // Opens with exactly `accessMask`.
    bool OpenWith(HKey parent, const std::string& path, std::uint32_t accessMask);
    void Close();

    bool IsOpen() const { return handle_ != 0; }
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
    RegistryBackend& registry_;
    HKey handle_ = 0;
};

}  // namespace korvane
