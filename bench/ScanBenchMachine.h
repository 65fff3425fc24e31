// The machine of the scan benchmark: a generated registry (COM classes, App Paths, SharedDlls,
// uninstall entries, file extensions, sound schemes and the smaller groups) and the files it refers
// to, some of them missing. The generator writes through a sink, so the same data can seed the
// in-memory platform or become a .reg file (and a file list) for a real registry.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "registry/RootKeys.h"

namespace korvane::bench {

class MachineSink {
public:
    virtual ~MachineSink() = default;
    virtual void Key(HKey root, const std::string& path) = 0;
    virtual void Text(HKey root, const std::string& path, const std::string& name, const std::string& text,
                      bool expandable = false) = 0;
    virtual void Number(HKey root, const std::string& path, const std::string& name, std::uint32_t value) = 0;
    virtual void File(const std::string& path) = 0;
};

struct MachineSize {
    int classes = 20000;
    int appPaths = 5000;
    int sharedDlls = 10000;
    int uninstall = 3000;
    int fileExts = 2000;
    int soundApps = 40;
    int soundEvents = 25;
    int missingPercent = 8;
};

inline void GenerateMachine(MachineSink& out, const MachineSize& size = {}, std::uint32_t seed = 4242) {
    std::mt19937 random(seed);
    auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    auto number = [&](int below) { return static_cast<int>(random() % static_cast<std::uint32_t>(below)); };
    const HKey lm = roots::LocalMachine, cu = roots::CurrentUser, cr = roots::ClassesRoot;
    const std::string sys = "C:\\WINDOWS\\system32\\";

    // A pool of system DLLs that exist, shared by many classes as on a real machine.
    for (int i = 0; i < 3000; ++i) out.File(sys + "lib" + std::to_string(i) + ".dll");
    auto server = [&](int i) -> std::pair<std::string, bool> {
        if (chance(size.missingPercent))
            return {"C:\\Program Files\\Gone" + std::to_string(i) + "\\srv.dll", false};
        switch (number(4)) {
            case 0:
                return {"%SystemRoot%\\system32\\lib" + std::to_string(number(3000)) + ".dll", true};
            case 1:
                return {"\"C:\\WINDOWS\\system32\\lib" + std::to_string(number(3000)) + ".dll\"", false};
            default:
                return {sys + "lib" + std::to_string(number(3000)) + ".dll", false};
        }
    };

    char guid[64];
    for (int i = 0; i < size.classes; ++i) {
        std::snprintf(guid, sizeof guid, "{%08X-1234-5678-9ABC-%012d}", static_cast<unsigned>(random()), i);
        const std::string cls = std::string("CLSID\\") + guid;
        out.Key(cr, cls);
        out.Text(cr, cls, "", "Class " + std::to_string(i));
        if (chance(65)) {
            auto [data, expand] = server(i);
            out.Text(cr, cls + "\\InprocServer32", "", data, expand);
            out.Text(cr, cls + "\\InprocServer32", "ThreadingModel", "Both");
        }
        if (chance(20)) out.Text(cr, cls + "\\LocalServer32", "", server(i).first);
        if (chance(30))
            out.Text(cr, cls + "\\DefaultIcon", "", server(i).first + ",-" + std::to_string(number(200)));
        if (chance(25)) out.Text(cr, cls + "\\ProgID", "", "Prog." + std::to_string(i));
        if (chance(10)) out.Key(cr, cls + "\\Implemented Categories\\{00021493-0000-0000-C000-000000000046}");
        if (i < 1000) {
            out.Text(lm, "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", guid,
                     "ext");
        }
    }
    for (int i = 0; i < 300; ++i) out.Text(cr, "CLSID\\Prog" + std::to_string(i) + "\\CurVer", "", "x");

    const std::string appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    for (int i = 0; i < size.appPaths; ++i) {
        const std::string folder = "C:\\Program Files\\App" + std::to_string(i) + "\\";
        const std::string exe = folder + "app" + std::to_string(i) + ".exe";
        if (!chance(size.missingPercent)) out.File(exe);
        out.Text(lm, appPaths + "app" + std::to_string(i) + ".exe", "", exe);
        out.Text(lm, appPaths + "app" + std::to_string(i) + ".exe", "Path", folder);
        if (i < size.uninstall) {
            const std::string entry = uninstall + "App" + std::to_string(i);
            out.Text(lm, entry, "DisplayName", "Application " + std::to_string(i));
            if (!chance(5)) {
                if (!chance(size.missingPercent)) out.File(folder + "unins000.exe");
                out.Text(lm, entry, "UninstallString", "\"" + folder + "unins000.exe\" /x");
            }
        }
    }
    const std::string shared = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
    for (int i = 0; i < size.sharedDlls; ++i) {
        const std::string file = "C:\\Program Files\\Common Files\\Shared" + std::to_string(i % 50) +
                                 "\\lib" + std::to_string(i) + ".dll";
        if (!chance(size.missingPercent)) out.File(file);
        out.Number(lm, shared, file, 1 + static_cast<std::uint32_t>(number(4)));
    }
    const std::string fileExts = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
    for (int i = 0; i < size.fileExts; ++i) {
        const std::string extension = ".e" + std::to_string(i);
        if (!chance(size.missingPercent)) out.Text(cr, extension, "", "file" + std::to_string(i));
        out.Text(cu, fileExts + extension + "\\OpenWithList", "a", "app" + std::to_string(i) + ".exe");
    }
    const std::string apps = "AppEvents\\Schemes\\Apps\\";
    for (int a = 0; a < size.soundApps; ++a) {
        for (int e = 0; e < size.soundEvents; ++e) {
            const std::string event = apps + "App" + std::to_string(a) + "\\Event" + std::to_string(e);
            const std::string wave = "ev" + std::to_string(a * 100 + e) + ".wav";
            if (!chance(size.missingPercent)) out.File("C:\\WINDOWS\\Media\\" + wave);
            out.Text(cu, event + "\\.Current", "", "%SystemRoot%\\Media\\" + wave, true);
            out.Text(cu, event + "\\.Default", "", chance(50) ? "" : "%SystemRoot%\\Media\\" + wave, true);
        }
    }
    // The smaller groups.
    for (int i = 0; i < 300; ++i) {
        const std::string name = "font" + std::to_string(i) + ".ttf";
        if (!chance(size.missingPercent)) out.File("C:\\WINDOWS\\FONTS\\" + name);
        out.Text(lm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "Font " + std::to_string(i),
                 name);
    }
    for (int i = 0; i < 200; ++i) {
        const std::string name = "help" + std::to_string(i) + ".hlp";
        if (!chance(size.missingPercent)) out.File("C:\\WINDOWS\\Help\\" + name);
        out.Text(lm, "SOFTWARE\\Microsoft\\Windows\\Help", name, "C:\\WINDOWS\\Help");
    }
    for (char letter = 'a'; letter <= 'z'; ++letter)
        out.Text(cu, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", std::string(1, letter),
                 "C:\\Tools\\tool" + std::string(1, letter) + "\\1");
    for (int i = 0; i < 200; ++i) {
        const std::string folder =
            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
            "Menu2\\Programs\\Folder" +
            std::to_string(i);
        out.Key(cu, chance(80) ? folder + "\\Sub" : folder);
    }
    for (int i = 0; i < 10; ++i)
        out.Text(lm, "SYSTEM\\ControlSet001\\Services\\lanmanserver\\Shares", std::string(1, 'k' + i) + "$",
                 "");
}

// Seeds the in-memory registry and file system.
class MemoryMachineSink : public MachineSink {
public:
    MemoryMachineSink(MemoryRegistry& registry, MemoryFileSystem& files)
        : registry_(registry), files_(files) {}
    void Key(HKey root, const std::string& path) override { registry_.CreateKey(root, path); }
    void Text(HKey root, const std::string& path, const std::string& name, const std::string& text,
              bool expandable) override {
        registry_.SetString(root, path, name, text, expandable ? regtype::ExpandSz : regtype::Sz);
    }
    void Number(HKey root, const std::string& path, const std::string& name, std::uint32_t value) override {
        registry_.SetDword(root, path, name, value);
    }
    void File(const std::string& path) override { files_.AddFile(path); }

private:
    MemoryRegistry& registry_;
    MemoryFileSystem& files_;
};

// Collects the same data as a REGEDIT4 file for the registry editor, and the list of files to create.
class RegFileSink : public MachineSink {
public:
    void Key(HKey root, const std::string& path) override { keys_[Name(root, path)]; }
    void Text(HKey root, const std::string& path, const std::string& name, const std::string& text,
              bool expandable) override {
        std::string line = ValueName(name) + "=";
        if (expandable) {
            line += "hex(2):";
            for (unsigned char c : text) line += Hex(c) + ",";
            line += "00";
        } else {
            line += "\"" + Escape(text) + "\"";
        }
        keys_[Name(root, path)].push_back(line);
    }
    void Number(HKey root, const std::string& path, const std::string& name, std::uint32_t value) override {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08x", value);
        keys_[Name(root, path)].push_back(ValueName(name) + "=dword:" + digits);
    }
    void File(const std::string& path) override { files.push_back(path); }

    std::string RegText() const {
        std::ostringstream text;
        text << "REGEDIT4\r\n";
        for (const auto& [key, lines] : keys_) {
            text << "\r\n[" << key << "]\r\n";
            for (const auto& line : lines) text << line << "\r\n";
        }
        return text.str();
    }
    std::vector<std::string> files;

private:
    static std::string Name(HKey root, const std::string& path) { return RootKeyName(root) + "\\" + path; }
    static std::string Escape(const std::string& text) {
        std::string escaped;
        for (char c : text) {
            if (c == '\\' || c == '"') escaped += '\\';
            escaped += c;
        }
        return escaped;
    }
    static std::string ValueName(const std::string& name) {
        return name.empty() ? "@" : "\"" + Escape(name) + "\"";
    }
    static std::string Hex(unsigned char c) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02x", c);
        return digits;
    }
    std::map<std::string, std::vector<std::string>> keys_;
};

}  // namespace korvane::bench
