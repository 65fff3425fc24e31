// Undo-history speed, in thread CPU time, each beside a bare baseline measured in the same run; the
// counter "ratio" is Korvane's time over the baseline's (goal: at most 1.5):
//   - a repair of 10,000 findings (recorded, saved ahead, deleted, rows removed) beside a bare run
//     that reads the same values through the registry calls alone, builds the same document with
//     pugixml (checked: the very text Korvane saved, the repair's DATE included), deletes the values
//     and saves the document;
//     "ratio_prebuilt" is against the same run with the document built beforehand, outside the time;
//   - a Backup.xml of 100,000 ITEMs loaded and saved beside a bare pugixml parse and save of it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "controls/ListView.h"
#include "core/AppState.h"
#include "platform/memory/MemoryPlatform.h"
#include "registry/RootKeys.h"
#include "scan/Repair.h"
#include "scan/ScanErrorList.h"
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

// What the bare run does for one finding, with the texts of its history entry.
struct BareFinding {
    bool key;
    HKey root;
    std::string path;   // as the backend takes it
    std::string value;  // the value's name for a value row
    std::string name, type, guess;
};

// A value's history text, written as directly as it can be for the types the bench seeds.
void BareItem(pugi::xml_node entry, const std::string& subkey, const NamedRegValue& value) {
    pugi::xml_node item = entry.append_child("ITEM");
    item.append_attribute("SUBKEY").set_value(subkey.c_str());
    item.append_attribute("NAME").set_value(value.name.c_str());
    static const char* const hex = "0123456789ABCDEF";
    const std::vector<std::uint8_t>& data = value.value.data;
    std::string text;
    if (value.value.type == regtype::Sz) {
        item.append_attribute("TYPE").set_value("rdString");
        for (size_t i = 0; i + 3 < data.size(); i += 2) {  // ASCII text, its terminator left out
            text += static_cast<char>(data[i]);
            if (data[i] == '\\') text += '\\';
        }
    } else if (value.value.type == regtype::Dword) {
        item.append_attribute("TYPE").set_value("rdInteger");
        for (int i = 3; i >= 0; --i) {
            text += hex[data[static_cast<size_t>(i)] >> 4];
            text += hex[data[static_cast<size_t>(i)] & 0xF];
        }
    } else {
        item.append_attribute("TYPE").set_value("rdBinary");
        for (size_t i = 0; i < data.size(); ++i) {
            text += hex[data[i] >> 4];
            text += hex[data[i] & 0xF];
            if (i + 1 < data.size()) text += i > 0 && i % 25 == 0 ? ",\\" : ",";
        }
    }
    item.append_attribute("VALUE").set_value(text.c_str());
}

// Records the tree (each key, then its values, then its sub-keys) and deletes it bottom up.
void BareTakeTree(RegistryBackend& registry, pugi::xml_node entry, HKey parent, const std::string& name,
                  const std::string& subkey) {
    HKey key = 0;
    if (registry.openKey(parent, name, access::AllAccess, key) != status::Success) return;
    entry.append_child("ITEM").append_attribute("SUBKEY").set_value(subkey.c_str());
    std::vector<NamedRegValue> values;
    registry.enumValues(key, values, true);
    for (const NamedRegValue& value : values) BareItem(entry, subkey, value);
    std::vector<std::string> subkeys;
    registry.enumSubkeys(key, subkeys);
    for (const std::string& child : subkeys) BareTakeTree(registry, entry, key, child, subkey + "\\" + child);
    registry.closeKey(key);
    registry.deleteKey(parent, name);
}

// What the bare run of a repair took, and the document it saved.
struct BareTimes {
    double buildingTheDocument = 0;
    std::string text;  // what it saved
};

