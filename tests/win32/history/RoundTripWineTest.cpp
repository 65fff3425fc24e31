// The whole road of a deletion against the real registry: a generated tree of a few hundred keys
// (every value type, broken text, nested empty keys, awkward names, seeded through the registry
// functions) under a scratch key of HKEY_CURRENT_USER is recorded, deleted, saved to a Backup.xml,
// read back and restored, and must read back byte for byte as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/AppState.h"
#include "support/RandomRegistryTree.h"
#include "undo/UndoHistory.h"
#include "win32/platform/Text.h"
#include "win32/platform/Win32Platform.h"

namespace korvane::win32 {
namespace {

constexpr HKey HKCU = roots::CurrentUser;
const std::string kScratch = "Software\\KorvaneWineRoundTrip";

class RoundTripWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Widen(kScratch).c_str());
        folder_ = platform_.platform().system.tempDirectory() + "KorvaneWineRoundTrip\\";
        ::CreateDirectoryW(Widen(folder_).c_str(), nullptr);
        ::DeleteFileW(Widen(folder_ + "Backup.xml").c_str());
        state_.ProgramFolder = folder_;
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Widen(kScratch).c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, Widen(kScratch).c_str());
        ::DeleteFileW(Widen(folder_ + "Backup.xml").c_str());
        ::RemoveDirectoryW(Widen(folder_).c_str());
    }

    Win32Platform platform_;
    AppState state_{platform_.platform()};
    std::string folder_;
};

TEST_F(RoundTripWineTest, AGeneratedTreeComesBackByteForByte) {
    RegistryBackend& registry = platform_.platform().registry;
    const std::string base = kScratch + "\\Tree";
    const auto keys = testing::GenerateTree(20261207, 300);
    ASSERT_TRUE(testing::PlantTree(registry, HKCU, base, keys));
    const auto before = testing::ReadTree(registry, HKCU, base);
    ASSERT_TRUE(before);
    ASSERT_EQ(before->size(), keys.size());  // every generated key is there under its own name

    UndoHistory history(state_);
    history.Load();
    {
        UndoBatch batch = history.BeginBatch();
        batch.AddEntry("Tree", "", "");
        ASSERT_TRUE(batch.RecordForDeletion(KeyName::Key(HKCU, kScratch + "\\Tree")));
        history.SaveAhead(batch);
        ASSERT_EQ(batch.DeleteAll(), 1);
    }
    HKey gone = 0;
    ASSERT_EQ(registry.openKey(HKCU, base, access::Read, gone), status::FileNotFound);

    UndoHistory reloaded(state_);  // as after a restart
    reloaded.Load();
    ASSERT_EQ(reloaded.EntryCount(), 1);
    reloaded.RestoreEntry(0);
    const auto after = testing::ReadTree(registry, HKCU, base);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->size(), before->size());
    for (const auto& [path, values] : *before) {
        auto found = after->find(path);
        ASSERT_NE(found, after->end()) << ::testing::PrintToString(path);
        EXPECT_EQ(found->second, values) << ::testing::PrintToString(path);
    }
    EXPECT_TRUE(*after == *before);
}

}  // namespace
}  // namespace korvane::win32
