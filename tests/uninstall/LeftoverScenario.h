// A 64-bit Windows 10 in memory with two programs of one publisher: "Acme Writer", whose traces of
// every kind point into C:\Program Files\Acme Corp\Writer, and "Acme Paint", installed beside it and
// still there. RemoveWriterFiles plays what Writer's uninstaller does: it deletes the program's files
// and its entry, and leaves everything else behind.
#pragma once

#include <gmock/gmock.h>

#include <map>
#include <string>
#include <vector>

#include "uninstall/LeftoverPanel.h"
#include "uninstall/LeftoverPaths.h"
#include "uninstall/ShellLinkBytes.h"
#include "uninstall/UninstallSources.h"
#include "uninstall/UninstallTestSupport.h"

namespace korvane::testing {

inline const std::string kWriter = "C:\\Program Files\\Acme Corp\\Writer";
inline const std::string kPaint = "C:\\Program Files\\Acme Corp\\Paint";
inline const std::string kWriterEntry = kUninstall + "\\AcmeWriter";
inline const std::string kPaintEntry = kUninstall + "\\AcmePaint";
inline const std::string kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
inline const std::string kCommonPrograms = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
inline const std::string kUserDesktop = "C:\\Users\\user\\Desktop";
inline const std::string kWriterClsid = "Software\\Classes\\CLSID\\{0A0B0C0D-1111-2222-3333-444455556666}";
inline const std::string kWriterClsid32 =
    "Software\\Classes\\Wow6432Node\\CLSID\\{0A0B0C0D-1111-2222-3333-777788889999}";

// Every value below the two hives, by "root|key|value", with type and bytes.
using RegistryDump = std::map<std::string, std::pair<std::uint32_t, std::vector<std::uint8_t>>>;

class LeftoverTest : public UninstallTest {
protected:
    LeftoverTest() {
        memory.system().Use64BitWindows10();
        history.Load();
        SetUpWindows();
        InstallWriter();
        InstallPaint();
    }

    void SetUpWindows() {
        MemoryRegistry& r = registry();
        r.SetString(HKLM, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
        r.SetString(HKLM, kCurrentVersion, "CommonFilesDir", "C:\\Program Files\\Common Files");
        const std::string shell = kCurrentVersion + "\\Explorer\\Shell Folders";
        r.SetString(HKCU, shell, "AppData", "C:\\Users\\user\\AppData\\Roaming");
        r.SetString(HKCU, shell, "Programs",
                    "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs");
        r.SetString(HKCU, shell, "Desktop", kUserDesktop);
        r.SetString(HKLM, shell, "Common Programs", kCommonPrograms);
        r.SetString(HKLM, shell, "Common AppData", "C:\\ProgramData");
        r.SetString(HKLM, shell, "Common Desktop", "C:\\Users\\Public\\Desktop");
        memory.files().AddFolder(kCommonPrograms);
        memory.files().AddFolder(kUserDesktop);
    }

    void InstallWriter() {
        MemoryRegistry& r = registry();
        MemoryFileSystem& f = memory.files();
        for (const char* file : {"uninst.exe", "writer.exe", "tray.exe", "update.exe", "finish.exe",
                                 "acmecore.dll", "writershell.dll"})
            f.AddFile(kWriter + "\\" + file, "MZ");
        f.AddFile(kWriter + "\\Templates\\mine.dot", "user's own");
        r.SetString(HKLM, kWriterEntry, "DisplayName", "Acme Writer");
        r.SetString(HKLM, kWriterEntry, "Publisher", "Acme Corp");
        r.SetString(HKLM, kWriterEntry, "InstallLocation", kWriter + "\\");
        r.SetString(HKLM, kWriterEntry, "UninstallString", "\"" + kWriter + "\\uninst.exe\" /S");
        r.SetString(HKLM, kWriterEntry, "DisplayIcon", kWriter + "\\writer.exe,0");
        r.SetString(HKLM, kCurrentVersion + "\\App Paths\\writer.exe", "", kWriter + "\\writer.exe");
        r.SetString(HKLM, kCurrentVersion + "\\App Paths\\writer.exe", "Path", kWriter);
        r.SetString(HKCU, kCurrentVersion + "\\Run", "AcmeWriterTray",
                    "\"" + kWriter + "\\tray.exe\" /background");
        r.SetValue(HKCU, kCurrentVersion + "\\Explorer\\StartupApproved\\Run", "AcmeWriterTray",
                   RegValue{regtype::Binary, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}});
        r.SetString(HKLM, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
                    "AcmeWriterUpdate", "%ProgramFiles%\\Acme Corp\\Writer\\update.exe", regtype::ExpandSz);
        r.SetValue(HKLM, kCurrentVersion + "\\Explorer\\StartupApproved\\Run32", "AcmeWriterUpdate",
                   RegValue{regtype::Binary, {3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}});
        r.SetString(HKLM, kCurrentVersion + "\\RunOnce", "AcmeFinish", kWriter + "\\finish.exe --cleanup");
        r.SetDword(HKLM, kCurrentVersion + "\\SharedDLLs", kWriter + "\\acmecore.dll", 1);
        r.SetString(HKLM, kWriterClsid + "\\InprocServer32", "", kWriter + "\\writershell.dll");
        r.SetString(HKLM, kWriterClsid + "\\InprocServer32", "ThreadingModel", "Apartment");
        r.SetString(HKLM, kWriterClsid32 + "\\LocalServer32", "",
                    "\"" + kWriter + "\\writer.exe\" -Embedding");
        r.SetString(HKLM, "Software\\Classes\\AcmeWriter.Document\\shell\\open\\command", "",
                    "\"" + kWriter + "\\writer.exe\" \"%1\"");
        r.SetString(HKLM, "Software\\Classes\\AcmeWriter.Document\\DefaultIcon", "",
                    kWriter + "\\writer.exe,1");
        f.AddFile(kCommonPrograms + "\\Acme Writer\\Acme Writer.lnk",
                  ShellLinkBytes(kWriter + "\\writer.exe"));
        f.AddFile(kUserDesktop + "\\Acme Writer.lnk", ShellLinkBytes(kWriter + "\\writer.exe", false));
        r.SetString(HKCU, "Software\\Acme Corp\\Acme Writer\\Options", "Font", "Consolas");
    }

