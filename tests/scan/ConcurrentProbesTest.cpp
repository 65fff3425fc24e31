// File tests run on a small pool while the registry walk goes on, so that slow storage overlaps the
// walk; the findings, their order, evidence, check marks and the counts are exactly those of a
// sequential run. The pool's threads, like the scan's own, see paths as a 64-bit program does.
#include <tuple>

#include "ScanPageSupport.h"

namespace korvane::testing {
namespace {

using std::chrono::milliseconds;

using Row = std::tuple<std::string, std::vector<std::string>, bool, std::string, std::string>;

class ConcurrentProbesTest : public ScanPageTest {
protected:
    void SetUp() override {
        ScanPageTest::SetUp();
        MemoryRegistry& r = memory.registry();
        MemoryFileSystem& f = memory.files();
        f.SetVolumeDelay("D:", milliseconds(1));  // slow, in real time
        f.SetDriveNotReady("E:");
        f.SetVolumeUnreachable("\\\\dead");
        page.probeBudget = milliseconds(100);
        const char* const places[] = {"C:\\Apps",         "D:\\Apps", "E:\\Apps", "\\\\dead\\share",
                                      "\\\\files\\tools", "Q:\\Apps", "C:\\Gone"};
        for (int i = 0; i < 700; ++i) {
            const std::string place = places[i % 7];
            const std::string file = place + "\\f" + std::to_string(i % 150) + (i % 3 ? ".exe" : ".dll");
            if (i % 4 == 0 && place != "E:\\Apps" && place != "Q:\\Apps" && place != "\\\\dead\\share")
                f.AddFile(file);
            const std::string n = std::to_string(i);
            switch (i % 4) {
                case 0:
                    r.SetString(roots::LocalMachine, kAppPathsKey + "\\a" + n + ".exe", "", file);
                    break;
                case 1:
                    r.SetString(roots::ClassesRoot, "CLSID\\{" + n + "}\\InprocServer32", "",
                                "\"" + file + "\"");
                    break;
                case 2:
                    r.SetDword(roots::LocalMachine, kSharedDllsKey, file, 1);
                    break;
                default:
                    r.SetString(roots::LocalMachine, kUninstallKey + "\\u" + n, "UninstallString",
                                file + " /x");
            }
        }
    }
    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        for (const ListItem& item : page.lvErrors.Items()) {
            const ErrorRowTag* tag = ErrorRowTagOf(item);
            rows.emplace_back(item.caption, item.subItems, item.checked, tag ? tag->evidence.tested : "",
                              tag ? tag->evidence.answer : "");
        }
        return rows;
    }
};

TEST_F(ConcurrentProbesTest, APoolOfTestsGivesExactlyTheRowsAndCountsOfASequentialRun) {
    page.probeConcurrency = ProbeConcurrency{0, 1};
    RunScan();
    const std::vector<Row> sequential = Rows();
    const std::vector<std::string> sequentialCounts = Counts();
    ASSERT_GT(sequential.size(), 400u);

    // A few tests in flight, and a window so small that the walk keeps waiting for the oldest.
    for (const ProbeConcurrency concurrency : {ProbeConcurrency{3, 64}, ProbeConcurrency{2, 3}}) {
        page.probeConcurrency = concurrency;
        RunScan();
        EXPECT_EQ(Rows(), sequential) << concurrency.workers << " workers";
        EXPECT_EQ(Counts(), sequentialCounts);
        EXPECT_EQ(page.lblScanLabel.Caption(), "Scan done !");
    }
    // Each kind of answer took part.
    std::set<std::string> answers;
    for (const Row& row : sequential) answers.insert(std::get<4>(row));
    for (const char* answer : {"file not found", "drive not ready", "drive not there",
                               "server did not answer in 0.1 s", "folder not found"})
        EXPECT_EQ(answers.count(answer), 1u) << answer;
}

TEST_F(ScanPageTest, TheScansThreadsSeePathsAsA64BitProgramDoes) {
    // The 32-bit build on 64-bit Windows: without the native-paths scope, System32 would be SysWOW64.
    memory.system().Use64BitWindows10();
    memory.files().AddFile("C:\\WINDOWS\\system32\\only64.dll");
    memory.files().AddFile("C:\\WINDOWS\\SysWOW64\\only32.dll");
    memory.files().EmulateWow64Process("C:\\WINDOWS\\system32", "C:\\WINDOWS\\SysWOW64");
    MemoryRegistry& r = memory.registry();
    r.SetString(roots::LocalMachine, kAppPathsKey + "\\n64.exe", "", "C:\\WINDOWS\\system32\\only64.dll");
    r.SetString(roots::LocalMachine,
                "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\n32.exe", "",
                "C:\\WINDOWS\\system32\\only32.dll");
    CheckOnly({0});
    for (const ProbeConcurrency concurrency : {ProbeConcurrency{0, 1}, ProbeConcurrency{3, 16}}) {
        page.probeConcurrency = concurrency;
        RunScan();
        EXPECT_THAT(Column(0),
                    ::testing::UnorderedElementsAre("HKEY_LOCAL_MACHINE\\" + kAppPathsKey + "\\a.exe",
                                                    "HKEY_LOCAL_MACHINE\\" + kAppPathsKey + "\\c.exe"));
    }
}

}  // namespace
}  // namespace korvane::testing
