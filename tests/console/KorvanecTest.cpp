// korvanec on an in-memory machine: its outputs parsed back, its exit codes, that bad arguments change
// nothing, the repair and restore road, the ignore list, and that it finds what the window finds.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "console/ConsoleScan.h"
#include "console/KorvanecFixture.h"
#include "console/TableOutput.h"
#include "scan/ScanPage.h"

namespace korvane::console {
namespace {

using KorvanecTest = KorvanecFixture;

TEST_F(KorvanecTest, ScanListsTheFindingsAsJsonAndExitsOne) {
    EXPECT_EQ(Run({"scan", "--format", "json"}), kExitFindings) << err.str();
    const nlohmann::json findings = Findings();
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0]["group"], (nlohmann::json{{"number", 0}, {"name", "appPaths"}}));
    EXPECT_EQ(findings[0]["keyName"], kLm + kAppPaths + "\\gone.exe");
    EXPECT_EQ(findings[0]["key"], (nlohmann::json{{"root", "HKEY_LOCAL_MACHINE"},
                                                  {"path", kAppPaths + "\\gone.exe"},
                                                  {"value", nullptr},
                                                  {"view", "64bit"}}));
    EXPECT_EQ(findings[0]["data"], "C:\\Gone\\gone.exe");
    EXPECT_EQ(findings[0]["answer"], "missing");
    EXPECT_EQ(findings[0]["checked"], true);
    EXPECT_EQ(findings[0]["profile"], nullptr);
    EXPECT_EQ(findings[1]["group"]["name"], "sharedDlls");
    EXPECT_EQ(findings[1]["keyName"], kLm + kSharedDlls + "\\C:\\Gone\\shared.dll");
    EXPECT_EQ(findings[1]["key"]["value"], "C:\\Gone\\shared.dll");
    EXPECT_EQ(Json()["counts"]["findings"], 2);
    EXPECT_EQ(Json()["counts"]["byGroup"], (nlohmann::json{{"appPaths", 1}, {"sharedDlls", 1}}));

    EXPECT_EQ(Run({"scan", "--group", "6", "--format", "json"}), kExitFindings);
    EXPECT_EQ(KeyNames(), std::vector<std::string>{kLm + kSharedDlls + "\\C:\\Gone\\shared.dll"});
    EXPECT_EQ(Run({"scan", "--group", "2", "--group", "3", "--format", "json"}), kExitOk);
    EXPECT_TRUE(Findings().empty());
    EXPECT_TRUE(err.str().empty()) << err.str();
}

TEST_F(KorvanecTest, TextAndCsvCarryTheSameRecords) {
    ASSERT_EQ(Run({"scan"}), kExitFindings);
    std::string text = out.str();
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "group\tgroupName\terrorType\tkeyName\tkeyValue\tguessPath\tchecked");
    EXPECT_NE(text.find("\t" + kLm + kAppPaths + "\\gone.exe\t"), std::string::npos);

    Records records = Records::array();
    records.push_back(Records{{"a", "plain"}, {"b", "with, comma"}, {"c", "say \"hi\""}, {"d", 3}});
    std::ostringstream csv;
    WriteRecords(csv, records, Format::Csv);
    EXPECT_EQ(csv.str(), "a,b,c,d\r\nplain,\"with, comma\",\"say \"\"hi\"\"\",3\r\n");
}

TEST_F(KorvanecTest, BadArgumentsGiveUsageAndExitTwoChangingNothing) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"frobnicate"},
                                                 {"scan", "--group", "12"},
                                                 {"scan", "--format", "xml"},
                                                 {"fix"},
                                                 {"fix", "--all", "--key", "x"},
                                                 {"restore"},
                                                 {"ignore", "add", "only-two", "parts"},
                                                 {"ignore", "remove"}}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(Run(args), kExitError);
        EXPECT_FALSE(err.str().empty());
    }
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));
    EXPECT_FALSE(memory.files().ExistsRaw("C:\\Korvane\\Backup.xml"));
    EXPECT_FALSE(memory.files().ExistsRaw("C:\\Korvane\\ignore.xml"));
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("scan"), std::string::npos);
}

TEST_F(KorvanecTest, FixThenRestoreLeavesTheRegistryAsItWas) {
    ASSERT_EQ(Run({"fix", "--all"}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "repaired 2 of 2 findings\n");
    EXPECT_FALSE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));
    EXPECT_FALSE(registry.ValueExistsRaw(roots::LocalMachine, kSharedDlls, "C:\\Gone\\shared.dll"));
    EXPECT_TRUE(memory.files().ExistsRaw("C:\\Korvane\\Backup.xml"));  // written ahead, as the window does
    EXPECT_EQ(Run({"scan"}), kExitOk);

    ASSERT_EQ(Run({"history", "--format", "json"}), kExitOk);
    ASSERT_EQ(Json()["entries"].size(), 2u);
    EXPECT_EQ(Json()["entries"][0]["index"], 0);
    EXPECT_EQ(Run({"restore", "--index", "5"}), kExitError);  // out of range: nothing restored
    EXPECT_FALSE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));

    ASSERT_EQ(Run({"restore", "--all"}), kExitOk) << err.str();
    EXPECT_EQ(registry.GetString(roots::LocalMachine, kAppPaths + "\\gone.exe", "Path"), "C:\\Gone");
    EXPECT_EQ(registry.GetValue(roots::LocalMachine, kSharedDlls, "C:\\Gone\\shared.dll")->data,
              (std::vector<std::uint8_t>{2, 0, 0, 0}));
    ASSERT_EQ(Run({"history", "--format", "json"}), kExitOk);
    EXPECT_TRUE(Json()["entries"].empty());
}