    void InstallPaint() {
        MemoryRegistry& r = registry();
        memory.files().AddFile(kPaint + "\\paint.exe", "MZ");
        memory.files().AddFile(kPaint + "\\uninst.exe", "MZ");
        r.SetString(HKLM, kPaintEntry, "DisplayName", "Acme Paint");
        r.SetString(HKLM, kPaintEntry, "Publisher", "Acme Corp");
        r.SetString(HKLM, kPaintEntry, "InstallLocation", kPaint);
        r.SetString(HKLM, kPaintEntry, "UninstallString", kPaint + "\\uninst.exe");
        r.SetString(HKCU, kCurrentVersion + "\\Run", "AcmePaint", kPaint + "\\paint.exe");
        r.SetString(HKCU, "Software\\Acme Corp\\Acme Paint", "Brush", "round");
    }

    // What Writer's uninstaller removes: its files (but for the user's own) and its entry.
    void RemoveWriterFiles() {
        for (const char* file : {"uninst.exe", "writer.exe", "tray.exe", "update.exe", "finish.exe",
                                 "acmecore.dll", "writershell.dll"})
            memory.files().deleteFile(kWriter + "\\" + file);
        registry().DeleteTreeRaw(HKLM, kWriterEntry);
    }

    UninstallEntry WriterEntry() {
        std::vector<UninstallEntry> entries;
        ReadUninstallEntries(registry(), entries);
        for (const UninstallEntry& entry : entries)
            if (entry.displayName == "Acme Writer") return entry;
        ADD_FAILURE() << "Acme Writer is not listed";
        return {};
    }

    std::vector<Leftover> ScanWriter(const LeftoverSubject& subject) {
        return FindLeftovers(memory.platform(), subject);
    }

    // Where each trace is, as "kind|where|checked".
    static std::vector<std::string> Summary(const std::vector<Leftover>& found) {
        std::vector<std::string> out;
        for (const Leftover& trace : found)
            out.push_back(LeftoverKindId(trace.kind) + "|" + trace.Where() +
                          (trace.checked ? "|checked" : "|unchecked"));
        return out;
    }

    RegistryDump Dump() {
        RegistryDump dump;
        for (HKey root : {HKLM, HKCU}) DumpKey(dump, root, "");
        return dump;
    }
    void DumpKey(RegistryDump& dump, HKey root, const std::string& path) {
        for (const std::string& name : registry().ValueNamesRaw(root, path)) {
            const auto value = registry().GetValue(root, path, name);
            dump[std::to_string(root) + "|" + FoldCase(path) + "|" + name] = {value->type, value->data};
        }
        if (registry().ValueNamesRaw(root, path).empty())
            dump[std::to_string(root) + "|" + FoldCase(path) + "|(key)"] = {};
        for (const std::string& sub : registry().SubkeyNamesRaw(root, path))
            DumpKey(dump, root, path.empty() ? sub : path + "\\" + sub);
    }
};

}  // namespace korvane::testing
