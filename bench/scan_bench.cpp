// The scan against a generated machine: the full scan through the page (worker thread, hand-overs to
// the window's thread, Key Names, labels, ignore test) versus a bare walk that does only what the
// answers need (the same keys listed, the same values read, each distinct path tested once, no UI).
// Prints the ratio of the two, registry calls and file tests per entry, and hand-overs per 1,000
// entries. `scan_bench --reg-file=PATH` writes the machine as a .reg file instead.
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
#include "registry/WindowsVersion.h"
#include "scan/IgnorePage.h"
#include "scan/PathTester.h"
#include "scan/ScanGroups.h"
#include "scan/ScanPage.h"

namespace korvane::bench {
namespace {

struct Machine {
    MemoryPlatform platform;
    AppState state{platform.platform()};
    UndoHistory history{state};
    IgnoreList ignoreList{platform.platform()};
    IgnorePage ignorePage{ignoreList};
    ScanPage page{state, history, ignoreList, ignorePage};
    Machine() {
        MemoryMachineSink sink(platform.registry(), platform.files());
        GenerateMachine(sink);
        ignoreList.Document().Reset("IgnoreList");
        page.FillScanGroups();
    }
};

Machine& TheMachine() {
    static Machine machine;
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

BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FullScan)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

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
    benchmark::Shutdown();
    return 0;
}
