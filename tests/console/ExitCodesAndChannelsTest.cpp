// What fleet tools read of korvanec: the exit code, the last line, a file with the full document, an
// error stream that stays empty unless the command failed, and dry runs that change nothing.
#include <gtest/gtest.h>

#include "console/KorvanecFixture.h"
#include "core/DataFolder.h"

namespace korvane::console {
namespace {

using ExitCodesTest = KorvanecFixture;

TEST_F(ExitCodesTest, FindingsThatRestOnCannotTellAloneExitZero) {
    registry.DeleteTreeRaw(roots::LocalMachine, kAppPaths + "\\gone.exe");
    registry.DeleteTreeRaw(roots::LocalMachine, kSharedDlls);
    EXPECT_EQ(Run({"scan"}), kExitOk);
    memory.files().SetDriveNotReady("E:");
    registry.SetString(roots::LocalMachine, kAppPaths + "\\e.exe", "", "E:\\Setup\\e.exe");
    ASSERT_EQ(Run({"scan", "--format", "json"}), kExitOk) << "a drive that is not ready is no proof";
    ASSERT_EQ(Findings().size(), 1u);
    EXPECT_EQ(Findings()[0]["answer"], "cannotTell");
    EXPECT_EQ(Findings()[0]["checked"], false);
    EXPECT_EQ(Json()["counts"]["checked"], 0);
}

TEST_F(ExitCodesTest, ExitZeroKeepsTheCountsInTheOutput) {
    ASSERT_EQ(Run({"scan", "--exit-zero", "--summary"}), kExitOk);
    EXPECT_NE(LastLine().find("2 findings, 2 checked"), std::string::npos) << LastLine();
    EXPECT_NE(LastLine().find("exit 0"), std::string::npos) << LastLine();
    EXPECT_TRUE(err.str().empty());
}

TEST_F(ExitCodesTest, AFixThatLeavesEntriesExitsThree) {
    registry.DenyWrite(roots::LocalMachine, kSharedDlls);
    ASSERT_EQ(Run({"fix", "--all", "--format", "json"}), kExitLeft);
    EXPECT_EQ(Json()["changes"], 1);
    EXPECT_EQ(Json()["counts"]["left"], 1);
    for (const auto& finding : Findings())
        EXPECT_EQ(finding["outcome"], finding["group"]["name"] == "sharedDlls" ? "left" : "deleted");
    EXPECT_FALSE(err.str().empty()) << "a failed command says why on the error stream";
    EXPECT_TRUE(registry.ValueExistsRaw(roots::LocalMachine, kSharedDlls, "C:\\Gone\\shared.dll"));
}

TEST_F(ExitCodesTest, AHistoryThatCannotBeSavedLeavesEverythingAndExitsThree) {
    memory.files().FailWrite("C:\\Korvane\\Backup.xml");
    memory.files().FailWrite("C:\\Korvane\\Backup.xml.tmp");
    ASSERT_EQ(Run({"fix", "--all", "--summary"}), kExitLeft);
    EXPECT_NE(LastLine().find("changes 0, left 2"), std::string::npos) << LastLine();
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));
    EXPECT_NE(err.str().find("could not be saved"), std::string::npos) << err.str();
}

TEST_F(ExitCodesTest, ASecondWriterWaitsThenExitsTwo) {
    auto held = memory.system().lockNamed(WriterLockName("C:\\Korvane\\"), std::chrono::milliseconds(0));
    ASSERT_TRUE(held);
    EXPECT_EQ(Run({"fix", "--all"}), kExitError);
    EXPECT_NE(err.str().find("another Korvane program"), std::string::npos) << err.str();
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));
    EXPECT_FALSE(memory.files().ExistsRaw("C:\\Korvane\\Backup.xml"));
    // Reading needs no lock; and once the other writer is gone the fix goes ahead.
    EXPECT_EQ(Run({"scan"}), kExitFindings);
    held.reset();
    EXPECT_EQ(Run({"fix", "--all"}), kExitOk) << err.str();
    EXPECT_FALSE(memory.system().LockHeld(WriterLockName("C:\\Korvane\\")));
}

