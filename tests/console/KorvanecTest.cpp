// korvanec on an in-memory machine: its outputs parsed back, its exit codes, that bad arguments change
// nothing, the repair and restore road, the ignore list, and that it finds what the window finds.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "console/Korvanec.h"
#include "console/TableOutput.h"
#include "scan/ScanPage.h"
#include "support/AppFixture.h"

namespace korvane::console {
namespace {

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const std::string kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
const std::string kLm = "HKEY_LOCAL_MACHINE\\";

class KorvanecTest : public testing::AppFixture {
protected:
    KorvanecTest() {
        memory.system().executable = "C:\\Korvane\\korvanec.exe";
        registry.SetString(roots::LocalMachine, kAppPaths + "\\gone.exe", "", "C:\\Gone\\gone.exe");
        registry.SetString(roots::LocalMachine, kAppPaths + "\\gone.exe", "Path", "C:\\Gone");
        registry.SetString(roots::LocalMachine, kAppPaths + "\\here.exe", "", "C:\\Apps\\here.exe");
        memory.files().AddFile("C:\\Apps\\here.exe");
        registry.SetDword(roots::LocalMachine, kSharedDlls, "C:\\Gone\\shared.dll", 2);
    }

    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return RunKorvanec(memory.platform(), args, out, err, false);
    }
    nlohmann::json Json() { return nlohmann::json::parse(out.str()); }
    std::vector<std::string> KeyNames() {
        std::vector<std::string> names;
        for (const auto& finding : Json()) names.push_back(finding["keyName"]);
        return names;
    }

    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(KorvanecTest, ScanListsTheFindingsAsJsonAndExitsOne) {
    EXPECT_EQ(Run({"scan", "--format", "json"}), kExitFindings) << err.str();
    const nlohmann::json findings = Json();
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0]["errorType"], "Application");
    EXPECT_EQ(findings[0]["group"], 0);
    EXPECT_EQ(findings[0]["keyName"], kLm + kAppPaths + "\\gone.exe");
    EXPECT_EQ(findings[0]["keyValue"], "C:\\Gone\\gone.exe");
    EXPECT_EQ(findings[0]["checked"], true);
    EXPECT_EQ(findings[1]["errorType"], "Shared DLLs");
    EXPECT_EQ(findings[1]["keyName"], kLm + kSharedDlls + "\\C:\\Gone\\shared.dll");

    EXPECT_EQ(Run({"scan", "--group", "6", "--format", "json"}), kExitFindings);
    EXPECT_EQ(KeyNames(), std::vector<std::string>{kLm + kSharedDlls + "\\C:\\Gone\\shared.dll"});
    EXPECT_EQ(Run({"scan", "--group", "2", "--group", "3", "--format", "json"}), kExitOk);
    EXPECT_EQ(out.str(), "[]\n");
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
    ASSERT_EQ(Json().size(), 2u);
    EXPECT_EQ(Json()[0]["index"], 0);
    EXPECT_EQ(Run({"restore", "--index", "5"}), kExitError);  // out of range: nothing restored
    EXPECT_FALSE(registry.KeyExistsRaw(roots::LocalMachine, kAppPaths + "\\gone.exe"));

    ASSERT_EQ(Run({"restore", "--all"}), kExitOk) << err.str();
    EXPECT_EQ(registry.GetString(roots::LocalMachine, kAppPaths + "\\gone.exe", "Path"), "C:\\Gone");
    EXPECT_EQ(registry.GetValue(roots::LocalMachine, kSharedDlls, "C:\\Gone\\shared.dll")->data,
              (std::vector<std::uint8_t>{2, 0, 0, 0}));
    ASSERT_EQ(Run({"history", "--format", "json"}), kExitOk);
    EXPECT_TRUE(Json().empty());
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
    EXPECT_EQ(Json()[0]["value"], "gone.exe");
    ASSERT_EQ(Run({"scan", "--format", "json"}), kExitFindings);
    EXPECT_EQ(KeyNames(), std::vector<std::string>{kLm + kSharedDlls + "\\C:\\Gone\\shared.dll"});
    EXPECT_EQ(Run({"ignore", "remove", "1"}), kExitError);
    ASSERT_EQ(Run({"ignore", "remove", "0"}), kExitOk);
    ASSERT_EQ(Run({"scan", "--format", "json"}), kExitFindings);
    EXPECT_EQ(KeyNames().size(), 2u);
}

TEST_F(KorvanecTest, StartupAndUninstallListsTitleTheirColumns) {
    registry.SetString(roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Tool",
                       "C:\\t.exe");
    registry.SetString(roots::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App",
                       "DisplayName", "An App");
    ASSERT_EQ(Run({"startup", "list", "--format", "json"}), kExitOk) << err.str();
    bool found = false;
    for (const auto& row : Json()) found = found || row.dump().find("C:\\\\t.exe") != std::string::npos;
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
    const nlohmann::json console = Json();

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
        EXPECT_EQ(page.lvErrors.Item(row).caption, finding["errorType"]);
        EXPECT_EQ(page.lvErrors.SubItem(row, 0), finding["keyName"]);
        EXPECT_EQ(page.lvErrors.SubItem(row, 1), finding["keyValue"]);
        EXPECT_EQ(page.lvErrors.SubItem(row, 2), finding["guessPath"]);
        EXPECT_EQ(page.lvErrors.Checked(row), finding["checked"]);
    }
}

}  // namespace
}  // namespace korvane::console
