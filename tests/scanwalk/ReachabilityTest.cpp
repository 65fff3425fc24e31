// What one scan run remembers about reachability: the first test on a drive or a \\server\share
// decides for every later path on it, a server that let a test's budget run out answers "cannot tell"
// at once for the rest of the run, and the memory lasts one run.
#include "ScanTestSupport.h"

namespace korvane::testing {
namespace {

using std::chrono::milliseconds;

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

class ReachabilityTest : public ScanGroupTest {
protected:
    // `count` App Paths entries named on `folder`.
    void Entries(const std::string& folder, int count, const std::string& tag = "") {
        for (int i = 0; i < count; ++i)
            Text(HKLM, kAppPaths + "\\" + tag + std::to_string(i) + ".exe", "",
                 folder + "\\app" + std::to_string(i) + ".exe");
    }
};

TEST_F(ReachabilityTest, TheFirstTestOnADriveThatDoesNotAnswerDecidesForEveryPathOnIt) {
    files.AddFolder("E:\\Setup");
    files.SetDriveNotReady("E:");
    Entries("E:\\Setup", 20, "e");
    Entries("Q:\\Tools", 20, "q");
    Run(0);
    ASSERT_EQ(sink.findings.size(), 40u);
    for (const ScanFinding& finding : sink.findings) EXPECT_FALSE(finding.certain);
    // One test of each drive's root; no path on them was asked.
    EXPECT_EQ(files.TestsOn("E:"), 1u);
    EXPECT_EQ(files.TestsOn("Q:"), 1u);
}

TEST_F(ReachabilityTest, AShareThatDoesNotAnswerIsAskedOnceAndAnAnsweringOnePerPath) {
    files.AddFile("\\\\files\\tools\\app0.exe");
    Entries("\\\\nobody\\share", 10, "n");
    Entries("\\\\files\\tools", 3, "f");
    Run(0);
    EXPECT_EQ(files.TestsOn("\\\\nobody"), 1u);
    // The root, then the three paths (app0 is there).
    EXPECT_EQ(files.TestsOn("\\\\files\\tools"), 4u);
    EXPECT_EQ(sink.findings.size(), 12u);
}

TEST_F(ReachabilityTest, AServerThatTimedOutAnswersAtOnceForEveryShareForTheRestOfTheRun) {
    files.UseManualClock();  // never moved: the server never answers
    files.AddFile("\\\\dead\\a\\app0.exe");
    files.AddFile("\\\\dead\\b\\app0.exe");
    files.SetVolumeUnreachable("\\\\dead");
    budget = milliseconds(50);
    Entries("\\\\dead\\a", 10, "a");
    Entries("\\\\dead\\b", 10, "b");
    Run(0);
    ASSERT_EQ(sink.findings.size(), 20u);
    for (const ScanFinding& finding : sink.findings) {
        EXPECT_FALSE(finding.certain);
        EXPECT_EQ(finding.evidence.answer, "server did not answer in 0.05 s");
    }
    // Only the first share's root was ever asked: one budget for the whole server.
    EXPECT_EQ(files.TestsOn("\\\\dead"), 1u);
}

TEST_F(ReachabilityTest, TheMemoryLastsOneRun) {
    files.SetDriveNotReady("E:");
    Entries("E:\\Setup", 3);
    Run(0);
    files.ClearFailures();
    files.AddFile("E:\\Setup\\app0.exe");
    sink.findings.clear();
    Run(0);  // a new run asks again, and the drive answers now
    EXPECT_EQ(sink.findings.size(), 2u);
    for (const ScanFinding& finding : sink.findings) EXPECT_TRUE(finding.certain);
}

}  // namespace
}  // namespace korvane::testing
