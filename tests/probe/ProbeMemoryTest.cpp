// What one run's reachability memory answers on its own: each distinct path is asked once, even by
// threads at once; a slow server that answers within the budget is an answering one; only a drive
// that answered fast is expected to answer at once; paths without a drive or server are asked again.
#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

#include "platform/memory/MemoryFileSystem.h"
#include "probe/ProbeMemory.h"

namespace korvane::testing {
namespace {

using std::chrono::milliseconds;

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
