// The fixture of the registry conformance cases: a fresh scratch key per test, handles closed by RAII,
// and short ways to build values.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "conformance/ConformanceTarget.h"
#include "platform/Utf16.h"

namespace korvane::conformance {

// Text as a program writes it: UTF-16LE with one terminating zero.
inline RegValue TextValue(const std::string& text, std::uint32_t type = regtype::Sz) {
    return RegValue{type, RegistryTextBytes(text)};
}

// Text data given unit by unit, terminators and all.
inline RegValue UnitsValue(std::uint32_t type, std::u16string_view units) {
    return RegValue{type, Utf16LeBytes(units)};
}

inline RegValue BytesValue(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    return RegValue{type, std::move(bytes)};
}

// Owns one open key of a backend.
class OpenKey {
public:
    OpenKey() = default;
    OpenKey(RegistryBackend& registry, HKey key) : registry_(&registry), key_(key) {}
    OpenKey(OpenKey&& other) noexcept { *this = std::move(other); }
    OpenKey& operator=(OpenKey&& other) noexcept {
        std::swap(registry_, other.registry_);
        std::swap(key_, other.key_);
        return *this;
    }
    ~OpenKey() {
        if (registry_ != nullptr) registry_->closeKey(key_);
    }
    HKey get() const { return key_; }
    // Gives the handle up, for cases that close it themselves.
    HKey release() {
        registry_ = nullptr;
        return key_;
    }

private:
    RegistryBackend* registry_ = nullptr;
    HKey key_ = 0;
};

// Deletes `path` below `parent` with everything under it, through the interface alone.
inline void DeleteKeyTree(RegistryBackend& registry, HKey parent, const std::string& path) {
    HKey key = 0;
    if (registry.openKey(parent, path, access::AllAccess, key) != status::Success) return;
    std::vector<std::string> children;
    registry.enumSubkeys(key, children);
    for (const std::string& child : children) DeleteKeyTree(registry, key, child);
    registry.closeKey(key);
    registry.deleteKey(parent, path);
}

class RegistryConformance : public ::testing::Test {
protected:
    void SetUp() override {
        target_ = MakeConformanceTarget();
        ASSERT_NE(target_.registry, nullptr);
        DeleteKeyTree(reg(), target_.scratchRoot, target_.scratchPath);
        HKey key = 0;
        ASSERT_EQ(reg().createKey(target_.scratchRoot, target_.scratchPath, access::AllAccess, key),
                  status::Success);
        scratch_ = OpenKey(reg(), key);
    }
    void TearDown() override {
        scratch_ = OpenKey();
        if (target_.registry) DeleteKeyTree(reg(), target_.scratchRoot, target_.scratchPath);
    }

    RegistryBackend& reg() { return *target_.registry; }
    HKey scratch() const { return scratch_.get(); }

    // Creates `path` below the scratch key and keeps it open with all rights.
    OpenKey Create(const std::string& path) {
        HKey key = 0;
        EXPECT_EQ(reg().createKey(scratch(), path, access::AllAccess, key), status::Success) << path;
        return OpenKey(reg(), key);
    }
    std::vector<std::string> Subkeys(HKey key) {
        std::vector<std::string> names;
        EXPECT_EQ(reg().enumSubkeys(key, names), status::Success);
        return names;
    }
    std::vector<std::string> ValueNames(HKey key) {
        std::vector<NamedRegValue> values;
        EXPECT_EQ(reg().enumValues(key, values, false), status::Success);
        std::vector<std::string> names;
        for (const NamedRegValue& v : values) names.push_back(v.name);
        return names;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    }

    ConformanceTarget target_;
    OpenKey scratch_;
};

}  // namespace korvane::conformance
