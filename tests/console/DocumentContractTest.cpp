// The document every listing command writes: it validates against docs/korvanec.schema.json, its ids
// name the same entry on every run and differ between views and profiles, and its summary line fits
// what fleet tools keep.
#include <KorvanecSchema.h>
#include <gtest/gtest.h>

#include "console/FindingRecord.h"
#include "console/KorvanecFixture.h"
#include "console/RunDocument.h"
#include "support/SchemaValidator.h"

namespace korvane::console {
namespace {

class DocumentContractTest : public KorvanecFixture {
protected:
    void ExpectValid(const std::vector<std::string>& args, int code) {
        SCOPED_TRACE(::testing::PrintToString(args));
        ASSERT_EQ(Run(args), code) << err.str();
        const std::vector<std::string> errors = validator.Errors(Json());
        EXPECT_TRUE(errors.empty()) << ::testing::PrintToString(errors) << '\n' << out.str();
    }

    testing::SchemaValidator validator{nlohmann::json::parse(testing::kKorvanecSchema)};
};

TEST_F(DocumentContractTest, EveryCommandWritesAValidDocument) {
    memory.files().SetDriveNotReady("E:");
    registry.SetString(roots::LocalMachine, kAppPaths + "\\e.exe", "", "E:\\Setup\\e.exe");
    registry.SetString(roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Tool",
                       "C:\\t.exe");
    registry.SetString(roots::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App",
                       "DisplayName", "An App");
    ExpectValid({"scan", "--format", "json"}, kExitFindings);
    EXPECT_EQ(Json()["counts"]["byAnswer"],
              (nlohmann::json{{"missing", 2}, {"cannotTell", 1}, {"cameBack", 0}}));
    ExpectValid({"fix", "--all", "--dry-run", "--format", "json"}, kExitOk);
    ASSERT_EQ(Run({"ignore", "add", "HKEY_LOCAL_MACHINE", kAppPaths, "e.exe"}), kExitOk);
    ExpectValid({"fix", "--key", kLm + kAppPaths + "\\gone.exe", "--format", "json"}, kExitOk);
    ExpectValid({"history", "--format", "json"}, kExitOk);
    ExpectValid({"restore", "--all", "--dry-run", "--format", "json"}, kExitOk);
    ExpectValid({"restore", "--all", "--format", "json"}, kExitOk);
    ExpectValid({"ignore", "list", "--format", "json"}, kExitOk);
    ExpectValid({"startup", "list", "--format", "json"}, kExitOk);
    ExpectValid({"uninstall", "list", "--format", "json"}, kExitOk);
}

// The validator itself must catch what the schema forbids, or the test above proves nothing.
TEST_F(DocumentContractTest, TheValidatorRefusesWhatTheSchemaForbids) {
    ASSERT_EQ(Run({"scan", "--format", "json"}), kExitFindings);
    const nlohmann::json good = Json();
    ASSERT_TRUE(validator.Errors(good).empty());
    nlohmann::json bad = good;
    bad["findings"][0]["answer"] = "Missing";
    EXPECT_FALSE(validator.Errors(bad).empty());
    bad = good;
    bad["findings"][0].erase("id");
    EXPECT_FALSE(validator.Errors(bad).empty());
    bad = good;
    bad["findings"][0]["key"]["view"] = "wow64";
    EXPECT_FALSE(validator.Errors(bad).empty());
    bad = good;
    bad["schema"] = 2;
    EXPECT_FALSE(validator.Errors(bad).empty());
    bad = good;
    bad["extra"] = true;
    EXPECT_FALSE(validator.Errors(bad).empty());
}

TEST_F(DocumentContractTest, IdsAreStableAndDifferBetweenViewsAndProfiles) {
    ASSERT_EQ(Run({"scan", "--format", "json"}), kExitFindings);
    const std::string first = Findings()[0]["id"];
    EXPECT_EQ(Run({"scan", "--format", "json"}), kExitFindings);
    EXPECT_EQ(Findings()[0]["id"], first);
    // Known value: a change of the hash would break every fleet report that joins on ids.
    const KeyName app = KeyName::Key(roots::LocalMachine, kAppPaths + "\\gone.exe");
    EXPECT_EQ(FindingId(app), first);
    EXPECT_EQ(FindingId(KeyName::Key(roots::LocalMachine, FoldCase(kAppPaths + "\\GONE.EXE"))), first);

    const KeyName wow = KeyName::Key(roots::LocalMachine,
                                     "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\"
                                     "CurrentVersion\\App Paths\\gone.exe");
    EXPECT_NE(FindingId(wow), first);
    EXPECT_STREQ(ViewId(wow), "32bit");
    const KeyName alice = KeyName::Key(roots::Users, "S-1-5-21-1-2-3-1001\\Software\\X");
    const KeyName bob = KeyName::Key(roots::Users, "S-1-5-21-1-2-3-1002\\Software\\X");
    EXPECT_NE(FindingId(alice), FindingId(bob));
    EXPECT_NE(FindingId(KeyName::Value(roots::Users, alice.keyPath, "")), FindingId(alice));
    EXPECT_EQ(FindingId(app).size(), 16u);
}

TEST_F(DocumentContractTest, TheSummaryLineKeepsToTheLimitAndTellsTheCounts) {
    ASSERT_EQ(Run({"scan", "--summary", "--format", "json"}), kExitFindings);
    EXPECT_EQ(
        LastLine(),
        "korvanec scan: 2 findings, 2 checked (missing 2, cannotTell 0, cameBack 0); groups: appPaths 1, "
        "sharedDlls 1; exit 1");

    // A document whose parts are far too long still gives one line within the limit.
    Records document = {{"command", "scan"}, {"scope", Records::object()}};
    document["counts"] = {
        {"findings", 1}, {"checked", 1}, {"byAnswer", {{"missing", 1}}}, {"byGroup", Records::object()}};
    for (int i = 0; i < 300; ++i)
        document["counts"]["byGroup"]["group" + std::to_string(i) + std::string(20, 'x')] = 1;
    const std::string line = SummaryLine(document, 1);
    EXPECT_LE(line.size(), kSummaryLimit);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(line.substr(line.size() - 8), "; exit 1") << line;
    EXPECT_NE(line.find(" ...; exit 1"), std::string::npos) << "what was cut is marked";
}

TEST_F(DocumentContractTest, TimesAreWrittenInUtc) {
    EXPECT_EQ(UtcText(133549815090000000ull), "2024-03-15T13:05:09Z");
    EXPECT_EQ(UtcText(116444736000000000ull), "1970-01-01T00:00:00Z");
    EXPECT_EQ(UtcText(125911584000000000ull), "2000-01-01T00:00:00Z");
}

}  // namespace
}  // namespace korvane::console