TEST_F(ExitCodesTest, OutWritesTheDocumentAndTheOutputIsTheSummaryAlone) {
    memory.files().AddFolder("C:\\Reports");
    memory.files().setCurrentDirectory("C:\\Reports");
    ASSERT_EQ(Run({"scan", "--out", "scan.json"}), kExitFindings);
    const auto text = memory.files().readFile("C:\\Reports\\scan.json");
    ASSERT_TRUE(text);
    EXPECT_EQ(nlohmann::json::parse(*text)["counts"]["findings"], 2);
    EXPECT_EQ(out.str(), LastLine() + "\n");
    EXPECT_EQ(LastLine().rfind("korvanec scan: 2 findings", 0), 0u) << LastLine();
    EXPECT_TRUE(err.str().empty());

    ASSERT_EQ(Run({"scan", "--out", "scan.csv", "--format", "csv"}), kExitFindings);
    EXPECT_EQ(memory.files().readFile("C:\\Reports\\scan.csv")->rfind("group,groupName,errorType", 0), 0u);

    memory.files().FailWrite("C:\\Reports\\locked.json");
    EXPECT_EQ(Run({"scan", "--out", "locked.json"}), kExitError);
    EXPECT_NE(err.str().find("cannot be written"), std::string::npos);
}

TEST_F(ExitCodesTest, DryRunsChangeNothing) {
    ASSERT_EQ(Run({"fix", "--key", kLm + kSharedDlls + "\\C:\\Gone\\shared.dll"}), kExitOk) << err.str();
    const std::optional<std::string> historyBefore = memory.files().readFile("C:\\Korvane\\Backup.xml");
    ASSERT_TRUE(historyBefore);
    const std::vector<std::string> keysBefore = registry.SubkeyNamesRaw(roots::LocalMachine, kAppPaths);
    const std::vector<std::string> valuesBefore = registry.ValueNamesRaw(roots::LocalMachine, kSharedDlls);

    ASSERT_EQ(Run({"fix", "--all", "--dry-run", "--format", "json"}), kExitOk) << err.str();
    EXPECT_EQ(Json()["changes"], 1);
    EXPECT_EQ(Json()["dryRun"], true);
    ASSERT_EQ(Findings().size(), 1u);
    EXPECT_EQ(Findings()[0]["outcome"], "wouldDelete");
    ASSERT_EQ(Run({"restore", "--all", "--dry-run", "--format", "json"}), kExitOk) << err.str();
    EXPECT_EQ(Json()["changes"], 1);
    EXPECT_EQ(Json()["entries"][0]["keys"], nlohmann::json::array({kLm + kSharedDlls}));
    EXPECT_EQ(Json()["entries"][0]["outcome"], "wouldWrite");
    ASSERT_EQ(Run({"restore", "--all", "--dry-run"}), kExitOk);
    EXPECT_EQ(out.str(), "would restore 1 of 1 entry\n");

    EXPECT_EQ(memory.files().readFile("C:\\Korvane\\Backup.xml"), historyBefore);
    EXPECT_EQ(registry.SubkeyNamesRaw(roots::LocalMachine, kAppPaths), keysBefore);
    EXPECT_EQ(registry.ValueNamesRaw(roots::LocalMachine, kSharedDlls), valuesBefore);
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));
}

TEST_F(ExitCodesTest, AFixReportsItsChanges) {
    ASSERT_EQ(Run({"fix", "--all", "--summary"}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "repaired 2 of 2 findings\n" + LastLine() + "\n");
    EXPECT_NE(LastLine().find("; changes 2, left 0"), std::string::npos) << LastLine();
    EXPECT_TRUE(err.str().empty()) << err.str();
}

}  // namespace
}  // namespace korvane::console
