// End to end under Wine, in the real window and the real registry: several hundred generated stale
// entries (application paths, classes, file extensions, shared DLLs, Run history, uninstall entries),
// most carrying a generated tree of awkward keys and values, are found by a scan, all checked and
// repaired; the program is closed and started again, and Restore History puts every checked entry
// back. Every area the scan reads must then be, key for key and byte for byte, what it was before.
#include <cstdio>
#include <optional>

#include "scanwalk/ScanGroups.h"
#include "support/RandomRegistryTree.h"
#include "win32/platform/Text.h"
#include "win32/scan/StaleEntries.h"

namespace korvane::win32::testing {
namespace {

using korvane::testing::GenerateTree;
using korvane::testing::PlantTree;
using korvane::testing::ReadTree;
using korvane::testing::TreeSnapshot;

constexpr int kAppPathsCount = 250;
constexpr int kClassCount = 120;
constexpr int kExtensionCount = 120;
constexpr int kSharedDllCount = 200;
constexpr int kRunMruCount = 60;
constexpr int kUninstallCount = 60;

const std::string kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const std::string kFileExtsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const std::string kRunMruKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const std::string kSharedDllsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string ClassId(int i) {
    char id[64];
    std::snprintf(id, sizeof id, "{4B6F7276-616E-6547-656E-%012X}", i);
    return id;
}
std::string Gone(const std::string& name) {
    return "C:\\KorvaneWineGenGone\\" + name;
}

// Every area the scan reads (and so the repair may delete from), as it is stored: a base key of
// HKEY_CLASSES_ROOT is read in both hives the view merges.
std::vector<std::optional<TreeSnapshot>> ScannedAreas(RegistryBackend& registry) {
    std::vector<std::optional<TreeSnapshot>> areas;
    for (const BaseKey& base : kScanBaseKeys) {
        if (base.root == roots::ClassesRoot) {
            for (HKey hive : {roots::LocalMachine, roots::CurrentUser})
                areas.push_back(ReadTree(registry, hive, "Software\\Classes\\" + std::string(base.path)));
        } else {
            areas.push_back(ReadTree(registry, base.root, std::string(base.path)));
        }
    }
    return areas;
}

class GeneratedRepairRestoreWindowTest : public StaleEntriesWindowTest {
protected:
    void SetUp() override {
        ::DeleteFileW(ProgramBackupXmlPath().c_str());
        RemoveGenerated();
        SeedGenerated();
        StaleEntriesWindowTest::SetUp();
    }
    void TearDown() override {
        StaleEntriesWindowTest::TearDown();
        RemoveGenerated();
        ::DeleteFileW(ProgramBackupXmlPath().c_str());
    }

    // A key with a generated tree in it, then the value that makes it stale (set last, so that the
    // tree's own default value cannot hide it).
    void SeedKey(HKey root, const std::string& path, int seed, const std::string& staleName,
                 const std::string& staleData) {
        ASSERT_TRUE(
            PlantTree(seedRegistry_, root, path, GenerateTree(static_cast<std::uint64_t>(seed), seed % 5)));
        HKey key = 0;
        ASSERT_EQ(seedRegistry_.createKey(root, path, access::AllAccess, key), status::Success);
        EXPECT_EQ(seedRegistry_.setValue(key, staleName, RegValue{regtype::Sz, RegistryTextBytes(staleData)}),
                  status::Success);
        seedRegistry_.closeKey(key);
    }
    void SeedValue(HKey root, const std::string& path, const std::string& name, const RegValue& value) {
        HKey key = 0;
        ASSERT_EQ(seedRegistry_.createKey(root, path, access::AllAccess, key), status::Success);
        EXPECT_EQ(seedRegistry_.setValue(key, name, value), status::Success);
        seedRegistry_.closeKey(key);
    }
    void SeedGenerated() {
        for (int i = 0; i < kAppPathsCount; ++i)
            SeedKey(roots::LocalMachine, kAppPathsKey + "\\korvanewinegen" + std::to_string(i) + ".exe", i,
                    "", Gone("app" + std::to_string(i) + ".exe"));
        for (int i = 0; i < kClassCount; ++i)
            SeedKey(roots::ClassesRoot, "CLSID\\" + ClassId(i) + "\\InprocServer32", 1000 + i, "",
                    Gone("server" + std::to_string(i) + ".dll"));
        for (int i = 0; i < kExtensionCount; ++i)
            SeedKey(roots::CurrentUser, kFileExtsKey + "\\.korvanewinegen" + std::to_string(i), 2000 + i,
                    "KorvaneMark", "x");
        for (int i = 0; i < kSharedDllCount; ++i)
            SeedValue(roots::LocalMachine, kSharedDllsKey, Gone("shared" + std::to_string(i) + ".dll"),
                      RegValue{regtype::Dword, {static_cast<std::uint8_t>(i), 0, 0, 0}});
        for (int i = 0; i < kRunMruCount; ++i)
            SeedValue(roots::CurrentUser, kRunMruKey, "KorvaneWineGen" + std::to_string(i),
                      RegValue{regtype::Sz, RegistryTextBytes(Gone("tool" + std::to_string(i)) + "\\1")});
        for (int i = 0; i < kUninstallCount; ++i) {
            const std::string key = kUninstallKey + "\\KorvaneWineGen" + std::to_string(i);
            SeedKey(roots::LocalMachine, key, 3000 + i, "DisplayName",
                    "Korvane Wine Generated " + std::to_string(i));
            SeedValue(
                roots::LocalMachine, key, "UninstallString",
                RegValue{regtype::ExpandSz, RegistryTextBytes(Gone("unins" + std::to_string(i) + ".exe"))});
        }
    }
    void RemoveGenerated() {
        auto tree = [](HKEY root, const std::string& path) { RemoveKeyTree(root, Widen(path).c_str()); };
        for (int i = 0; i < kAppPathsCount; ++i)
            tree(HKEY_LOCAL_MACHINE, kAppPathsKey + "\\korvanewinegen" + std::to_string(i) + ".exe");
        for (int i = 0; i < kClassCount; ++i) tree(HKEY_CLASSES_ROOT, "CLSID\\" + ClassId(i));
        for (int i = 0; i < kExtensionCount; ++i)
            tree(HKEY_CURRENT_USER, kFileExtsKey + "\\.korvanewinegen" + std::to_string(i));
        for (int i = 0; i < kSharedDllCount; ++i)
            RemoveValue(HKEY_LOCAL_MACHINE, Widen(kSharedDllsKey).c_str(),
                        Widen(Gone("shared" + std::to_string(i) + ".dll")).c_str());
        for (int i = 0; i < kRunMruCount; ++i)
            RemoveValue(HKEY_CURRENT_USER, Widen(kRunMruKey).c_str(),
                        Widen("KorvaneWineGen" + std::to_string(i)).c_str());
        for (int i = 0; i < kUninstallCount; ++i)
            tree(HKEY_LOCAL_MACHINE, kUninstallKey + "\\KorvaneWineGen" + std::to_string(i));
    }
    // Presses a button whose handler may show a message box, answering it so that the test cannot
    // hang; true when no box came.
    bool PressWithoutABox(const Page& page, const Control& button) {
        BoxAnswerer answerer(IDOK);
        Press(page, button);
        const bool boxed = answerer.Finish();
        EXPECT_FALSE(boxed) << ::testing::PrintToString(answerer.Text());
        return !boxed;
    }

