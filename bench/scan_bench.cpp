// The scan against a generated machine: the full scan through the page (worker thread, hand-overs to
// the window's thread, Key Names, labels, ignore test) versus a bare walk that does only what the
// answers need (the same keys listed, the same values read, each distinct path tested once, no UI).
// Prints the ratio of the two, registry calls and file tests per entry, and hand-overs per 1,000
// entries. Two more machines: the same one with 200 findings on 5 network servers that never answer
// (the scan must cost the bare walk plus at most 5 probe budgets, not 200 time-outs), and one whose
// drive answers each test after 2 ms (the pool of file tests against a sequential run).
// `scan_bench --reg-file=PATH` writes the machine as a .reg file instead.
#include <benchmark/benchmark.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "BareWalk.h"
#include "ScanBenchMachine.h"
#include "core/AppState.h"
#include "platform/memory/MemoryPlatform.h"
#include "probe/PathTester.h"
#include "registry/WindowsVersion.h"
#include "scan/IgnorePage.h"
#include "scan/ScanPage.h"
#include "scanwalk/ScanGroups.h"

namespace korvane::bench {
namespace {

struct Machine {
    MemoryPlatform platform;
    AppState state{platform.platform()};
    UndoHistory history{state};
    IgnoreList ignoreList{platform.platform()};
    IgnorePage ignorePage{ignoreList};
    ScanPage page{state, history, ignoreList, ignorePage};
    explicit Machine(bool generated = true) {
        if (generated) {
            MemoryMachineSink sink(platform.registry(), platform.files());
            GenerateMachine(sink);
        }
        ignoreList.Document().Reset("IgnoreList");
        page.FillScanGroups();
    }
    void Scan(benchmark::State& state) {
        page.btnStartScan.Click();
        if (!platform.ui().PumpUntil([&] { return !page.ScanErrorsThread.Active(); },
                                     std::chrono::minutes(5)))
            state.SkipWithError("the scan did not end");
    }
};

Machine& TheMachine() {
    static Machine machine;
    return machine;
}

constexpr int kDeadServers = 5;
constexpr int kDeadServerFindings = 200;

// The generated machine with App Paths entries on servers that never answer (simulated in real time).
Machine& DeadServerMachine() {
    static Machine machine;
    static const bool seeded = [] {
        MemoryRegistry& registry = machine.platform.registry();
        for (int server = 0; server < kDeadServers; ++server)
            machine.platform.files().SetVolumeUnreachable("\\\\dead" + std::to_string(server));
        for (int i = 0; i < kDeadServerFindings; ++i)
            registry.SetString(
                roots::LocalMachine,
                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\net" + std::to_string(i) + ".exe",
                "",
                "\\\\dead" + std::to_string(i % kDeadServers) + "\\share\\app" + std::to_string(i) + ".exe");
        return true;
    }();
    (void)seeded;
    return machine;
}

constexpr int kSlowEntries = 300;
constexpr std::chrono::milliseconds kSlowTest{2};

// Only App Paths entries, on a drive that answers each test after 2 ms.
Machine& SlowDriveMachine() {
    static Machine machine(false);
    static const bool seeded = [] {
        MemoryFileSystem& files = machine.platform.files();
        files.SetVolumeDelay("D:", kSlowTest);
        for (int i = 0; i < kSlowEntries; ++i) {
            const std::string file = "D:\\Apps\\app" + std::to_string(i) + ".exe";
            if (i % 10 != 0) files.AddFile(file);
            machine.platform.registry().SetString(
                roots::LocalMachine,
                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\app" + std::to_string(i) + ".exe",
                "", file);
        }
        return true;
    }();
    (void)seeded;
    return machine;
}

std::map<std::string, double> g_seconds;  // name -> real time per iteration

void Report(benchmark::State& state, Machine& m, double entries) {
    state.counters["entries"] = entries;
    state.counters["registry_calls_per_entry"] = static_cast<double>(m.platform.registry().CallCount()) /
                                                 entries / static_cast<double>(state.iterations());
    state.counters["file_tests_per_entry"] = static_cast<double>(m.platform.files().ExistenceTestCount()) /
                                             entries / static_cast<double>(state.iterations());
}

void BM_BareWalk(benchmark::State& state) {
    Machine& m = TheMachine();
    m.platform.registry().ResetCounters();
    m.platform.files().ResetCounters();
    std::uint64_t findings = 0, entries = 0;
    for (auto _ : state) {
        PathTester paths(m.platform.files(), m.platform.system(), m.platform.registry());
        BareWalk bare(m.platform.registry(), paths);
        bare.Walk();
        findings = bare.findings;
        entries = bare.entries;
    }
    state.counters["findings"] = static_cast<double>(findings);
    Report(state, m, static_cast<double>(entries));
}

void BM_FullScan(benchmark::State& state) {
    Machine& m = TheMachine();
    m.platform.registry().ResetCounters();
    m.platform.files().ResetCounters();
    for (auto _ : state) {
        m.page.btnStartScan.Click();
        if (!m.platform.ui().PumpUntil([&] { return !m.page.ScanErrorsThread.Active(); },
                                       std::chrono::minutes(5)))
            state.SkipWithError("the scan did not end");
    }
    const double entries = static_cast<double>(m.page.LastRunEntries());
    state.counters["findings"] = m.page.lvErrors.Count();
    state.counters["handovers_per_1000_entries"] =
        static_cast<double>(m.page.LastRunHandOvers()) * 1000.0 / entries;
    Report(state, m, entries);
}

// The full scan of the machine with servers that never answer, with the program's own budget.
void BM_FullScanDeadServers(benchmark::State& state) {
    Machine& m = DeadServerMachine();
    for (auto _ : state) m.Scan(state);
    int unchecked = 0;
    for (const ListItem& row : m.page.lvErrors.Items()) unchecked += row.checked ? 0 : 1;
    state.counters["unchecked_findings"] = unchecked;
    state.counters["tests_on_dead_servers_per_run"] =
        static_cast<double>(
            m.platform.files().TestsOn("\\\\dead0") + m.platform.files().TestsOn("\\\\dead1") +
            m.platform.files().TestsOn("\\\\dead2") + m.platform.files().TestsOn("\\\\dead3") +
            m.platform.files().TestsOn("\\\\dead4")) /
        static_cast<double>(state.iterations());
    m.platform.files().ResetCounters();
}

// The slow drive, tested on the walk's own thread and on the pool.
void BM_SlowDriveSequential(benchmark::State& state) {
    Machine& m = SlowDriveMachine();
    m.page.probeConcurrency = ProbeConcurrency{0, 1};
    for (auto _ : state) m.Scan(state);
    state.counters["findings"] = m.page.lvErrors.Count();
}

void BM_SlowDrivePool(benchmark::State& state) {
    Machine& m = SlowDriveMachine();
    m.page.probeConcurrency = ProbeConcurrency{};
    for (auto _ : state) m.Scan(state);
    state.counters["findings"] = m.page.lvErrors.Count();
}

BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FullScan)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FullScanDeadServers)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_SlowDriveSequential)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SlowDrivePool)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // With repetitions the median stands for the benchmark; otherwise its single run.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !medians_.count(run.run_name.function_name)))
                g_seconds[run.run_name.function_name] = run.GetAdjustedRealTime();
            if (median) medians_.insert(run.run_name.function_name);
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    std::set<std::string> medians_;
};

}  // namespace
}  // namespace korvane::bench

