// The in-memory file system's troubled volumes and paths: drives that are not there or not ready,
// servers that are slow or never answer (on a clock the test moves), paths that refuse access, the
// tests counted per volume, and the redirection a 32-bit program gets on 64-bit Windows.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "platform/memory/MemoryFileSystem.h"

namespace korvane {
namespace {

using std::chrono::milliseconds;

// Waits (in real time, briefly) until `count` tests wait for a slow volume.
bool WaitForWaiting(const MemoryFileSystem& fs, int count) {
    for (int i = 0; i < 2000 && fs.WaitingTests() < count; ++i) std::this_thread::sleep_for(milliseconds(1));
    return fs.WaitingTests() == count;
}

TEST(MemoryVolumesTest, ADriveThatIsNotThereOrNotReadyCannotTell) {
    MemoryFileSystem fs;
    fs.AddFile("E:\\Setup\\setup.exe");
    fs.SetDriveNotReady("e:");

    const PathProbe absent = fs.probePath("Q:\\app.exe");
    EXPECT_EQ(absent.state, PathState::CannotTell);
    EXPECT_EQ(absent.reason, PathReason::NoSuchDrive);
    const PathProbe notReady = fs.probePath("E:\\Setup\\setup.exe");
    EXPECT_EQ(notReady.state, PathState::CannotTell);
    EXPECT_EQ(notReady.reason, PathReason::DriveNotReady);
    EXPECT_EQ(notReady.error, fserror::NotReady);
    EXPECT_FALSE(fs.fileExists("E:\\Setup\\setup.exe"));  // the two-answer tests see nothing there

    fs.ClearFailures();
    EXPECT_TRUE(fs.probePath("E:\\Setup\\setup.exe").IsFile());
}

TEST(MemoryVolumesTest, AServerOrShareThatIsNotThereAndADeniedPathCannotTell) {
    MemoryFileSystem fs;
    fs.AddFile("\\\\files\\tools\\app.exe");
    fs.AddFile("C:\\Locked\\Inner\\x.dll");
    fs.DenyAccess("C:\\Locked");

    EXPECT_EQ(fs.probePath("\\\\nobody\\tools\\app.exe").reason, PathReason::ServerUnreachable);
    EXPECT_EQ(fs.probePath("\\\\files\\other\\app.exe").reason, PathReason::ShareUnavailable);
    EXPECT_TRUE(fs.probePath("\\\\FILES\\Tools\\APP.exe").IsFile());
    const PathProbe denied = fs.probePath("C:\\Locked\\Inner\\x.dll");
    EXPECT_EQ(denied.state, PathState::CannotTell);
    EXPECT_EQ(denied.reason, PathReason::AccessDenied);
    EXPECT_EQ(fs.probePath("C:\\Locked\\Inner\\missing.dll").reason, PathReason::AccessDenied);
    EXPECT_TRUE(fs.probePath("C:\\").IsFolder());
}

TEST(MemoryVolumesTest, ASlowServerAnswersTheTruthWhenTheTestsClockSaysSo) {
    MemoryFileSystem fs;
    MemoryClock& clock = fs.UseManualClock();
    fs.AddFile("\\\\slow\\share\\app.exe");
    fs.SetVolumeDelay("\\\\slow", milliseconds(1500));

    auto answer = std::async(std::launch::async, [&] { return fs.probePath("\\\\slow\\share\\app.exe"); });
    ASSERT_TRUE(WaitForWaiting(fs, 1));
    clock.Advance(milliseconds(1000));
    EXPECT_EQ(answer.wait_for(milliseconds(20)), std::future_status::timeout);
    // Meanwhile other volumes answer at once.
    EXPECT_TRUE(fs.probePath("C:\\").IsFolder());
    clock.Advance(milliseconds(500));
    EXPECT_TRUE(answer.get().IsFile());
    EXPECT_EQ(fs.WaitingTests(), 0);
}

TEST(MemoryVolumesTest, AServerThatNeverAnswersSaysSoOnlyWhenItsTimeHasCome) {
    MemoryFileSystem fs;
    MemoryClock& clock = fs.UseManualClock();
    fs.AddFile("\\\\dead\\share\\app.exe");
    fs.SetVolumeUnreachable("\\\\dead", milliseconds(30000));

    auto answer = std::async(std::launch::async, [&] { return fs.probePath("\\\\dead\\share\\app.exe"); });
    ASSERT_TRUE(WaitForWaiting(fs, 1));
    clock.Advance(milliseconds(29999));
    EXPECT_EQ(answer.wait_for(milliseconds(20)), std::future_status::timeout);
    clock.Advance(milliseconds(1));
    const PathProbe probe = answer.get();
    EXPECT_EQ(probe.state, PathState::CannotTell);
    EXPECT_EQ(probe.reason, PathReason::ServerUnreachable);
}

TEST(MemoryVolumesTest, GoingAwayReleasesTestsThatStillWait) {
    std::future<PathProbe> answer;
    {
        MemoryFileSystem fs;
        fs.UseManualClock();
        fs.SetVolumeUnreachable("\\\\dead");
        answer = std::async(std::launch::async, [&] { return fs.probePath("\\\\dead\\share\\app.exe"); });
        ASSERT_TRUE(WaitForWaiting(fs, 1));
    }
    EXPECT_EQ(answer.get().reason, PathReason::TimedOut);
}

TEST(MemoryVolumesTest, CountsTestsPerVolumeAndServer) {
    MemoryFileSystem fs;
    fs.probePath("\\\\srv\\a\\x.exe");
    fs.probePath("\\\\srv\\b\\y.exe");
    fs.probePath("\\\\other\\a\\z.exe");
    fs.fileExists("D:\\w.exe");
    EXPECT_EQ(fs.TestsOn("\\\\SRV"), 2u);
    EXPECT_EQ(fs.TestsOn("\\\\srv\\a"), 1u);
    EXPECT_EQ(fs.TestsOn("d:"), 1u);
    EXPECT_EQ(fs.TestsOn("C:"), 0u);
    fs.ResetCounters();
    EXPECT_EQ(fs.TestsOn("\\\\srv"), 0u);
}

TEST(MemoryVolumesTest, A32BitProgramsSystem32IsSysWow64UnlessItAsksForNativePaths) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\WINDOWS\\system32\\only64.dll");
    fs.AddFile("C:\\WINDOWS\\SysWOW64\\only32.dll");
    fs.AddFile("C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
    fs.EmulateWow64Process("C:\\WINDOWS\\system32", "C:\\WINDOWS\\SysWOW64");

    EXPECT_FALSE(fs.fileExists("C:\\WINDOWS\\system32\\only64.dll"));
    EXPECT_TRUE(fs.fileExists("c:\\windows\\SYSTEM32\\only32.dll"));
    EXPECT_TRUE(fs.fileExists("C:\\WINDOWS\\system32\\drivers\\etc\\hosts"));  // never redirected
    {
        const auto native = fs.nativePathsOnThisThread();
        EXPECT_TRUE(fs.fileExists("C:\\WINDOWS\\system32\\only64.dll"));
        EXPECT_FALSE(fs.fileExists("C:\\WINDOWS\\system32\\only32.dll"));
        // The scope is the thread's own: another thread is still redirected.
        bool other = true;
        std::thread([&] { other = fs.fileExists("C:\\WINDOWS\\system32\\only64.dll"); }).join();
        EXPECT_FALSE(other);
    }
    EXPECT_FALSE(fs.fileExists("C:\\WINDOWS\\system32\\only64.dll"));
}

}  // namespace
}  // namespace korvane
