// The planned deletions a batch consults for every key and value it records: a key is taken by its
// own deletion or by one of a key above it (the earliest wins), a value also by its own; names and
// paths compare as the registry compares them.
#include <gtest/gtest.h>

#include "undo/PendingDeletions.h"

namespace korvane {
namespace {

constexpr HKey HKCU = roots::CurrentUser;
constexpr HKey HKLM = roots::LocalMachine;

TEST(PendingDeletions, KeysAreTakenByTheirOwnOrAnAncestorsDeletion) {
    PendingDeletions pending;
    EXPECT_EQ(pending.KeyTakenBy(HKCU, "\\Software\\A"), -1);
    EXPECT_EQ(pending.AddKey(HKCU, "\\Software\\A\\B\\C"), 0);
    EXPECT_EQ(pending.KeyTakenBy(HKCU, "Software\\a\\b\\c\\"), 0);  // outer backslashes and case
    EXPECT_EQ(pending.KeyTakenBy(HKCU, "\\Software\\A\\B\\C\\D\\E"), 0);
    EXPECT_EQ(pending.KeyTakenBy(HKCU, "\\Software\\A\\B"), -1);      // above it: still there
    EXPECT_EQ(pending.KeyTakenBy(HKCU, "\\Software\\A\\B\\Cx"), -1);  // a sibling sharing a prefix
    EXPECT_EQ(pending.KeyTakenBy(HKLM, "\\Software\\A\\B\\C"), -1);   // another root
    // A later deletion higher up takes everything below it; the earliest planned one is named.
    EXPECT_EQ(pending.AddKey(HKCU, "\\Software\\A"), 1);
    EXPECT_EQ(pending.KeyTakenBy(HKCU, "\\Software\\A\\B"), 1);
    EXPECT_EQ(pending.KeyTakenBy(HKCU, "\\Software\\A\\B\\C\\D"), 0);
    EXPECT_EQ(pending.KeyTakenBy(HKCU, "\\Software"), -1);
    EXPECT_EQ(pending.Count(), 2);
}

TEST(PendingDeletions, ValuesAreTakenByTheirOwnDeletionOrTheirKeys) {
    PendingDeletions pending;
    EXPECT_FALSE(pending.HasValuesIn(HKCU, "\\Software\\K"));
    EXPECT_EQ(pending.AddValue(HKCU, "\\Software\\K", "Name"), 0);
    EXPECT_TRUE(pending.HasValuesIn(HKCU, "software\\k"));
    EXPECT_FALSE(pending.HasValuesIn(HKCU, "\\Software\\K\\Sub"));
    EXPECT_EQ(pending.ValueItselfTakenBy(HKCU, "\\Software\\K", "NAME"), 0);
    EXPECT_EQ(pending.ValueItselfTakenBy(HKCU, "\\Software\\K", "Other"), -1);
    EXPECT_EQ(pending.ValueItselfTakenBy(HKCU, "\\Software\\K", ""), -1);  // the default value is its own
    EXPECT_EQ(pending.AddKey(HKCU, "\\Software\\K"), 1);
    EXPECT_EQ(pending.ValueTakenBy(HKCU, "\\Software\\K", "Other"), 1);
    EXPECT_EQ(pending.ValueTakenBy(HKCU, "\\Software\\K", "Name"), 0);
    EXPECT_EQ(pending.AddValue(HKCU, "\\Software\\K", ""), 2);
    EXPECT_EQ(pending.ValueItselfTakenBy(HKCU, "\\Software\\K", ""), 2);
}

}  // namespace
}  // namespace korvane
