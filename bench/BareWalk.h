// The bare walk of the scan benchmarks: the least work the scan's answers need — the keys and
// values the twelve groups look at, listed and read with raw backend calls, each distinct path tested
// once — with no UI, no labels and no Key Names. The native and the Wine benchmark share it, so that
// their two ratios measure the same thing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"
#include "platform/Utf16.h"
#include "probe/PathTester.h"

namespace korvane::bench {

class BareWalk {
public:
    BareWalk(RegistryBackend& registry, PathTester& paths) : r_(registry), paths_(paths) {}

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
    static bool SameAsciiNoCase(const std::string& a, const char* b) {
        std::size_t i = 0;
        for (; i < a.size() && b[i]; ++i) {
            const auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
            if (up(a[i]) != up(b[i])) return false;
        }
        return i == a.size() && !b[i];
    }
    HKey Open(HKey parent, const std::string& path, std::uint32_t rights = access::AllAccess) {
        HKey key = 0;
        return r_.openKey(parent, path, rights, key) == status::Success ? key : 0;
    }
    void Close(HKey key) {
        if (key) r_.closeKey(key);
    }
    std::vector<std::string> Subkeys(HKey key) {
        std::vector<std::string> names;
        if (key) r_.enumSubkeys(key, names);
        return names;
    }
    std::string Read(HKey key, const std::string& name) {
        RegValue value;
        if (!key || r_.queryValue(key, name, value) != status::Success) return {};
        return TextOfRegistryBytes(value.data);
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
            Close(entry);
        }
        Close(base);
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
            Close(key);
            for (const char* name : names) {
                for (const auto& have : present) {
                    if (!SameAsciiNoCase(have, name)) continue;
                    const HKey sub = Open(clsid, cls + "\\" + name);
                    const std::string data = Read(sub, "");
                    Close(sub);
                    if (!data.empty() && data[0] != '{' && paths_.TargetMissing(data)) ++findings;
                }
            }
        }
        Close(clsid);
    }
    using Transform = std::function<std::string(std::string data, const std::string& name)>;
    void TextValues(HKey root, const std::string& path, const Transform& transform) {
        const HKey key = Open(root, path);
        std::vector<NamedRegValue> values;
        if (key) r_.enumValues(key, values, true);
        Close(key);
        for (const auto& value : values) {
            if (value.name == "MRUList") continue;
            Judge(transform(TextOfRegistryBytes(value.value.data), value.name));
        }
    }
    void Names(HKey root, const std::string& path, bool asFiles) {
        const HKey key = Open(root, path);
        std::vector<NamedRegValue> values;
        if (key) r_.enumValues(key, values, false);
        Close(key);
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
            Close(key);
        }
        Close(base);
    }
    void Approved() {
        const HKey key = Open(roots::LocalMachine,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved");
        std::vector<NamedRegValue> values;
        if (key) r_.enumValues(key, values, false);
        Close(key);
        for (const auto& value : values) {
            const HKey server = Open(roots::ClassesRoot, "CLSID\\" + value.name + "\\InprocServer32");
            if (server == 0) continue;
            Judge(Read(server, ""));
            Close(server);
        }
    }
    void Sounds() {
        const std::string apps = "AppEvents\\Schemes\\Apps";
        const HKey base = Open(roots::CurrentUser, apps);
        const auto names = Subkeys(base);
        Close(base);
        for (const auto& app : names) {
            const HKey appKey = Open(roots::CurrentUser, apps + "\\" + app, access::Read);
            const auto events = Subkeys(appKey);
            Close(appKey);
            for (const auto& event : events) {
                ++entries;  // one entry per event, both schemes
                for (const char* scheme : {".Current", ".Default"}) {
                    const HKey key = Open(roots::CurrentUser,
                                          apps + "\\" + app + "\\" + event + "\\" + scheme, access::Read);
                    if (paths_.TargetMissing(Read(key, ""))) ++findings;
                    Close(key);
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
            Close(key);
        }
        Close(base);
    }

    RegistryBackend& r_;
    PathTester& paths_;
};

}  // namespace korvane::bench
