// A registry key handle that closes itself, and the path helpers the undo history and the delete
// routines share: Key Name splitting and case-insensitive registry names.
#pragma once

#include <string>
#include <string_view>

#include "platform/RegistryBackend.h"

namespace korvane {

class ScopedKey {
public:
    explicit ScopedKey(RegistryBackend& registry) : registry_(registry) {}
    ~ScopedKey() { Close(); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    // Open an existing key, or create the missing keys of the path; the Windows status comes back.
    long Open(HKey parent, const std::string& path, std::uint32_t accessMask);
    long Create(HKey parent, const std::string& path, std::uint32_t accessMask);
    void Close();
    HKey Get() const { return key_; }
    explicit operator bool() const { return key_ != 0; }

private:
    RegistryBackend& registry_;
    HKey key_ = 0;
};

// A key path as the backend takes it: "\A\B\" and "A\B" both give "A\B".
std::string BackendPath(std::string_view keyPath);
// Registry names ignore case (A-Z only here; enough for the names the program compares).
std::string FoldCase(std::string_view name);

// The text from the first "\" (included) up to the last "\" (excluded); empty with a single "\".
// HKEY_CURRENT_USER\Software\X\Y gives \Software\X.
std::string KeyParentPath(const std::string& keyName);
// The text after the last "\" (the whole text when it has none).
std::string LastPathPart(const std::string& keyName);

}  // namespace korvane
