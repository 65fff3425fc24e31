// The open key kept for runs of values of one key: the same path is opened once, another path closes
// the first, a key that does not open gives 0 (and is asked again only when another was asked between).
#include <gtest/gtest.h>

#include "platform/memory/MemoryRegistry.h"
#include "registry/ReusedKey.h"

namespace korvane {
namespace {

TEST(ReusedKey, OpensEachKeyOnceWhileItIsAskedForInARow) {
    MemoryRegistry registry;
    registry.SetDword(roots::CurrentUser, "Software\\A", "v", 1);
    registry.SetDword(roots::CurrentUser, "Software\\B", "w", 2);
    {
        ReusedKey keys(registry, access::Read);
        registry.ResetCounters();
        const HKey a = keys.Open(roots::CurrentUser, "\\Software\\A");
        ASSERT_NE(a, 0u);
        EXPECT_EQ(keys.Open(roots::CurrentUser, "\\Software\\A"), a);
        EXPECT_EQ(registry.CallCount(), 1u);
        EXPECT_EQ(registry.OpenHandleCount(), 1u);
        const HKey b = keys.Open(roots::CurrentUser, "\\Software\\B");
        ASSERT_NE(b, 0u);
        RegValue value;
        EXPECT_EQ(registry.queryValue(b, "w", value), status::Success);
        EXPECT_EQ(registry.OpenHandleCount(), 1u);                       // A was closed
        EXPECT_EQ(keys.Open(roots::LocalMachine, "\\Software\\B"), 0u);  // same path, other root
        EXPECT_EQ(keys.Open(roots::LocalMachine, "\\Software\\B"), 0u);
        keys.Close();
        EXPECT_EQ(registry.OpenHandleCount(), 0u);
        EXPECT_NE(keys.Open(roots::CurrentUser, "\\Software\\A"), 0u);
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace korvane
