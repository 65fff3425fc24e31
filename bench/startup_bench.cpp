// The Startup Programs page with 300 rows whose signatures are checked: how long until the list is
// shown (the listing returns before any check is delivered) and until every answer has arrived
// (goal: 3 s). Each check of the fake verifier burns the processor time a real WinVerifyTrust of an
// ordinary program takes on a warm disk cache (kCheckCost: hashing a few MB and building the chain).
// Each iteration is a new session: nothing is in the signature cache yet.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "core/AppState.h"
#include "platform/memory/MemoryPlatform.h"
#include "registry/RootKeys.h"
#include "startup/StartupPage.h"
#include "undo/UndoHistory.h"

namespace korvane {
namespace {

constexpr int kRows = 300;
constexpr int kPrograms = 250;  // a few programs start from several places
constexpr auto kCheckCost = std::chrono::milliseconds(10);

void Seed(MemoryPlatform& memory) {
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    memory.system().version = VersionRecord{2, 10, 0, 19045};
    for (int i = 0; i < kRows; ++i) {
        const std::string program = "C:\\Programs\\Vendor" + std::to_string(i % kPrograms) + "\\app.exe";
        memory.registry().SetString(i % 2 ? roots::CurrentUser : roots::LocalMachine, run,
                                    "Entry" + std::to_string(i), "\"" + program + "\" /background");
        if (i < kPrograms) memory.files().AddFile(program, "MZ");
        if (i % 3 == 0)
            memory.signatures().SetAnswer(program,
                                          {SignatureState::Verified, "Vendor " + std::to_string(i), ""});
    }
    memory.signatures().SetCost(kCheckCost);
}

void BM_StartupPageWithSignatures(benchmark::State& state) {
    MemoryPlatform memory;
    Seed(memory);
    double shown = 0;
    double answered = 0;
    for (auto _ : state) {
        AppState app(memory.platform());
        UndoHistory history(app);
        StartupPage page(app, history);
        const auto start = std::chrono::steady_clock::now();
        page.toolStartupClick();
        const auto listed = std::chrono::steady_clock::now();
        if (!memory.ui().PumpUntil([&] { return !page.PublishersPending(); }, std::chrono::seconds(60)))
            state.SkipWithError("the checks did not finish within 60 s");
        const auto done = std::chrono::steady_clock::now();
        if (page.lvStartup.Count() != kRows) state.SkipWithError("not every row was listed");
        shown = std::chrono::duration<double, std::milli>(listed - start).count();
        answered = std::chrono::duration<double, std::milli>(done - start).count();
        state.SetIterationTime(answered / 1000.0);
    }
    state.counters["shown_ms"] = shown;
    state.counters["all_answers_ms"] = answered;
    state.counters["checks"] = memory.signatures().CheckCount() / static_cast<double>(state.iterations());
}
BENCHMARK(BM_StartupPageWithSignatures)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace korvane

BENCHMARK_MAIN();