// The same values read and deleted through the registry calls alone, the same document built with
// pugixml and saved to the same file.
[[gnu::noinline]] void BareRepair(RegistryBackend& registry, FileSystem& files, SystemInfo& system,
                                  const std::vector<BareFinding>& findings, BareTimes& times) {
    auto start = Clock::now();
    // The repair's day, kept with every entry.
    const LocalDateTime now = system.localTime();
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", now.year, now.month, now.day);
    pugi::xml_document document;
    pugi::xml_node history = document.append_child("Korvane");
    for (const BareFinding& finding : findings) {
        pugi::xml_node entry = history.append_child("ELEMENT");
        entry.append_attribute("NAME").set_value(finding.name.c_str());
        entry.append_attribute("TYPE").set_value(finding.type.c_str());
        entry.append_attribute("PATH").set_value(finding.guess.c_str());
        entry.append_attribute("DATE").set_value(date);
        const std::string subkey = RootKeyName(finding.root) + "\\" + finding.path;
        if (finding.key) {
            BareTakeTree(registry, entry, finding.root, finding.path, subkey);
            continue;
        }
        HKey key = 0;
        if (registry.openKey(finding.root, finding.path, access::AllAccess, key) != status::Success) continue;
        NamedRegValue value{finding.value, {}};
        registry.queryValue(key, finding.value, value.value);
        BareItem(entry, subkey, value);
        registry.deleteValue(key, finding.value);
        registry.closeKey(key);
    }
    times.text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    std::ostringstream out;
    document.save(out, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    times.text += out.str();
    files.writeFile("C:\\Bare.xml", times.text);
    times.buildingTheDocument = Seconds(start);
}

// Reads every value of the tree with its data, then deletes the tree bottom up; no document.
void BareReadAndDeleteTree(RegistryBackend& registry, HKey parent, const std::string& name) {
    HKey key = 0;
    if (registry.openKey(parent, name, access::AllAccess, key) != status::Success) return;
    std::vector<NamedRegValue> values;
    registry.enumValues(key, values, true);
    benchmark::DoNotOptimize(values.data());
    std::vector<std::string> subkeys;
    registry.enumSubkeys(key, subkeys);
    for (const std::string& subkey : subkeys) BareReadAndDeleteTree(registry, key, subkey);
    registry.closeKey(key);
    registry.deleteKey(parent, name);
}

// The same values read and deleted, and a document built beforehand saved by pugixml.
double BareReadDeleteSave(RegistryBackend& registry, const std::vector<BareFinding>& findings,
                          const pugi::xml_document& built) {
    auto start = Clock::now();
    for (const BareFinding& finding : findings) {
        if (finding.key) {
            BareReadAndDeleteTree(registry, finding.root, finding.path);
            continue;
        }
        HKey key = 0;
        if (registry.openKey(finding.root, finding.path, access::AllAccess, key) != status::Success) continue;
        RegValue value;
        registry.queryValue(key, finding.value, value);
        benchmark::DoNotOptimize(value.data.data());
        registry.deleteValue(key, finding.value);
        registry.closeKey(key);
    }
    std::ostringstream out;
    built.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
    benchmark::DoNotOptimize(out.str().size());
    return Seconds(start);
}

// 0, 2, 4, ... then 1, 3, 5, ...: the key rows, then the value rows.
std::vector<int> GroupedOrder(int count) {
    std::vector<int> order;
    for (int first : {0, 1})
        for (int i = first; i < count; i += 2) order.push_back(i);
    return order;
}

// Half key rows (a key with a string and a number), half value rows (30 binary bytes). The bare
// run's list of the same findings goes to `bare`, in the order the repair takes them.
void SeedFindings(MemoryPlatform& memory, ListView& lvErrors, int count, std::vector<BareFinding>* bare) {
    std::vector<std::uint8_t> bytes(30);
    for (int i = 0; i < 30; ++i) bytes[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i * 7);
    // In the order the error list shows them, sorted by error type: each group's rows together.
    for (int i : GroupedOrder(count)) {
        std::string n = std::to_string(i);
        ListItem row;
        row.checked = true;
        if (i % 2 == 0) {
            const std::string key = "SOFTWARE\\Bench\\Keys\\k" + n;
            memory.registry().SetString(roots::LocalMachine, key, "", "C:\\Missing\\" + n);
            memory.registry().SetDword(roots::LocalMachine, key, "Count", i);
            row.caption = "Application";
            row.subItems = {"HKEY_LOCAL_MACHINE\\" + key, "", "C:\\Missing\\" + n};
            row.tag =
                ErrorRowTag{row.caption, KeyName::Key(roots::LocalMachine, key), row.subItems[2], {}, true};
            if (bare)
                bare->push_back(
                    {true, roots::LocalMachine, key, "", row.caption, row.subItems[0], row.subItems[2]});
        } else {
            // A hundred values per key, like a well-filled MRU list.
            std::string key = "Software\\Bench\\Values" + std::to_string(i / 200);
            memory.registry().SetValue(roots::CurrentUser, key, "v" + n, {regtype::Binary, bytes});
            row.caption = "Run MRU";
            row.subItems = {"HKEY_CURRENT_USER\\" + key + "\\v" + n, "", ""};
            row.tag = ErrorRowTag{
                row.caption, KeyName::Value(roots::CurrentUser, key, "v" + n), row.subItems[2], {}, true};
            if (bare)
                bare->push_back(
                    {false, roots::CurrentUser, key, "v" + n, row.caption, row.subItems[0], row.subItems[2]});
        }
        lvErrors.Add(std::move(row));
    }
    if (bare) std::reverse(bare->begin(), bare->end());
}

void BM_RepairOf10000Findings(benchmark::State& state) {
    double ours = 0, bare = 0, prebuilt = 0;
    int turn = 0;
    for (auto _ : state) {
        auto memory = std::make_unique<MemoryPlatform>();
        memory->files().AddFolder("C:\\Korvane");
        AppState app(memory->platform());
        app.ProgramFolder = "C:\\Korvane\\";
        UndoHistory history(app);
        ListView lvErrors("lvErrors");
        SeedFindings(*memory, lvErrors, 10000, nullptr);
        // The same machine again for the bare run.
        auto bareMemory = std::make_unique<MemoryPlatform>();
        ListView bareRows("bare");
        std::vector<BareFinding> findings;
        SeedFindings(*bareMemory, bareRows, 10000, &findings);

        // Whichever runs first after the seeding pays for the fresh memory: the two take turns.
        double elapsed = 0;
        BareTimes times;
        auto runOurs = [&] {
            auto start = Clock::now();
            btnFixSelectedClick(app, history, lvErrors);
            elapsed = Seconds(start);
        };
        auto runBare = [&] {
            BareRepair(bareMemory->registry(), bareMemory->files(), bareMemory->system(), findings, times);
        };
        if (turn++ % 2 == 0) {
            runOurs();
            runBare();
        } else {
            runBare();
            runOurs();
        }
        if (lvErrors.Count() != 0) state.SkipWithError("the repair left rows");
        ours += elapsed;
        bare += times.buildingTheDocument;
        const std::string saved = *memory->files().ContentsRaw("C:\\Korvane\\Backup.xml");
        if (times.text != saved) state.SkipWithError("the bare run wrote another document");
        // The same again, with the document taken as given: reading, deleting and the save alone.
        auto again = std::make_unique<MemoryPlatform>();
        ListView againRows("again");
        std::vector<BareFinding> againFindings;
        SeedFindings(*again, againRows, 10000, &againFindings);
        pugi::xml_document parsed;
        parsed.load_buffer(saved.data(), saved.size());
        prebuilt += BareReadDeleteSave(again->registry(), againFindings, parsed);
        state.SetIterationTime(elapsed);
    }
    state.counters["korvane_ms"] = ours * 1000 / static_cast<double>(state.iterations());
    state.counters["bare_ms"] = bare * 1000 / static_cast<double>(state.iterations());
    state.counters["ratio"] = ours / bare;
    // Against a baseline that does not build the document at all, only saves it.
    state.counters["ratio_prebuilt"] = ours / prebuilt;
}
BENCHMARK(BM_RepairOf10000Findings)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

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
