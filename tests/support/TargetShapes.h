// The corpus of real-world value shapes (TargetShapesCorpus.inc) and what runs it: each line is one
// way installers, Windows itself or users write an entry of a scan group, seeded twice — once with the
// files it names present (no row may come of it) and once without them (a checked row, or what the
// line expects). Portable: the native test runs it against the in-memory platform, the Windows test
// against the real registry and file system, with the folders as Windows itself names them.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/RegistryBackend.h"
#include "platform/SystemInfo.h"
#include "platform/Utf16.h"
#include "registry/KeyName.h"
#include "scanwalk/ScanContext.h"
#include "scanwalk/ScanGroups.h"

namespace korvane::testing {

inline constexpr const char* kTargetShapesCorpus =
#include "TargetShapesCorpus.inc"
    ;

enum class ShapeExpect { Row, Unsure, None };

struct Shape {
    int line = 0;
    std::string group;  // app, clsid, server, icon, help, font, mru, shareddll, shellext, sound, uninstall
    bool wow = false;   // the entry lives in the 32-bit view
    bool expand = false;
    std::string data;                  // with {name}
    std::vector<std::string> present;  // files (and "dir:" folders, "apppath:" entries) with <FOLDER>s
    ShapeExpect expect = ShapeExpect::Row;
};

inline std::string Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.remove_suffix(1);
    return std::string(text);
}

inline std::vector<std::string> SplitOn(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(Trimmed(text.substr(start, at - start)));
        if (at == std::string_view::npos) break;
        start = at + separator.size();
    }
    return parts;
}

// Lines: "group view type | data | present files (;-separated) | expect"; "#" starts a comment.
inline std::vector<Shape> ParseShapes(std::string_view corpus) {
    std::vector<Shape> shapes;
    std::istringstream in{std::string(corpus)};
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        const std::string line = Trimmed(text);
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string> fields = SplitOn(line, " | ");
        if (fields.size() != 4)
            throw std::runtime_error("corpus line " + std::to_string(number) + ": 4 fields");
        std::istringstream head(fields[0]);
        Shape shape;
        std::string view, type;
        head >> shape.group >> view >> type;
        shape.line = number;
        shape.wow = view == "32";
        shape.expand = type == "expand";
        shape.data = fields[1];
        if (!fields[2].empty() && fields[2] != "-") shape.present = SplitOn(fields[2], ";");
        shape.expect = fields[3] == "none"     ? ShapeExpect::None
                       : fields[3] == "unsure" ? ShapeExpect::Unsure
                                               : ShapeExpect::Row;
        shapes.push_back(std::move(shape));
    }
    return shapes;
}

inline std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// One twin of a shape, seeded: the Key Name its finding has, and what the scan must say of it.
struct SeededTwin {
    const Shape* shape = nullptr;
    bool present = false;
    std::string name;
    std::string keyName;
};

// Seeds shapes into a registry and file system and takes every trace away again.
class ShapeSeeder {
public:
    // `folders` maps "<System32>", "<ProgramFiles>", ... to the folders as the system names them.
    ShapeSeeder(RegistryBackend& registry, FileSystem& files, std::map<std::string, std::string> folders)
        : registry_(registry), files_(files), folders_(std::move(folders)) {}
    ~ShapeSeeder() { Cleanup(); }

    std::vector<SeededTwin> Seed(const std::vector<Shape>& shapes) {
        std::vector<SeededTwin> twins;
        for (const Shape& shape : shapes) {
            for (bool present : {true, false}) {
                SeededTwin twin{&shape,
                                present,
                                std::string("kvc") + (present ? "P" : "A") + std::to_string(shape.line),
                                {}};
                twin.keyName = SeedEntry(shape, twin.name);
                if (present)
                    for (const std::string& file : shape.present) SeedPresent(file, twin.name);
                twins.push_back(std::move(twin));
            }
        }
        return twins;
    }

    void Cleanup() {
        for (auto it = values_.rbegin(); it != values_.rend(); ++it)
            DeleteValue(it->root, it->path, it->name);
        for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) DeleteTree(it->root, it->path);
        for (auto it = files.rbegin(); it != files.rend(); ++it) files_.deleteFile(*it);
        for (auto it = folders.rbegin(); it != folders.rend(); ++it) files_.removeDirectory(*it);
        values_.clear();
        keys_.clear();
        files.clear();
        folders.clear();
    }

    std::string Folder(const std::string& text) const {
        std::string out = text;
        for (const auto& [placeholder, folder] : folders_) out = ReplaceAll(out, placeholder, folder);
        return out;
    }

    std::vector<std::string> files;
    std::vector<std::string> folders;

