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

#include "ScanBenchMachine.h"
#include "app/AppState.h"
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
    IgnorePage ignorePage{state};
    ScanPage page{state, ignorePage};
    Machine() {
        MemoryMachineSink sink(platform.registry(), platform.files());
        GenerateMachine(sink);
        state.IgnoreXML.Reset("IgnoreList");
        page.FillScanGroups();
    }
};

Machine& TheMachine() {
    static Machine machine;
    return machine;
}

// Raw backend calls, as few as the answers need.
class Bare {
public:
    Bare(RegistryBackend& registry, PathTester& paths) : r_(registry), paths_(paths) {}

    std::uint64_t findings = 0;
    std::uint64_t entries = 0;

    void Walk() {
        Values(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", false);
        Classes();
        for (const char* key :
             {"SOFTWARE\\Microsoft\\Windows\\Help", "SOFTWARE\\Microsoft\\Windows\\HTML Help"})
            TextValues(roots::LocalMachine, key, [](std::string d, const std::string& v) {
                if (!d.empty() && d.back() != '\\') d += '\\';
                return d + v;
            });
        TextValues(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                   [](std::string d, const std::string&) {
                       return d.find_first_of("\\:") == std::string::npos ? "C:\\WINDOWS\\FONTS\\" + d : d;
                   });
        TextValues(roots::CurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
                   [](std::string d, const std::string&) {
                       if (d.size() >= 2) d.erase(d.size() - 2);
                       const auto at = d.find_last_of(".\\:");
                       if (at == std::string::npos || d[at] != '.' || d.substr(at) != ".exe") d += ".exe";
                       return d;
                   });
        for (const char* key :
             {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs",
              "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs"})
            Leaves(key);
        Names(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls", true);
        Names(roots::LocalMachine, "SYSTEM\\ControlSet001\\Services\\lanmanserver\\Shares", false);
        Approved();
        Sounds();
        Values(roots::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true);
        Extensions();
    }

private:
    HKey Open(HKey parent, const std::string& path, std::uint32_t rights = access::AllAccess) {
        HKey key = 0;
        return r_.openKey(parent, path, rights, key) == status::Success ? key : 0;
    }
    std::vector<std::string> Subkeys(HKey key) {
        std::vector<std::string> names;
        r_.enumSubkeys(key, names);
        return names;
    }
    std::string Read(HKey key, const std::string& name) {
        RegValue value;
        if (r_.queryValue(key, name, value) != status::Success) return {};
        return std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
    }
    void Judge(const std::string& text) {
        ++entries;
        if (paths_.TargetMissing(text)) ++findings;
    }
    // Sub-keys whose default value (or UninstallString) names a file.
    void Values(HKey root, const std::string& path, bool uninstall) {
        const HKey base = Open(root, path);
        for (const auto& name : Subkeys(base)) {
            const HKey entry = Open(base, name);
            Judge(Read(entry, uninstall ? "UninstallString" : ""));
            r_.closeKey(entry);
        }
        r_.closeKey(base);
    }
    void Classes() {
        static const char* const names[] = {"InprocHandler", "InprocHandler32", "LocalServer",
                                            "LocalServer32", "DefaultIcon",     "PersistentHandler",
                                            "InprocServer",  "InprocServer32"};
        const HKey clsid = Open(roots::ClassesRoot, "CLSID");
        for (const auto& cls : Subkeys(clsid)) {
            ++entries;
            if (cls.empty() || cls[0] != '{') continue;
            const HKey key = Open(clsid, cls, access::Read);
            const auto present = Subkeys(key);
            r_.closeKey(key);
            for (const char* name : names) {
                for (const auto& have : present) {
                    if (have.size() != std::strlen(name) || strcasecmp(have.c_str(), name) != 0) continue;
                    const HKey sub = Open(clsid, cls + "\\" + name);
                    const std::string data = Read(sub, "");
                    r_.closeKey(sub);
                    if (!data.empty() && data[0] != '{' && paths_.TargetMissing(data)) ++findings;
                }
            }
        }
        r_.closeKey(clsid);
    }
    using Transform = std::function<std::string(std::string data, const std::string& name)>;
    void TextValues(HKey root, const std::string& path, const Transform& transform) {
        const HKey key = Open(root, path);
        std::vector<NamedRegValue> values;
        r_.enumValues(key, values, true);
        r_.closeKey(key);
        for (const auto& value : values) {
            if (value.name == "MRUList") continue;
            const auto& data = value.value.data;
            Judge(transform(std::string(data.begin(), std::find(data.begin(), data.end(), 0)), value.name));
        }
    }
    void Names(HKey root, const std::string& path, bool asFiles) {
        const HKey key = Open(root, path);
        std::vector<NamedRegValue> values;
        r_.enumValues(key, values, false);
        r_.closeKey(key);
        for (const auto& value : values) {
            if (asFiles) {
                Judge(value.name);
            } else {
                ++entries;
                if (value.name.size() == 2 && !paths_.FolderExists(value.name.substr(0, 1))) ++findings;
            }
        }
    }
    void Leaves(const std::string& path) {
        const HKey base = Open(roots::CurrentUser, path);
        for (const auto& name : Subkeys(base)) {
            ++entries;
            const HKey key = Open(base, name);
            KeyInfo info;
            if (key == 0 || r_.queryInfo(key, info) != status::Success || info.subkeyCount == 0) ++findings;
            r_.closeKey(key);
        }
        r_.closeKey(base);
    }
    void Approved() {
        const HKey key = Open(roots::LocalMachine,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved");
        std::vector<NamedRegValue> values;
        r_.enumValues(key, values, false);
        r_.closeKey(key);
        for (const auto& value : values) {
            const HKey server = Open(roots::ClassesRoot, "CLSID\\" + value.name + "\\InprocServer32");
            if (server == 0) continue;
            Judge(Read(server, ""));
            r_.closeKey(server);
        }
    }
    void Sounds() {
        const std::string apps = "AppEvents\\Schemes\\Apps";
        const HKey base = Open(roots::CurrentUser, apps);
        const auto names = Subkeys(base);
        r_.closeKey(base);
        for (const auto& app : names) {
            const HKey appKey = Open(roots::CurrentUser, apps + "\\" + app, access::Read);
            const auto events = Subkeys(appKey);
            r_.closeKey(appKey);
            for (const auto& event : events) {
                ++entries;  // one entry per event, both schemes
                for (const char* scheme : {".Current", ".Default"}) {
                    const HKey key = Open(roots::CurrentUser,
                                          apps + "\\" + app + "\\" + event + "\\" + scheme, access::Read);
                    if (paths_.TargetMissing(Read(key, ""))) ++findings;
                    r_.closeKey(key);
                }
            }
        }
    }
    void Extensions() {
        const HKey base =
            Open(roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts");
        for (const auto& name : Subkeys(base)) {
            ++entries;
            const HKey key = Open(roots::ClassesRoot, name, access::Read);
            if (key == 0) ++findings;
            r_.closeKey(key);
        }
        r_.closeKey(base);
    }

    RegistryBackend& r_;
    PathTester& paths_;
};

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
        Bare bare(m.platform.registry(), paths);
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
