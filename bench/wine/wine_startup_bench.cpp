// The signature checks of the startup page under Wine, with the real verifier (WinVerifyTrust and the
// catalog admin functions): up to 300 programs of the system folder are handed to the page's checks
// (worker threads, answers pumped on this thread as the window would) in a new session, then again
// with the session's cache warm. Prints the time until every answer arrived and how they read.
// Usage: wine_startup_bench.exe [--files=N (300)]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/PublisherChecks.h"
#include "core/SignatureCache.h"
#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"
#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32SignatureVerifier.h"
#include "win32/platform/Win32UiThread.h"

namespace korvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> SystemPrograms(std::size_t wanted) {
    wchar_t folder[MAX_PATH] = {};
    ::GetSystemDirectoryW(folder, MAX_PATH);
    std::vector<std::string> paths;
    for (const wchar_t* pattern : {L"\\*.exe", L"\\*.dll"}) {
        WIN32_FIND_DATAW found{};
        const win32::UniqueFindHandle find(
            ::FindFirstFileW((std::wstring(folder) + pattern).c_str(), &found));
        if (!find) continue;
        do {
            if (paths.size() >= wanted) break;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                paths.push_back(win32::Narrow(std::wstring(folder) + L"\\" + found.cFileName));
        } while (::FindNextFileW(find.get(), &found));
    }
    return paths;
}

// One run of the checks; returns the milliseconds until the last answer arrived.
double Run(win32::Win32UiThread& ui, SignatureCache& cache, const std::vector<std::string>& paths,
           std::map<std::string, int>& answers) {
    PublisherChecks checks(ui, cache);
    const auto start = Clock::now();
    checks.Start(paths, [&](const std::string&, const SignatureAnswer& answer) {
        const std::string text = PublisherText(answer);
        ++answers[text.substr(0, text.find(':'))];
    });
    while (checks.Running()) {
        ui.pump();
        ::Sleep(1);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace
}  // namespace korvane::bench

int main(int argc, char** argv) {
    using namespace korvane;
    std::size_t wanted = 300;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--files=", 0) == 0) wanted = std::strtoul(argv[i] + 8, nullptr, 10);
    win32::Win32UiThread ui;
    win32::Win32FileSystem files;
    win32::Win32SignatureVerifier verifier(files);
    SignatureCache cache(verifier);
    const std::vector<std::string> paths = bench::SystemPrograms(wanted);
    std::map<std::string, int> answers;
    const double cold = bench::Run(ui, cache, paths, answers);
    std::map<std::string, int> again;
    const double warm = bench::Run(ui, cache, paths, again);
    std::printf(
        "%zu programs: every answer after %.0f ms in a new session, %.0f ms with the session's cache\n",
        paths.size(), cold, warm);
    for (const auto& [text, count] : answers) std::printf("  %s: %d\n", text.c_str(), count);
    return 0;
}
