// The one way into a scan run, as the window and the console take it: the groups in number order, each
// asked for just before its turn; a stop ends the walk before the next group; what a group filed
// reaches the sink before the run returns; the entries examined are counted; and the file tests see
// the file system as a 64-bit program does, whatever thread the run is started on.
#include <stop_token>
#include <string>
#include <vector>

#include "ScanTestSupport.h"
#include "scanwalk/ScanRun.h"

namespace korvane::testing {
namespace {

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// What the walk did, in the order it did it: "ask 3", "begin 3", "found 3", "count 3".
class EventSink : public RecordingSink {
public:
    std::vector<std::string> events;
    std::function<void(int)> onCount;

    void BeginGroup(int group) override {
        events.push_back("begin " + std::to_string(group));
        RecordingSink::BeginGroup(group);
    }
    void AddScanError(ScanFinding finding) override {
        events.push_back("found " + std::to_string(finding.group));
        RecordingSink::AddScanError(std::move(finding));
    }
    void WriteCount(int group) override {
        events.push_back("count " + std::to_string(group));
        RecordingSink::WriteCount(group);
        if (onCount) onCount(group);
    }
};

class ScanRunTest : public ::testing::Test {
protected:
    MemoryPlatform machine;
    MemoryRegistry& registry = machine.registry();
    MemoryFileSystem& files = machine.files();
    EventSink sink;
    std::stop_source stop;
    std::uint64_t examined = 0;

    void SetUp() override {
        registry.SetString(HKLM, kAppPaths + "\\a.exe", "", "C:\\Gone\\a.exe");
        registry.SetString(HKLM, kAppPaths + "\\b.exe", "", "C:\\Gone\\b.exe");
        registry.SetDword(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls", "C:\\Gone\\s.dll",
                          1);
    }

    // Runs the groups in `chosen`, noting each question the walk asks.
    void Walk(const std::vector<int>& chosen, ProbeConcurrency concurrency = {0, 1}) {
        const ScanRun run{registry, files, machine.system(), 6, concurrency};
        RunScan(
            run, sink, stop.get_token(),
            [&](int group) {
                sink.events.push_back("ask " + std::to_string(group));
                return std::find(chosen.begin(), chosen.end(), group) != chosen.end();
            },
            &examined);
    }
    std::vector<std::string> Asked() const {
        std::vector<std::string> asked;
        for (const std::string& event : sink.events)
            if (event.rfind("ask ", 0) == 0) asked.push_back(event);
        return asked;
    }
};

TEST_F(ScanRunTest, GroupsRunInNumberOrderEachChosenJustBeforeItsTurn) {
    Walk({6, 2, 0});
    EXPECT_EQ(sink.events, (std::vector<std::string>{
                               "ask 0",   "begin 0", "found 0", "found 0", "count 0", "ask 1",  "ask 2",
                               "begin 2", "count 2", "ask 3",   "ask 4",   "ask 5",   "ask 6",  "begin 6",
                               "found 6", "count 6", "ask 7",   "ask 8",   "ask 9",   "ask 10", "ask 11"}));
    EXPECT_EQ(examined, 3u);  // two App Paths keys and one shared DLL
}

TEST_F(ScanRunTest, AStopBetweenGroupsEndsTheWalkBeforeTheNextIsAskedFor) {
    sink.onCount = [this](int group) {
        if (group == 2) stop.request_stop();
    };
    Walk({0, 2, 6});
    ASSERT_GE(sink.events.size(), 2u);
    EXPECT_EQ(sink.events.back(), "count 2");
    EXPECT_EQ(Asked(), (std::vector<std::string>{"ask 0", "ask 1", "ask 2"}));
    EXPECT_EQ(sink.KeyNames(), (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + kAppPaths + "\\a.exe",
                                                         "HKEY_LOCAL_MACHINE\\" + kAppPaths + "\\b.exe"}));
    EXPECT_EQ(examined, 2u);
}

TEST_F(ScanRunTest, AStopAskedForBeforeTheRunRunsNothing) {
    stop.request_stop();
    Walk({0, 2, 6});
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(examined, 0u);
}

TEST_F(ScanRunTest, WhatTheWorkersTestedReachesTheSinkBeforeTheRunReturns) {
    // Every test goes to the pool: a network path is never judged at once.
    registry.SetString(HKLM, kAppPaths + "\\n.exe", "", "\\\\files\\tools\\n.exe");
    files.AddFolder("\\\\files\\tools");
    Walk({0}, ProbeConcurrency{3, 16});
    EXPECT_EQ(sink.KeyNames(), (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + kAppPaths + "\\a.exe",
                                                         "HKEY_LOCAL_MACHINE\\" + kAppPaths + "\\b.exe",
                                                         "HKEY_LOCAL_MACHINE\\" + kAppPaths + "\\n.exe"}));
    EXPECT_EQ(sink.written, (std::map<int, int>{{0, 3}}));
}

TEST_F(ScanRunTest, TheFileTestsSeePathsAsA64BitProgramDoesOnAnyThread) {
    // The 32-bit build on 64-bit Windows, started on a thread that holds no native-paths scope of its
    // own (the console's): System32 must not turn into SysWOW64 for a 64-bit entry.
    machine.system().Use64BitWindows10();
    files.AddFile("C:\\WINDOWS\\system32\\only64.dll");
    files.AddFile("C:\\WINDOWS\\SysWOW64\\only32.dll");
    files.EmulateWow64Process("C:\\WINDOWS\\system32", "C:\\WINDOWS\\SysWOW64");
    registry.SetString(HKLM, kAppPaths + "\\n64.exe", "", "C:\\WINDOWS\\system32\\only64.dll");
    registry.SetString(HKLM, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\n32.exe",
                       "", "C:\\WINDOWS\\system32\\only32.dll");
    Walk({0});
    EXPECT_THAT(sink.KeyNames(),
                ::testing::UnorderedElementsAre("HKEY_LOCAL_MACHINE\\" + kAppPaths + "\\a.exe",
                                                "HKEY_LOCAL_MACHINE\\" + kAppPaths + "\\b.exe"));
}

}  // namespace
}  // namespace korvane::testing