int main(int argc, char** argv) {
    using namespace korvane::bench;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--reg-file=", 0) == 0) {
            RegFileSink sink;
            GenerateMachine(sink);
            std::ofstream(arg.substr(11), std::ios::binary) << sink.RegText();
            std::ofstream(arg.substr(11) + ".files", std::ios::binary) << [&] {
                std::string list;
                for (const auto& file : sink.files) list += file + "\r\n";
                return list;
            }();
            std::printf("wrote %s and %s.files (%zu files)\n", arg.substr(11).c_str(), arg.substr(11).c_str(),
                        sink.files.size());
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double bare = g_seconds["BM_BareWalk"];
    const double full = g_seconds["BM_FullScan"];
    if (bare > 0 && full > 0)
        std::printf("in-memory: full scan / bare walk = %.2f (goal <= 1.3)\n", full / bare);
    const double dead = g_seconds["BM_FullScanDeadServers"];
    const double budget = std::chrono::duration<double, std::milli>(korvane::kProbeBudget).count();
    if (bare > 0 && dead > 0)
        std::printf("dead servers: (full scan - bare walk) / probe budget = %.2f (goal <= %d, %d findings)\n",
                    (dead - bare) / budget, kDeadServers, kDeadServerFindings);
    const double sequential = g_seconds["BM_SlowDriveSequential"];
    const double pool = g_seconds["BM_SlowDrivePool"];
    if (sequential > 0 && pool > 0)
        std::printf("slow drive: pool of tests / sequential tests = %.2f\n", pool / sequential);
    benchmark::Shutdown();
    return 0;
}
