// One root, at most one open key: the registry operations the program performs. Opening, listing,
// existence tests and deletions report failure by their result; reads of the wrong type and refused
// writes raise RegistryError with the message the user sees. One object per task, never shared
// between threads.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"
#include "registry/RegistryKey.h"

namespace korvane {

class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ValueKind { Unknown, Text, ExpandText, Number, Bytes };
enum class CreateIfMissing { No, Yes };

class RegistryAccess {
public:
    explicit RegistryAccess(RegistryBackend& backend);
    ~RegistryAccess();
    RegistryAccess(const RegistryAccess&) = delete;
    RegistryAccess& operator=(const RegistryAccess&) = delete;

    HKey Root() const { return root_; }
    void SetRoot(HKey root);
    std::uint32_t Access() const { return access_; }
    void SetAccess(std::uint32_t accessMask) { access_ = accessMask; }
    HKey CurrentKey() const { return current_.Handle(); }
    const std::string& CurrentPath() const { return currentPath_; }

    // "\A\B" is taken from the root, "A\B" from the current key (or the root when none is open).
    bool OpenRegKey(const std::string& path, CreateIfMissing create);
    // Tries read rights, then read without notification, then query only; the rights that worked
    // become Access().
    bool OpenRegKeyReadOnly(const std::string& path);
    void CloseRegKey();
    // Whether the key opens with read rights; the current key stays as it is.
    bool KeyExists(const std::string& path);
    bool HasSubkeys();
    void ListSubkeys(std::vector<std::string>& out);
    void ListValueNames(std::vector<std::string>& out);
    // Unknown for an absent value and for every type but text, expandable text, number and bytes.
    ValueKind GetValueKind(const std::string& name);
    // Size of the data in bytes as stored (text counts its terminating zero); -1 when absent.
    int ValueSize(const std::string& name);
    bool ValueExists(const std::string& name) { return ValueSize(name) >= 0; }
    // Empty when absent or empty; text up to its first zero, unexpanded; raises for other types.
    std::string ReadText(const std::string& name);
    // Raises "Failed to get data for '<name>'" when absent, "Invalid data type ..." for other types.
    std::int32_t ReadNumber(const std::string& name);
    // 0 when absent; copies bytes and unknown types; raises for text, numbers and data over `capacity`.
    int ReadBytes(const std::string& name, std::uint8_t* buffer, int capacity);
    void WriteText(const std::string& name, const std::string& text);
    void WriteNumber(const std::string& name, std::int32_t value);
    void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes);
    // Deletes the key with its whole tree; false for an empty path (the root or the open key itself).
    bool DeleteRegKey(const std::string& path);
    bool DeleteValue(const std::string& name);

    // Raw access for what the named operations cannot carry (value types beyond text, number and bytes).
    bool ReadRaw(const std::string& name, RegValue& out);
    void WriteRaw(const std::string& name, const RegValue& value);

    RegistryBackend& Backend() { return backend_; }

private:
    // The key a path starts from: the root for "\..." or when no key is open, else the open key.
    HKey BaseFor(const std::string& path) const;
    // Makes `key`, reached by `path`, the current key and closes the previous one.
    void MakeCurrent(RegistryKey key, const std::string& path);
    long Query(const std::string& name, RegValue& out);
    bool DeleteTree(HKey parent, const std::string& path);

    RegistryBackend& backend_;
    HKey root_ = roots::CurrentUser;
    std::uint32_t access_ = access::AllAccess;
    RegistryKey current_;
    std::string currentPath_;
};

}  // namespace korvane
