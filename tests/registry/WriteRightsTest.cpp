// WriteRefused: a change the registry refuses for lack of rights, told from a key that is just missing.
#include <gtest/gtest.h>

#include "platform/memory/MemoryRegistry.h"
#include "registry/WriteRights.h"

namespace korvane {
namespace {

TEST(WriteRightsTest, AStandardUserMayChangeOnlyItsOwnKeys) {
    MemoryRegistry registry;
    registry.CreateKey(roots::LocalMachine, "SOFTWARE\\App");
    registry.CreateKey(roots::CurrentUser, "Software\\Mine");
    EXPECT_FALSE(WriteRefused(registry, roots::LocalMachine, "SOFTWARE\\App"));
    registry.SetStandardUser(true);
    EXPECT_TRUE(WriteRefused(registry, roots::LocalMachine, "SOFTWARE\\App"));
    // A key not there yet would be made below the nearest that is: its rights decide.
    EXPECT_TRUE(WriteRefused(registry, roots::LocalMachine, "\\SOFTWARE\\App\\New\\Deeper\\"));
    EXPECT_TRUE(WriteRefused(registry, roots::ClassesRoot, "CLSID\\{A}"));
    EXPECT_FALSE(WriteRefused(registry, roots::CurrentUser, "Software\\Mine"));
    EXPECT_FALSE(WriteRefused(registry, roots::CurrentUser, "Software\\Mine\\New"));
}

TEST(WriteRightsTest, ARuleOnOneKeyRefusesItAlone) {
    MemoryRegistry registry;
    registry.CreateKey(roots::LocalMachine, "SOFTWARE\\Locked\\Inner");
    registry.CreateKey(roots::LocalMachine, "SOFTWARE\\Closed");
    registry.CreateKey(roots::LocalMachine, "SOFTWARE\\Free");
    registry.DenyWrite(roots::LocalMachine, "SOFTWARE\\Locked");
    registry.DenyOpen(roots::LocalMachine, "SOFTWARE\\Closed");
    EXPECT_TRUE(WriteRefused(registry, roots::LocalMachine, "SOFTWARE\\Locked\\Inner"));
    EXPECT_TRUE(WriteRefused(registry, roots::LocalMachine, "SOFTWARE\\Closed"));
    EXPECT_FALSE(WriteRefused(registry, roots::LocalMachine, "SOFTWARE\\Free"));
    EXPECT_FALSE(WriteRefused(registry, roots::LocalMachine, "SOFTWARE\\Nothing\\Here"));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace korvane
