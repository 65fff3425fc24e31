// The three answers of an existence test and the findings they make: "missing" only where Windows
// said so on a drive or share that answered (a checked row), "cannot tell" for drives that are not
// there or not ready, servers that do not answer or refuse, denied paths and time-outs (a row that is
// listed but never checked), and the evidence each finding keeps.
#include "ScanTestSupport.h"

namespace korvane::testing {
namespace {

using std::chrono::milliseconds;

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

class ExistenceAnswersTest : public ScanGroupTest {
protected:
    // One App Paths entry per case; the finding it makes, if any.
    const ScanFinding* Judge(const std::string& data) {
        registry.DeleteTreeRaw(HKLM, kAppPaths);
        sink.findings.clear();
        Text(HKLM, kAppPaths + "\\app.exe", "", data);
        Run(0);
        return sink.findings.empty() ? nullptr : &sink.findings.front();
    }
    void ExpectCertain(const std::string& data, const std::string& tested, const std::string& answer) {
        const ScanFinding* finding = Judge(data);
        ASSERT_NE(finding, nullptr) << data;
        EXPECT_TRUE(finding->certain) << data;
        EXPECT_EQ(finding->evidence, (Evidence{tested, answer})) << data;
    }
    void ExpectUnsure(const std::string& data, const std::string& tested, const std::string& answer) {
        const ScanFinding* finding = Judge(data);
        ASSERT_NE(finding, nullptr) << data;
        EXPECT_FALSE(finding->certain) << data;
        EXPECT_EQ(finding->evidence, (Evidence{tested, answer})) << data;
        EXPECT_EQ(finding->keyValue, data);
    }
};

TEST_F(ExistenceAnswersTest, PresentTargetsMakeNoFinding) {
    files.AddFile("C:\\Apps\\app.exe");
    files.AddFile("\\\\files\\tools\\tool.exe");
    files.AddFolder("C:\\Apps\\Folder");
    EXPECT_EQ(Judge("C:\\Apps\\app.exe"), nullptr);
    EXPECT_EQ(Judge("\"C:\\Apps\\app.exe\" /s"), nullptr);  // found through its guessed path
    EXPECT_EQ(Judge("\\\\files\\tools\\tool.exe"), nullptr);
    EXPECT_EQ(Judge("C:\\Apps\\Folder"), nullptr);
    EXPECT_EQ(Judge(""), nullptr);
}

TEST_F(ExistenceAnswersTest, WindowsSayingNotThereOnADriveOrShareThatAnsweredIsCertain) {
    files.AddFolder("C:\\Apps\\Folder");
    files.AddFile("\\\\files\\tools\\tool.exe");
    ExpectCertain("C:\\Apps\\gone.exe", "C:\\Apps\\gone.exe", "file not found");
    ExpectCertain("C:\\Gone\\gone.exe", "C:\\Gone\\gone.exe", "folder not found");
    ExpectCertain("\\\\files\\tools\\gone.exe", "\\\\files\\tools\\gone.exe", "file not found");
    ExpectCertain("C:\\Apps\\a<b>.exe", "C:\\Apps\\a<b>.exe", "not a valid file name");
    // The quoted program is a folder: there is no file of that name.
    ExpectCertain("\"C:\\Apps\\Folder\"", "C:\\Apps\\Folder", "a folder, not a file");
}

TEST_F(ExistenceAnswersTest, DrivesThatAreNotThereOrNotReadyCannotTell) {
    files.AddFile("E:\\Setup\\setup.exe");
    files.SetDriveNotReady("E:");
    ExpectUnsure("Q:\\Tools\\tool.exe", "Q:\\Tools\\tool.exe", "drive not there");
    ExpectUnsure("E:\\Setup\\setup.exe", "E:\\Setup\\setup.exe", "drive not ready");
}

TEST_F(ExistenceAnswersTest, ServersThatDoNotAnswerOrRefuseAndDeniedPathsCannotTell) {
    files.AddFile("\\\\files\\tools\\tool.exe");
    files.AddFile("C:\\Private\\Inner\\app.exe");
    files.DenyAccess("C:\\Private");
    ExpectUnsure("\\\\nobody\\share\\app.exe", "\\\\nobody\\share\\app.exe", "server not reachable");
    ExpectUnsure("\\\\files\\other\\app.exe", "\\\\files\\other\\app.exe", "share not available");
    ExpectUnsure("C:\\Private\\Inner\\gone.exe", "C:\\Private\\Inner\\gone.exe", "access denied");
}

TEST_F(ExistenceAnswersTest, AServerThatDoesNotAnswerWithinTheBudgetCannotTell) {
    files.UseManualClock();  // never moved: the server never answers
    files.AddFile("\\\\dead\\share\\app.exe");
    files.SetVolumeUnreachable("\\\\dead");
    budget = milliseconds(50);
    ExpectUnsure("\\\\dead\\share\\app.exe", "\\\\dead\\share\\app.exe", "server did not answer in 0.05 s");
}

TEST_F(ExistenceAnswersTest, TheTestOfTheQuotedProgramGivesTheEvidenceWhenItCannotTell) {
    files.SetDriveNotReady("E:");
    // The text as written names no file; its program lies on a drive that does not answer.
    ExpectUnsure("\"E:\\App\\app.exe\" /s", "E:\\App\\app.exe", "drive not ready");
}

}  // namespace
}  // namespace korvane::testing
