// What one scan run remembers about reachability: the first test on a drive or a \\server\share
// decides for every later path on it, a server that let a test's budget run out answers "cannot tell"
// at once for the rest of the run, each distinct path is asked once, and a slow server that answers
// within the budget is an answering one.
#include <future>
#include <thread>

#include "ScanTestSupport.h"
#include "scan/ProbeMemory.h"

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

TEST(ProbeMemoryTest, ASlowServerThatAnswersWithinTheBudgetIsAnsweringOne) {
    MemoryFileSystem files;
    MemoryClock& clock = files.UseManualClock();
    files.AddFile("\\\\slow\\share\\app.exe");
    files.SetVolumeDelay("\\\\slow", milliseconds(1500));
    ProbeMemory memory(files, milliseconds(60000));
    auto answer = std::async(std::launch::async, [&] { return memory.Probe("\\\\slow\\share\\app.exe"); });
    // The share's root, then the path: each answers when the clock has moved on.
    for (std::uint64_t test = 1; test <= 2; ++test) {
        auto waiting = [&] { return files.WaitingTests() == 1 && files.ExistenceTestCount() == test; };
        for (int i = 0; i < 5000 && !waiting(); ++i) std::this_thread::sleep_for(milliseconds(1));
        ASSERT_TRUE(waiting()) << test;
        clock.Advance(milliseconds(1500));
    }
    const PathAnswer found = answer.get();
    EXPECT_TRUE(found.IsFile());
    EXPECT_EQ(found.Why(), "file found");
    EXPECT_EQ(memory.Tests(), 2u);
}

TEST(ProbeMemoryTest, EachDistinctPathIsAskedOnceEvenByThreadsAtOnce) {
    MemoryFileSystem files;
    files.AddFile("C:\\Apps\\app.exe");
    ProbeMemory memory(files);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int n = 0; n < 100; ++n) {
                EXPECT_TRUE(memory.Probe(n % 2 ? "C:\\Apps\\app.exe" : "c:\\APPS\\App.exe").IsFile());
                EXPECT_EQ(memory.Probe("C:\\Apps\\gone.exe").State(), PathState::Missing);
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(files.ExistenceTestCount(), 3u);  // C:\, app.exe, gone.exe
    EXPECT_EQ(memory.Tests(), 3u);
}

TEST(ProbeMemoryTest, OnlyADriveThatAnsweredFastIsExpectedToAnswerAtOnce) {
    MemoryFileSystem files;
    files.AddFile("C:\\Apps\\app.exe");
    files.AddFile("D:\\Apps\\app.exe");
    files.AddFile("\\\\files\\tools\\tool.exe");
    files.SetVolumeDelay("D:", milliseconds(5));  // real time: slower than any disk that answers at once
    // The speed of C: is measured in real time, and a busy machine may hold a test up past the limit
    // now and then: a run of its own is tried again, while D: must never count as fast.
    bool cAnsweredQuickly = false;
    for (int attempt = 0; attempt < 10 && !cAnsweredQuickly; ++attempt) {
        ProbeMemory memory(files);
        // Not met yet: its first test decides whether it answers at all.
        EXPECT_FALSE(memory.AnswersQuickly("C:\\Apps\\other.exe"));
        EXPECT_FALSE(memory.AnswersQuickly("D:\\Apps\\other.exe"));
        EXPECT_TRUE(memory.Probe("C:\\Apps\\app.exe").IsFile());
        EXPECT_TRUE(memory.Probe("D:\\Apps\\app.exe").IsFile());
        EXPECT_TRUE(memory.Probe("\\\\files\\tools\\tool.exe").IsFile());
        cAnsweredQuickly = memory.AnswersQuickly("C:\\Apps\\other.exe");
        EXPECT_FALSE(memory.AnswersQuickly("D:\\Apps\\other.exe"));
        EXPECT_FALSE(memory.AnswersQuickly("\\\\files\\tools\\other.exe"));  // a network path never is
        EXPECT_TRUE(memory.AnswersQuickly("notepad"));
    }
    EXPECT_TRUE(cAnsweredQuickly);
}

TEST(ProbeMemoryTest, PathsWithoutADriveOrServerAreAskedEachTime) {
    MemoryFileSystem files;
    files.AddFolder("C:\\A");
    ProbeMemory memory(files);
    EXPECT_TRUE(memory.Probe("A").IsFolder());
    files.setCurrentDirectory("C:\\A");
    EXPECT_EQ(memory.Probe("A").State(), PathState::Missing);  // the current folder moved
    EXPECT_EQ(memory.Tests(), 2u);
}

}  // namespace
}  // namespace korvane::testing