private:
    struct Place {
        HKey root;
        std::string path;
        std::string name;
    };

    void SetText(HKey root, const std::string& path, const std::string& name, const std::string& text,
                 std::uint32_t type) {
        HKey key = 0;
        if (registry_.createKey(root, path, access::AllAccess, key) != status::Success)
            throw std::runtime_error("cannot create " + path);
        registry_.setValue(key, name, RegValue{type, RegistryTextBytes(text)});
        registry_.closeKey(key);
    }
    void SetDword(HKey root, const std::string& path, const std::string& name) {
        HKey key = 0;
        if (registry_.createKey(root, path, access::AllAccess, key) != status::Success)
            throw std::runtime_error("cannot create " + path);
        registry_.setValue(key, name, RegValue{regtype::Dword, {1, 0, 0, 0}});
        registry_.closeKey(key);
    }
    void DeleteValue(HKey root, const std::string& path, const std::string& name) {
        HKey key = 0;
        if (registry_.openKey(root, path, access::AllAccess, key) != status::Success) return;
        registry_.deleteValue(key, name);
        registry_.closeKey(key);
    }
    void DeleteTree(HKey root, const std::string& path) {
        HKey key = 0;
        if (registry_.openKey(root, path, access::AllAccess, key) != status::Success) return;
        std::vector<std::string> subkeys;
        registry_.enumSubkeys(key, subkeys);
        registry_.closeKey(key);
        for (const std::string& subkey : subkeys) DeleteTree(root, path + "\\" + subkey);
        const std::size_t cut = path.rfind('\\');
        HKey parent = 0;
        if (registry_.openKey(root, path.substr(0, cut), access::AllAccess, parent) != status::Success)
            return;
        registry_.deleteKey(parent, path.substr(cut + 1));
        registry_.closeKey(parent);
    }

    // The entry of the shape's group, named `name`; its Key Name as the scan gives it.
    std::string SeedEntry(const Shape& shape, const std::string& name) {
        const std::string data = Folder(ReplaceAll(shape.data, "{name}", name));
        const std::uint32_t type = shape.expand ? regtype::ExpandSz : regtype::Sz;
        const RegistryView view = shape.wow ? RegistryView::Bits32 : RegistryView::Bits64;
        // Paths spelled as the groups spell them, so that the Key Names match.
        const auto place = [&](const BaseKey& base) { return InView(base, view).path; };
        const std::string classes = place(scankeys::Clsid);
        const std::string& group = shape.group;
        auto key = [&](HKey root, const std::string& path) {
            keys_.push_back({root, path, ""});
            return path;
        };
        if (group == "app") {
            const std::string path =
                key(roots::LocalMachine, place(scankeys::AppPaths) + "\\" + name + ".exe");
            SetText(roots::LocalMachine, path, "", data, type);
            return KeyName::Key(roots::LocalMachine, path).Text();
        }
        if (group == "clsid" || group == "server" || group == "icon") {
            const char* subkey = group == "clsid"    ? "InprocServer32"
                                 : group == "server" ? "LocalServer32"
                                                     : "DefaultIcon";
            const std::string path = key(roots::ClassesRoot, classes + "\\{" + name + "}") + "\\" + subkey;
            SetText(roots::ClassesRoot, path, "", data, type);
            return KeyName::Key(roots::ClassesRoot, path).Text();
        }
        if (group == "shellext") {
            const std::string approved = place(scankeys::ShellExtensions);
            const std::string path =
                key(roots::ClassesRoot, classes + "\\{" + name + "}") + "\\InprocServer32";
            SetText(roots::ClassesRoot, path, "", data, type);
            values_.push_back({roots::LocalMachine, approved, "{" + name + "}"});
            SetText(roots::LocalMachine, approved, "{" + name + "}", "Korvane corpus", regtype::Sz);
            return KeyName::Value(roots::LocalMachine, approved, "{" + name + "}").Text();
        }
        if (group == "help") {
            // The data is the folder; the value's name is the file.
            const std::string path = place(scankeys::Help);
            const std::size_t cut = data.find_last_of("\\/");
            values_.push_back({roots::LocalMachine, path, data.substr(cut + 1)});
            SetText(roots::LocalMachine, path, data.substr(cut + 1), data.substr(0, cut), type);
            return KeyName::Value(roots::LocalMachine, path, data.substr(cut + 1)).Text();
        }
        if (group == "font") {
            const std::string path = std::string(scankeys::FontsNt.path);
            values_.push_back({roots::LocalMachine, path, name + " (TrueType)"});
            SetText(roots::LocalMachine, path, name + " (TrueType)", data, type);
            return KeyName::Value(roots::LocalMachine, path, name + " (TrueType)").Text();
        }
        if (group == "mru") {
            const std::string path = std::string(scankeys::RunMru.path);
            values_.push_back({roots::CurrentUser, path, name});
            SetText(roots::CurrentUser, path, name, data + "\\1", type);
            return KeyName::Value(roots::CurrentUser, path, name).Text();
        }
        if (group == "shareddll") {
            const std::string path = place(scankeys::SharedDlls);
            const std::string file = Folder(data);
            values_.push_back({roots::LocalMachine, path, file});
            SetDword(roots::LocalMachine, path, file);
            return KeyName::Value(roots::LocalMachine, path, file).Text();
        }
        if (group == "sound") {
            const std::string path =
                key(roots::CurrentUser, std::string(scankeys::SoundApps.path) + "\\" + name) +
                "\\Open\\.Current";
            SetText(roots::CurrentUser, path, "", data, type);
            return KeyName::Key(roots::CurrentUser, path).Text();
        }
        if (group == "uninstall") {
            const std::string path = key(roots::LocalMachine, place(scankeys::Uninstall) + "\\" + name);
            SetText(roots::LocalMachine, path, "DisplayName", "Korvane corpus " + name, regtype::Sz);
            SetText(roots::LocalMachine, path, "UninstallString", data, type);
            return KeyName::Value(roots::LocalMachine, path, "UninstallString").Text();
        }
        throw std::runtime_error("corpus line " + std::to_string(shape.line) + ": unknown group " + group);
    }

    void MakeFolders(const std::string& path) {
        for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
            const std::string folder = path.substr(0, at);
            if (!files_.directoryExists(folder) && files_.createDirectory(folder)) folders.push_back(folder);
        }
    }

    void SeedPresent(const std::string& present, const std::string& name) {
        std::string text = Folder(ReplaceAll(present, "{name}", name));
        if (text.rfind("apppath:", 0) == 0) {
            // apppath:NAME=PATH registers PATH as NAME's App Paths entry and creates the file.
            const std::size_t equals = text.find('=');
            const std::string path = std::string(scankeys::AppPaths.path) + "\\" + text.substr(8, equals - 8);
            keys_.push_back({roots::LocalMachine, path, ""});
            SetText(roots::LocalMachine, path, "", text.substr(equals + 1), regtype::Sz);
            text = text.substr(equals + 1);
        }
        if (text.rfind("env:", 0) == 0) {
            // env:NAME=VALUE defines a variable of the user's environment.
            const std::size_t equals = text.find('=');
            values_.push_back({roots::CurrentUser, "Environment", text.substr(4, equals - 4)});
            SetText(roots::CurrentUser, "Environment", text.substr(4, equals - 4), text.substr(equals + 1),
                    regtype::Sz);
            return;
        }
        if (text.rfind("dir:", 0) == 0) {
            MakeFolders(text.substr(4) + "\\");
            return;
        }
        MakeFolders(text);
        if (!files_.fileExists(text)) {
            if (!files_.writeFile(text, "Korvane corpus")) throw std::runtime_error("cannot create " + text);
            files.push_back(text);
        }
    }

    RegistryBackend& registry_;
    FileSystem& files_;
    std::map<std::string, std::string> folders_;
    std::vector<Place> keys_;
    std::vector<Place> values_;
};