    Win32Registry seedRegistry_;
};

TEST_F(GeneratedRepairRestoreWindowTest, EveryRepairedEntryComesBackExactlyAfterARestart) {
    RegistryBackend& registry = platform->platform().registry;
    const auto before = ScannedAreas(registry);

    ScanPage& scan = form->tabScanErrors;
    ASSERT_TRUE(ScanThroughTheWindow());
    HWND errors = Hwnd(scan, scan.lvErrors);
    const int found = ListView_GetItemCount(errors);
    const int seeded =
        kAppPathsCount + kClassCount + kExtensionCount + kSharedDllCount + kRunMruCount + kUninstallCount;
    ASSERT_GE(found, seeded);
    Press(scan, scan.btnCheckAll);
    for (int i = 0; i < found; ++i) ASSERT_TRUE(ItemChecked(errors, i)) << i;
    ASSERT_TRUE(PressWithoutABox(scan, scan.btnFixSelected));
    EXPECT_EQ(ListView_GetItemCount(errors), 0);
    // The repair really happened.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Widen(kAppPathsKey + "\\korvanewinegen7.exe").c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, Widen("CLSID\\" + ClassId(7) + "\\InprocServer32").c_str()));
    EXPECT_FALSE(
        ValueExists(HKEY_LOCAL_MACHINE, Widen(kSharedDllsKey).c_str(), Widen(Gone("shared7.dll")).c_str()));
    EXPECT_NE(ScannedAreas(registry), before);

    // Closed, started again in the same folder, and everything restored.
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    Pump();
    ASSERT_FALSE(IsWindow(window->Handle()));
    window.reset();
    form.reset();
    Pump();
    form = std::make_unique<MainForm>(platform->platform());
    window = std::make_unique<MainWindow>(*form);
    ASSERT_TRUE(window->Handle());
    form->FormCreate();
    window->Show(SW_SHOWNORMAL);
    Pump();
    HistoryPage& history = form->tabHistory;
    ShowPage(history);
    HWND rows = Hwnd(history, history.lvHistory);
    ASSERT_EQ(ListView_GetItemCount(rows), found);
    Press(history, history.btnCheckAll1);
    ASSERT_TRUE(PressWithoutABox(history, history.btnRestore));
    EXPECT_EQ(ListView_GetItemCount(rows), 0);

    const auto after = ScannedAreas(registry);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(after[i].has_value(), before[i].has_value()) << i;
        if (!before[i]) continue;
        EXPECT_EQ(after[i]->size(), before[i]->size()) << i;
        for (const auto& [path, values] : *before[i]) {
            auto match = after[i]->find(path);
            ASSERT_NE(match, after[i]->end()) << i << " " << ::testing::PrintToString(path);
            EXPECT_EQ(match->second, values) << i << " " << ::testing::PrintToString(path);
        }
    }
}

}  // namespace
}  // namespace korvane::win32::testing
