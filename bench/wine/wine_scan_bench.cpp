// The scan benchmark under Wine, against the real registry and file system: the benchmark machine
// (bench/ScanBenchMachine.h) is imported once with the registry editor and its files are created, then
// the full scan (the scan page's engine on the Win32 platform, findings handed to a pumped UI thread,
// no window) and the bare walk are timed alternately in the same run. Prints medians, the ratio, and
// registry calls and file tests per entry for both.
// Usage: wine_scan_bench.exe [--scale=PERCENT (25)] [--reps=N (9)] [--seed-only]
//        [--hand-over-ms=N: an experiment with another hand-over interval than the program's]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "BareWalk.h"
#include "ScanBenchMachine.h"
#include "core/AppState.h"
#include "probe/PathTester.h"
#include "scan/IgnorePage.h"
#include "scan/ScanPage.h"
#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"
#include "win32/platform/Win32Dialogs.h"
#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32Processes.h"
#include "win32/platform/Win32Registry.h"
#include "win32/platform/Win32SystemInfo.h"
#include "win32/platform/Win32UiThread.h"
#include "wine/Counting.h"

namespace korvane::bench {
namespace {

using Clock = std::chrono::steady_clock;
using win32::Widen;

constexpr wchar_t kMarkerKey[] = L"Software\\KorvaneWineBench";

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

MachineSize Scaled(int percent) {
    MachineSize size;
    auto scale = [percent](int& n) { n = std::max(1, n * percent / 100); };
    scale(size.classes);
    scale(size.appPaths);
    scale(size.sharedDlls);
    scale(size.uninstall);
    scale(size.fileExts);
    scale(size.soundApps);
    return size;
}

std::wstring Marker() {
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kMarkerKey, L"Seeded", RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return {};
    return text;
}

// Creates an empty file and the folders above it; `made` remembers the folders already made.
bool CreateEmptyFile(const std::string& path, std::set<std::wstring>& made) {
    const std::wstring wide = Widen(path);
    for (size_t at = wide.find(L'\\', 3); at != std::wstring::npos; at = wide.find(L'\\', at + 1))
        if (made.insert(wide.substr(0, at)).second) CreateDirectoryW(wide.substr(0, at).c_str(), nullptr);
    win32::UniqueFile file(
        CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

// Imports the machine with the registry editor and creates its files, once per Wine prefix.
bool Seed(int percent, FileSystem& files, SystemInfo& system, Processes& processes) {
    const std::wstring want = L"scale " + std::to_wstring(percent);
    const std::wstring have = Marker();
    if (have == want) return true;
    if (!have.empty()) {
        std::fprintf(stderr,
                     "this Wine prefix holds the machine at another scale (%ls): use a fresh prefix\n",
                     have.c_str());
        return false;
    }
    RegFileSink sink;
    GenerateMachine(sink, Scaled(percent));
    std::string folder = system.tempDirectory();
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    const std::string regFile = folder + "korvane_bench.reg";
    if (!files.writeFile(regFile, sink.RegText())) {
        std::fprintf(stderr, "cannot write %s\n", regFile.c_str());
        return false;
    }
    const auto t0 = Clock::now();
    const auto code = processes.runHiddenAndWait("C:\\windows\\regedit.exe /s \"" + regFile + "\"", folder);
    if (!code || *code != 0) {
        std::fprintf(stderr, "regedit /s %s failed\n", regFile.c_str());
        return false;
    }
    const auto t1 = Clock::now();
    size_t failed = 0;
    std::set<std::wstring> made;
    for (const std::string& file : sink.files)
        if (!CreateEmptyFile(file, made)) ++failed;
    files.deleteFile(regFile);
    std::printf("wine: seeded the machine at %d%%: regedit /s took %.1f s, %zu files created in %.1f s%s\n",
                percent, Seconds(t1 - t0), sink.files.size() - failed, Seconds(Clock::now() - t1),
                failed ? " (some could not be created)" : "");
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kMarkerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        win32::UniqueHkey owner(key);
        RegSetValueExW(key, L"Seeded", 0, REG_SZ, reinterpret_cast<const BYTE*>(want.c_str()),
                       static_cast<DWORD>((want.size() + 1) * sizeof(wchar_t)));
    }
    return failed == 0;
}

// CPU time of this process, all threads (Wine's server works in a process of its own).
double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto value = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return value(kernel) + value(user);
}

struct MeasuredRun {
    double seconds = 0;
    double cpu = 0;
    std::uint64_t calls = 0, tests = 0, entries = 0, findings = 0;
    long long handOvers = 0;
};

double Fastest(const std::vector<MeasuredRun>& runs) {
    double best = runs.front().seconds;
    for (const MeasuredRun& run : runs) best = std::min(best, run.seconds);
    return best;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
double Median(const std::vector<MeasuredRun>& runs, double MeasuredRun::*field = &MeasuredRun::seconds) {
    std::vector<double> values;
    for (const MeasuredRun& run : runs) values.push_back(run.*field);
    return Median(values);
}

void Print(const char* name, const std::vector<MeasuredRun>& runs) {
    const MeasuredRun& last = runs.back();
    std::printf("wine: %-9s median %8.1f ms  (", name, Median(runs) * 1000);
    for (size_t i = 0; i < runs.size(); ++i) std::printf("%s%.0f", i ? " " : "", runs[i].seconds * 1000);
    const double entries = static_cast<double>(last.entries);
    std::printf(
        ")  CPU %.1f ms  entries %llu, findings %llu, registry calls/entry %.2f, file tests/entry %.3f",
        Median(runs, &MeasuredRun::cpu) * 1000, static_cast<unsigned long long>(last.entries),
        static_cast<unsigned long long>(last.findings), static_cast<double>(last.calls) / entries,
        static_cast<double>(last.tests) / entries);
    if (last.handOvers) std::printf(", hand-overs/1000 entries %.2f", last.handOvers * 1000.0 / entries);
    std::printf("\n");
}

int Main(int argc, char** argv) {
    int percent = 25, reps = 9;
    int handOverMs = -1;  // an experiment: another hand-over interval than the program's own
    bool seedOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--scale=", 0) == 0)
            percent = std::atoi(arg.c_str() + 8);
        else if (arg.rfind("--reps=", 0) == 0)
            reps = std::atoi(arg.c_str() + 7);
        else if (arg.rfind("--hand-over-ms=", 0) == 0)
            handOverMs = std::atoi(arg.c_str() + 15);
        else if (arg == "--seed-only")
            seedOnly = true;
        else {
            std::fprintf(
                stderr,
                "usage: wine_scan_bench.exe [--scale=PERCENT] [--reps=N] [--hand-over-ms=N] [--seed-only]\n");
            return 2;
        }
    }
    if (percent < 1 || reps < 1) return 2;

    win32::Win32Registry realRegistry;
    win32::Win32FileSystem realFiles;
    CountingRegistry registry(realRegistry);
    CountingFileSystem files(realFiles);
    win32::Win32SystemInfo system;
    win32::Win32Processes processes;
    win32::Win32UiThread ui;
    win32::Win32Dialogs dialogs;
    Platform platform{registry, files, system, processes, ui, dialogs};
    if (!Seed(percent, realFiles, system, processes)) return 1;
    if (seedOnly) return 0;

    AppState state(platform);
    UndoHistory history(state);
    IgnoreList ignoreList(platform);
    IgnorePage ignorePage(ignoreList);
    ScanPage page(state, history, ignoreList, ignorePage);
    ignoreList.Document().Reset("IgnoreList");
    page.FillScanGroups();
    if (handOverMs >= 0) {
        page.handOverPolicy.interval = std::chrono::milliseconds(handOverMs);
        std::printf("wine: experiment: hand-over interval %d ms instead of the program's own\n", handOverMs);
    }

    auto bare = [&] {
        registry.Reset();
        files.Reset();
        MeasuredRun run;
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = Clock::now();
        PathTester paths(files, system, registry);
        BareWalk walk(registry, paths);
        walk.Walk();
        run.seconds = Seconds(Clock::now() - t0);
        run.cpu = ProcessCpuSeconds() - cpu0;
        run.calls = registry.Calls();
        run.tests = files.Tests();
        run.entries = walk.entries;
        run.findings = walk.findings;
        return run;
    };
    auto full = [&] {
        registry.Reset();
        files.Reset();
        MeasuredRun run;
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = Clock::now();
        page.btnStartScan.Click();
        while (page.ScanErrorsThread.Active()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            ui.pump();
        }
        run.seconds = Seconds(Clock::now() - t0);
        run.cpu = ProcessCpuSeconds() - cpu0;
        run.calls = registry.Calls();
        run.tests = files.Tests();
        run.entries = page.LastRunEntries();
        run.findings = static_cast<std::uint64_t>(page.lvErrors.Count());
        run.handOvers = page.LastRunHandOvers();
        if (page.lblScanLabel.Caption() != "Scan done !")
            std::fprintf(stderr, "the scan ended with \"%s\"\n", page.lblScanLabel.Caption().c_str());
        return run;
    };

    // One unmeasured round warms Wine's server and the file caches; then both alternate, each going
    // first every other time, so that a change of the machine's load falls on both alike.
    bare();
    full();
    std::vector<MeasuredRun> bareRuns, fullRuns;
    for (int i = 0; i < reps; ++i) {
        if (i % 2 == 0) {
            bareRuns.push_back(bare());
            fullRuns.push_back(full());
        } else {
            fullRuns.push_back(full());
            bareRuns.push_back(bare());
        }
    }
    // Both must reach the same answers, or the comparison means nothing.
    if (bareRuns.back().findings != fullRuns.back().findings)
        std::printf("wine: WARNING: the bare walk found %llu entries, the full scan %llu\n",
                    static_cast<unsigned long long>(bareRuns.back().findings),
                    static_cast<unsigned long long>(fullRuns.back().findings));
    Print("bare walk", bareRuns);
    Print("full scan", fullRuns);
    std::printf("wine: full scan / bare walk = %.2f (goal <= 1.5), median of %d runs each, scale %d%%\n",
                Median(fullRuns) / Median(bareRuns), reps, percent);
    // On a shared machine the load changes between runs and only ever adds time. A full scan and the
    // bare walk measured next to each other met about the same load, so the median of those pairs'
    // ratios, and the ratio of the fastest runs, say more about the work itself than the overall ratio.
    std::vector<double> pairs;
    for (size_t i = 0; i < fullRuns.size(); ++i) pairs.push_back(fullRuns[i].seconds / bareRuns[i].seconds);
    std::printf("wine: paired runs: median of full/bare = %.2f; fastest full / fastest bare = %.2f\n",
                Median(pairs), Fastest(fullRuns) / Fastest(bareRuns));
    std::printf("wine: CPU time of the program's process (Wine's server not included): full / bare = %.2f\n",
                Median(fullRuns, &MeasuredRun::cpu) / Median(bareRuns, &MeasuredRun::cpu));
    return 0;
}

}  // namespace
}  // namespace korvane::bench

int main(int argc, char** argv) {
    return korvane::bench::Main(argc, argv);
}
