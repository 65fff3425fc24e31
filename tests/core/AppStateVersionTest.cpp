// The Windows version belongs to one application state: two states on two Windows each keep their own.
#include <gtest/gtest.h>

#include "core/AppState.h"
#include "platform/memory/MemoryPlatform.h"

namespace korvane {
namespace {

TEST(AppStateVersionTest, EachStateKeepsTheVersionOfItsOwnWindows) {
    MemoryPlatform seven;
    seven.system().version = VersionRecord{2, 6, 1, 7601};
    MemoryPlatform xp;
    xp.system().version = VersionRecord{2, 5, 1, 2600};
    AppState first(seven.platform());
    AppState second(xp.platform());

    EXPECT_TRUE(first.windowsVersion.Query());
    EXPECT_TRUE(second.windowsVersion.Query());
    // Once asked, a state keeps its answer, whatever its platform says later.
    seven.system().version = std::nullopt;
    EXPECT_TRUE(first.windowsVersion.Query());
    EXPECT_EQ(first.windowsVersion.Class(), 8);
    EXPECT_EQ(second.windowsVersion.Class(), 6);
    // A new state asks again.
    AppState later(seven.platform());
    EXPECT_FALSE(later.windowsVersion.Query());
    EXPECT_EQ(later.windowsVersion.Class(), 0);
    EXPECT_EQ(first.windowsVersion.Class(), 8);
}

}  // namespace
}  // namespace korvane
