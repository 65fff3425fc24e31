// Undo-history speed: a repair of 10,000 findings recorded and saved ahead, and a Backup.xml of
// 100,000 ITEMs loaded and saved, each beside a bare pugixml parse and save of the same file in the
// same run, in thread CPU time. The counter "ratio" is Korvane's time over pugixml's (goal: at most 1.5).
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "controls/ListView.h"
#include "core/AppState.h"
#include "platform/memory/MemoryPlatform.h"
#include "scan/Repair.h"
#include "undo/ValueEncoding.h"

namespace korvane {
namespace {

// CPU time of this thread: the machine is shared, and wall time would measure the neighbours.
struct Clock {
    using time_point = double;
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
};

double Seconds(Clock::time_point from) {
    return Clock::now() - from;
}

// The baseline: parse the text and write it back out, nothing else.
double BarePugixml(const std::string& text) {
    auto start = Clock::now();
    pugi::xml_document document;
    document.load_buffer(text.data(), text.size());
    std::ostringstream out;
    document.save(out, "", pugi::format_raw);
    benchmark::DoNotOptimize(out.str().size());
    return Seconds(start);
}

// Half key rows (a key with a string and a number), half value rows (30 binary bytes).
void SeedFindings(MemoryPlatform& memory, ListView& lvErrors, int count) {
    std::vector<std::uint8_t> bytes(30);
    for (int i = 0; i < 30; ++i) bytes[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i * 7);
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        ListItem row;
        row.checked = true;
        if (i % 2 == 0) {
            memory.registry().SetString(roots::LocalMachine, "SOFTWARE\\Bench\\Keys\\k" + n, "",
                                        "C:\\Missing\\" + n);
            memory.registry().SetDword(roots::LocalMachine, "SOFTWARE\\Bench\\Keys\\k" + n, "Count", i);
            row.caption = "Application";
            row.subItems = {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Bench\\Keys\\k" + n, "", "C:\\Missing\\" + n};
            row.tag = KeyName::Key(roots::LocalMachine, "SOFTWARE\\Bench\\Keys\\k" + n);
        } else {
            // A hundred values per key, like a well-filled MRU list.
            std::string key = "Software\\Bench\\Values" + std::to_string(i / 200);
            memory.registry().SetValue(roots::CurrentUser, key, "v" + n, {regtype::Binary, bytes});
            row.caption = "Run MRU";
            row.subItems = {"HKEY_CURRENT_USER\\" + key + "\\v" + n, "", ""};
            row.tag = KeyName::Value(roots::CurrentUser, key, "v" + n);
        }
        lvErrors.Add(std::move(row));
    }
}

void BM_RepairOf10000Findings(benchmark::State& state) {
    double ours = 0, bare = 0;
    for (auto _ : state) {
        auto memory = std::make_unique<MemoryPlatform>();
        memory->files().AddFolder("C:\\Korvane");
        AppState app(memory->platform());
        app.ProgramFolder = "C:\\Korvane\\";
        UndoHistory history(app);
        ListView lvErrors("lvErrors");
        SeedFindings(*memory, lvErrors, 10000);

        auto start = Clock::now();
        btnFixSelectedClick(app, history, lvErrors);
        double elapsed = Seconds(start);
        if (lvErrors.Count() != 0) state.SkipWithError("the repair left rows");
        ours += elapsed;
        bare += BarePugixml(*memory->files().ContentsRaw("C:\\Korvane\\Backup.xml"));
        state.SetIterationTime(elapsed);
    }
    state.counters["korvane_ms"] = ours * 1000 / static_cast<double>(state.iterations());
    state.counters["pugixml_ms"] = bare * 1000 / static_cast<double>(state.iterations());
    state.counters["ratio"] = ours / bare;
}
BENCHMARK(BM_RepairOf10000Findings)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

std::string HistoryOf100000Items() {
    XmlDocument document;
    document.Reset("Korvane");
    std::vector<std::uint8_t> bytes(40, 0xA5);
    for (int e = 0; e < 10000; ++e) {
        XmlElement entry = document.DocumentElement().AppendChild("ELEMENT");
        entry.SetAttribute("NAME", "Application");
        entry.SetAttribute("TYPE",
                           "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a" +
                               std::to_string(e) + ".exe");
        entry.SetAttribute("PATH", "C:\\Program Files\\A\\a.exe");
        for (int i = 0; i < 10; ++i) {
            XmlElement item = entry.AppendChild("ITEM");
            item.SetAttribute(
                "SUBKEY", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a" +
                              std::to_string(e) + ".exe");
            item.SetAttribute("NAME", "Value" + std::to_string(i));
            if (i % 3 == 0) {
                item.SetAttribute("TYPE", "rdString");
                item.SetAttribute("VALUE", EscapeBackslashes("C:\\Program Files\\A\\a.exe"));
            } else if (i % 3 == 1) {
                item.SetAttribute("TYPE", "rdInteger");
                item.SetAttribute("VALUE", EncodeInteger(static_cast<std::uint32_t>(e * i)));
            } else {
                item.SetAttribute("TYPE", "rdBinary");
                item.SetAttribute("VALUE", EncodeBinary(bytes));
            }
        }
    }
    return document.SaveText();
}

void BM_LoadAndSave100000Items(benchmark::State& state) {
    static const std::string text = HistoryOf100000Items();
    MemoryPlatform memory;
    memory.files().AddFolder("C:\\Korvane");
    memory.files().AddFile("C:\\Korvane\\Backup.xml", text);
    double ours = 0, bare = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        XmlDocument document;
        document.Load(memory.files(), "C:\\Korvane\\Backup.xml");
        document.Save(memory.files(), "C:\\Korvane\\Backup.xml");
        double elapsed = Seconds(start);
        ours += elapsed;
        bare += BarePugixml(text);
        state.SetIterationTime(elapsed);
    }
    state.counters["korvane_ms"] = ours * 1000 / static_cast<double>(state.iterations());
    state.counters["pugixml_ms"] = bare * 1000 / static_cast<double>(state.iterations());
    state.counters["ratio"] = ours / bare;
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_LoadAndSave100000Items)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace korvane

BENCHMARK_MAIN();
