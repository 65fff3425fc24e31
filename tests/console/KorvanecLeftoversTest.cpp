// korvanec's uninstall with its leftover scan: the uninstaller waited for, the traces listed as JSON
// with their evidence, --clean removing only those with evidence, and the history bringing them back.
#include <nlohmann/json.hpp>
#include <sstream>

#include "console/Korvanec.h"
#include "uninstall/LeftoverScenario.h"

namespace korvane::testing {
namespace {

class KorvanecLeftoversTest : public LeftoverTest {
protected:
    KorvanecLeftoversTest() {
        memory.system().executable = "C:\\Korvane\\korvanec.exe";
        memory.processes().SetTreeBehaviour([this](const std::string&, MemoryJob& job) {
            job.Start([this](MemoryJob&) { RemoveWriterFiles(); });
            return true;
        });
    }
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return console::RunKorvanec(memory.platform(), args, out, err, false);
    }
    std::ostringstream out;
    std::ostringstream err;
    const std::string key = "HKEY_LOCAL_MACHINE\\" + kWriterEntry;
};

TEST_F(KorvanecLeftoversTest, RemoveWaitsListsWithEvidenceAndCleanTakesOnlyWhatHasEvidence) {
    registry().DeleteTreeRaw(HKLM, kPaintEntry);  // so that the settings key shows, unchecked
    const RegistryDump before = Dump();
    ASSERT_EQ(Run({"uninstall", "remove", "--key", key, "--quiet", "--clean"}), console::kExitOk)
        << err.str();
    EXPECT_EQ(memory.processes().Calls().at(0).commandLine, "\"" + kWriter + "\\uninst.exe\" /S");
    const nlohmann::json rows = nlohmann::json::parse(out.str());
    ASSERT_EQ(rows.size(), 14u);
    int removed = 0;
    for (const auto& row : rows) {
        EXPECT_EQ(row["program"], "Acme Writer");
        EXPECT_EQ(row["uninstaller"], "ended");
        EXPECT_EQ(row["removed"], row["proposed"]) << row.dump();
        removed += row["removed"].get<bool>() ? 1 : 0;
    }
    EXPECT_EQ(removed, 13);
    EXPECT_EQ(rows[0]["kind"], "appPath");
    EXPECT_EQ(rows[0]["evidence"], "points to " + kWriter + "\\writer.exe \xE2\x80\x94 file removed");
    EXPECT_TRUE(registry().KeyExistsRaw(HKCU, "Software\\Acme Corp\\Acme Writer"));  // a name match stays
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kWriterClsid));

    // The removal is in the history; restoring it gives back every value as it was after the uninstall.
    registry().DeleteTreeRaw(HKLM, kWriterEntry);
    ASSERT_EQ(Run({"restore", "--all"}), console::kExitOk) << err.str();
    RegistryDump expected = before;
    for (auto it = expected.begin(); it != expected.end();)
        it = it->first.find("|" + FoldCase(kWriterEntry) + "|") != std::string::npos ? expected.erase(it)
                                                                                     : ++it;
    EXPECT_EQ(Dump(), expected);
}

TEST_F(KorvanecLeftoversTest, LeftoversScansWithoutUninstallingAndAnUnknownKeyIsAnError) {
    RemoveWriterFiles();
    registry().SetString(HKLM, kWriterEntry, "DisplayName", "Acme Writer");
    registry().SetString(HKLM, kWriterEntry, "UninstallString", kWriter + "\\uninst.exe");
    ASSERT_EQ(Run({"uninstall", "leftovers", "--key", key}), console::kExitOk) << err.str();
    EXPECT_TRUE(memory.processes().Calls().empty());
    const nlohmann::json rows = nlohmann::json::parse(out.str());
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0]["kind"], "uninstallEntry");
    EXPECT_EQ(rows[0]["uninstaller"], "notRun");
    EXPECT_EQ(rows[0]["removed"], false);
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kWriterEntry));  // nothing removed without --clean

    EXPECT_EQ(Run({"uninstall", "leftovers", "--key", key + "Nope"}), console::kExitError);
    EXPECT_NE(err.str().find("no installed program"), std::string::npos);
    EXPECT_EQ(Run({"uninstall", "remove"}), console::kExitError);  // --key is required
}

}  // namespace
}  // namespace korvane::testing