TEST_F(KorvanecTest, FixTakesOnlyTheNamedFindingsAndRefusesUnknownNames) {
    EXPECT_EQ(Run({"fix", "--key", kLm + kAppPaths + "\\nothing.exe"}), kExitError);
    EXPECT_NE(err.str().find("not a finding"), std::string::npos);
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));

    ASSERT_EQ(Run({"fix", "--key", kLm + kSharedDlls + "\\C:\\Gone\\shared.dll"}), kExitOk) << err.str();
    EXPECT_FALSE(registry.ValueExistsRaw(roots::LocalMachine, kSharedDlls, "C:\\Gone\\shared.dll"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));
}

TEST_F(KorvanecTest, FixFromAFileOfFindings) {
    ASSERT_EQ(Run({"scan", "--group", "0", "--format", "json"}), kExitFindings);
    memory.files().AddFile("C:\\Korvane\\chosen.json", out.str());
    EXPECT_EQ(Run({"fix", "--from", "C:\\Korvane\\chosen.json"}), kExitOk) << err.str();
    EXPECT_FALSE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));
    EXPECT_TRUE(registry.ValueExistsRaw(roots::LocalMachine, kSharedDlls, "C:\\Gone\\shared.dll"));
    memory.files().AddFile("C:\\Korvane\\bad.json", "{\"findings\": 3}");
    EXPECT_EQ(Run({"fix", "--from", "C:\\Korvane\\bad.json"}), kExitError);
    EXPECT_EQ(Run({"fix", "--from", "C:\\Korvane\\missing.json"}), kExitError);
}

TEST_F(KorvanecTest, TheIgnoreListHidesFindingsAsInTheWindow) {
    memory.files().setCurrentDirectory("C:\\Korvane");
    ASSERT_EQ(Run({"ignore", "add", "HKEY_LOCAL_MACHINE", kAppPaths, "gone.exe"}), kExitOk) << err.str();
    EXPECT_TRUE(memory.files().ExistsRaw("C:\\Korvane\\ignore.xml"));
    ASSERT_EQ(Run({"ignore", "list", "--format", "json"}), kExitOk);
    EXPECT_EQ(Json()["records"][0]["value"], "gone.exe");
    ASSERT_EQ(Run({"scan", "--format", "json"}), kExitFindings);
    EXPECT_EQ(KeyNames(), std::vector<std::string>{kLm + kSharedDlls + "\\C:\\Gone\\shared.dll"});
    EXPECT_EQ(Run({"ignore", "remove", "1"}), kExitError);
    ASSERT_EQ(Run({"ignore", "remove", "0"}), kExitOk);
    ASSERT_EQ(Run({"scan", "--format", "json"}), kExitFindings);
    EXPECT_EQ(KeyNames().size(), 2u);
}

TEST_F(KorvanecTest, StartupAndUninstallListsNameTheirColumnsAsIdentifiers) {
    registry.SetString(roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Tool",
                       "C:\\t.exe");
    registry.SetString(roots::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App",
                       "DisplayName", "An App");
    ASSERT_EQ(Run({"startup", "list", "--format", "json"}), kExitOk) << err.str();
    // Columns become identifiers: "Startup Items" is startupItems.
    const nlohmann::json listed = Json();
    bool found = false;
    for (const auto& row : listed["records"])
        found = found || (row["startupItems"] == "Tool" && row["command"] == "C:\\t.exe");
    EXPECT_TRUE(found) << out.str();
    ASSERT_EQ(Run({"uninstall", "list", "--format", "json"}), kExitOk) << err.str();
    EXPECT_NE(out.str().find("An App"), std::string::npos) << out.str();
}

// One core: the window's scan and the console's give the same rows, in the same order.
TEST_F(KorvanecTest, TheWindowFindsWhatTheConsoleFinds) {
    registry.CreateKey(roots::CurrentUser,
                       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.zzz");
    registry.SetString(roots::ClassesRoot, "CLSID\\{C}\\InprocServer32", "", "C:\\Gone\\c.dll");
    ASSERT_EQ(Run({"scan", "--format", "json"}), kExitFindings);
    const nlohmann::json console = Findings();

    UndoHistory history(state);
    IgnoreList ignoreList(memory.platform());
    ignoreList.Load();
    IgnorePage ignorePage(ignoreList);
    ScanPage page(state, history, ignoreList, ignorePage);
    page.FillScanGroups();
    page.btnStartScan.Click();
    ASSERT_TRUE(memory.ui().PumpUntil([&] { return !page.ScanErrorsThread.Active(); }));

    ASSERT_EQ(static_cast<std::size_t>(page.lvErrors.Count()), console.size());
    for (int row = 0; row < page.lvErrors.Count(); ++row) {
        const nlohmann::json& finding = console[static_cast<std::size_t>(row)];
        EXPECT_EQ(GroupOfErrorType(page.lvErrors.Item(row).caption), finding["group"]["number"]);
        EXPECT_EQ(page.lvErrors.SubItem(row, 0), finding["keyName"]);
        EXPECT_EQ(page.lvErrors.SubItem(row, 1), finding["data"]);
        EXPECT_EQ(page.lvErrors.Checked(row), finding["checked"]);
    }
}

}  // namespace
}  // namespace korvane::console
