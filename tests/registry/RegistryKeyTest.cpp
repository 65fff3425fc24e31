// The registry key owner: the rights it opens with, the read-only fallback, and that every handle it
// held is closed exactly once, also across moves.
#include <gtest/gtest.h>

#include <utility>

#include "platform/Utf16.h"
#include "platform/memory/MemoryRegistry.h"
#include "registry/RegistryKey.h"

namespace korvane {
namespace {

TEST(RegistryKey, ReadOnlyFallsBackOnARefusalButNotOnAMissingKey) {
    MemoryRegistry registry;
    registry.SetString(roots::LocalMachine, "SOFTWARE\\Locked", "v", "1");
    registry.DenyWrite(roots::LocalMachine, "SOFTWARE\\Locked");
    RegistryKey key(registry);
    EXPECT_FALSE(key.Open(roots::LocalMachine, "\\SOFTWARE\\Locked\\"));  // all access: refused
    EXPECT_NE(key.OpenStatus(roots::LocalMachine, "SOFTWARE\\Locked", access::AllAccess),
              status::FileNotFound);
    const auto rights = key.OpenReadOnly(roots::LocalMachine, "\\SOFTWARE\\Locked");
    ASSERT_TRUE(rights.has_value());
    EXPECT_EQ(*rights, access::Read);
    EXPECT_EQ(key.ReadText("v"), "1");

    EXPECT_FALSE(key.OpenReadOnly(roots::LocalMachine, "SOFTWARE\\Missing").has_value());
    EXPECT_FALSE(key.IsOpen());  // the key held before went with the new attempt
    registry.DenyOpen(roots::LocalMachine, "SOFTWARE\\Hidden");
    registry.CreateKey(roots::LocalMachine, "SOFTWARE\\Hidden");
    EXPECT_FALSE(key.OpenReadOnly(roots::LocalMachine, "SOFTWARE\\Hidden").has_value());
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(RegistryKey, EveryHandleIsClosedOnceAcrossMovesAndReopens) {
    MemoryRegistry registry;
    registry.SetString(roots::CurrentUser, "Software\\A\\B", "x", "1");
    {
        RegistryKey first(registry);
        ASSERT_TRUE(first.Open(roots::CurrentUser, "Software\\A", access::Read));
        ASSERT_TRUE(first.Open(roots::CurrentUser, "Software\\A\\B", access::Read));  // the first one closed
        EXPECT_EQ(registry.OpenHandleCount(), 1u);
        RegistryKey moved(std::move(first));
        EXPECT_FALSE(first.IsOpen());
        EXPECT_EQ(moved.ValueNames(), (std::vector<std::string>{"x"}));
        RegistryKey other(registry);
        ASSERT_TRUE(other.Create(roots::CurrentUser, "Software\\A\\C"));
        EXPECT_EQ(registry.OpenHandleCount(), 2u);
        other = std::move(moved);  // closes C, takes B
        EXPECT_EQ(registry.OpenHandleCount(), 1u);
        EXPECT_FALSE(other.HasSubkeys());
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(RegistryKey, ValueTextTakesTextUpToItsFirstZeroAndNothingElse) {
    EXPECT_EQ(ValueText(RegValue{regtype::Sz, {'a', 0, 'b', 0, 0, 0, 'c', 0, 0, 0}}), "ab");
    // No terminator, and an odd last byte: unexpanded, up to the last whole unit.
    EXPECT_EQ(ValueText(RegValue{regtype::ExpandSz, {'%', 0, 'x', 0, '%', 0, 'y'}}), "%x%");
    // UTF-16 in, UTF-8 out, a character outside the first plane included.
    EXPECT_EQ(ValueText(RegValue{regtype::Sz, Utf16LeBytes(u"\u00E9\U0001F511")}),
              "\xC3\xA9\xF0\x9F\x94\x91");
    EXPECT_EQ(ValueText(RegValue{regtype::Binary, {}}), "");  // empty data is empty text
    EXPECT_FALSE(ValueText(RegValue{regtype::Dword, {1, 0, 0, 0}}).has_value());
}

}  // namespace
}  // namespace korvane
