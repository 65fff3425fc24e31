// korvanec.exe under Wine against the real registry: a scan lists the seeded stale entries as JSON and
// exits 1; fixing them one by one and restoring the whole history leaves the registry as it was. The
// exe runs from a scratch folder of its own, so its undo history is its own too.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "win32/scan/StaleEntries.h"

namespace korvane::win32::testing {
namespace {

std::filesystem::path OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

class KorvanecWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = std::filesystem::temp_directory_path() / L"korvanec-wine-test";
        std::filesystem::remove_all(scratch_);
        std::filesystem::create_directories(scratch_);
        std::filesystem::copy_file(OwnFolder() / L"korvanec.exe", scratch_ / L"korvanec.exe");
        SeedStaleEntries();
    }
    void TearDown() override {
        RemoveStaleEntries();
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }
    ChildOutput Korvanec(const std::wstring& arguments) {
        return RunAndRead(L"\"" + (scratch_ / L"korvanec.exe").wstring() + L"\" " + arguments);
    }
    static std::string Utf8(const std::wstring& bytes) { return std::string(bytes.begin(), bytes.end()); }
    static std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

    std::filesystem::path scratch_;
};

TEST_F(KorvanecWineTest, ScanListsTheSeededFindingsAndFixThenRestoreLeavesTheRegistryAsItWas) {
    const ChildOutput scan = Korvanec(L"scan --format json");
    ASSERT_EQ(scan.exitCode, 1) << Utf8(scan.text);
    const nlohmann::json findings = nlohmann::json::parse(Utf8(scan.text))["findings"];
    std::set<std::string> listed;
    for (const auto& finding : findings) listed.insert(finding["keyName"].get<std::string>());
    for (const ExpectedFinding& expected : SeededFindings())
        EXPECT_TRUE(listed.count(Narrow(expected.keyName))) << Narrow(expected.keyName);

    const auto appBefore = RegQuery(std::wstring(L"HKEY_LOCAL_MACHINE\\") + kAppEntry);
    const auto classBefore = RegQuery(std::wstring(L"HKEY_CLASSES_ROOT\\") + kClassServer);
    std::wstring keys;
    for (const ExpectedFinding& expected : SeededFindings()) keys += L" --key \"" + expected.keyName + L"\"";
    const ChildOutput fix = Korvanec(L"fix" + keys);
    ASSERT_EQ(fix.exitCode, 0) << Utf8(fix.text);
    EXPECT_NE(Utf8(fix.text).find("repaired 6 of 6 findings"), std::string::npos) << Utf8(fix.text);
    UniqueHkey gone;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppEntry, 0, KEY_READ, gone.put()), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(scratch_ / L"Backup.xml"));

    const ChildOutput restore = Korvanec(L"restore --all");
    ASSERT_EQ(restore.exitCode, 0) << Utf8(restore.text);
    EXPECT_EQ(RegQuery(std::wstring(L"HKEY_LOCAL_MACHINE\\") + kAppEntry), appBefore);
    EXPECT_EQ(RegQuery(std::wstring(L"HKEY_CLASSES_ROOT\\") + kClassServer), classBefore);
    for (const auto& [name, value] : AppEntryValues()) {
        const RawValue now = ReadRaw(HKEY_LOCAL_MACHINE, kAppEntry, name.c_str());
        EXPECT_EQ(now.type, value.type) << Narrow(name);
        EXPECT_EQ(now.data, value.data) << Narrow(name);
    }
    const ChildOutput again = Korvanec(L"scan --format json");
    EXPECT_EQ(again.exitCode, 1);
}

TEST_F(KorvanecWineTest, BadArgumentsExitTwo) {
    const ChildOutput bad = Korvanec(L"scan --group 99");
    EXPECT_EQ(bad.exitCode, 2) << Utf8(bad.text);
    EXPECT_FALSE(std::filesystem::exists(scratch_ / L"Backup.xml"));
}

}  // namespace
}  // namespace korvane::win32::testing