struct CorpusSink final : ScanSink {
    std::vector<ScanFinding> findings;
    void BeginGroup(int) override {}
    bool LabelDue() override { return false; }
    void SetLabel(std::string) override {}
    void AddScanError(ScanFinding finding) override { findings.push_back(std::move(finding)); }
    void WriteCount(int) override {}
};

// Every twin the scan judged wrongly, one line each; empty when the corpus passes.
inline std::vector<std::string> CorpusFailures(const std::vector<SeededTwin>& twins,
                                               const std::vector<ScanFinding>& findings) {
    std::map<std::string, const ScanFinding*> byKey;
    for (const ScanFinding& finding : findings) byKey.emplace(finding.where.Text(), &finding);
    std::vector<std::string> failures;
    for (const SeededTwin& twin : twins) {
        const auto found = byKey.find(twin.keyName);
        const ScanFinding* finding = found == byKey.end() ? nullptr : found->second;
        const ShapeExpect expect = twin.present ? ShapeExpect::None : twin.shape->expect;
        const bool right = expect == ShapeExpect::None  ? finding == nullptr
                           : expect == ShapeExpect::Row ? finding != nullptr && finding->certain
                                                        : finding != nullptr && !finding->certain;
        if (right) continue;
        std::string what = "line " + std::to_string(twin.shape->line) +
                           (twin.present ? " present" : " absent") + " [" + twin.shape->data + "]: ";
        what += finding == nullptr ? "no row"
                                   : std::string(finding->certain ? "checked row" : "unsure row") + " (" +
                                         finding->evidence.tested + " - " + finding->evidence.answer + ")";
        failures.push_back(what);
    }
    return failures;
}

// The groups the corpus uses, run once over the seeded machine.
inline std::vector<ScanFinding> ScanCorpusGroups(RegistryBackend& registry, FileSystem& files,
                                                 SystemInfo& system) {
    PathTester paths(files, system, registry);
    CorpusSink sink;
    ScanContext context(registry, paths, sink, std::stop_token{}, 0);
    for (int group : {0, 1, 2, 3, 4, 6, 8, 9, 10}) RunScanGroup(group, context);
    return std::move(sink.findings);
}

}  // namespace korvane::testing
