// What the restore-point tests share: a stand-in registry editor attached to the in-memory processes
// (it parses the command line as the real one does, records it and writes or reads the .reg file in
// its working folder), a page on the in-memory platform whose waits and status texts are recorded,
// and restore points made by hand, with or without their checksum file.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "backup/BackupPage.h"
#include "support/AppFixture.h"

namespace korvane::testing {

inline constexpr const char* kEditor = "\"C:\\WINDOWS\\regedit.exe\"";
inline constexpr const char* kBackupFolder = "C:\\Korvane\\Backup\\";

// The five roots a restore point holds, in the order they are exported and imported.
inline std::vector<const char*> Roots() {
    return {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
            "HKEY_CURRENT_CONFIG"};
}

// Splits a command line as the C runtime does for simple cases: blanks separate, quotes group.
inline std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

// Plays C:\WINDOWS\regedit.exe: "/e file root" writes an export of `root` to file, "/s file" imports
// it. A switch it does not know fails the whole command, as the real editor does. Relative file
// names are taken against the working folder it was given: it never sees the test's current folder.
class StandInRegistryEditor {
public:
    explicit StandInRegistryEditor(MemoryPlatform& memory) : files_(memory.files()) {
        memory.processes().SetBehaviour(
            [this](const std::string& line, const std::string& folder) { return Run(line, folder); });
    }

    // The root whose run exits with 1, and the one whose editor cannot be started at all.
    void FailRoot(const std::string& root) {
        Locked([&] { failing_.insert(root); });
    }
    void CannotStartFor(const std::string& root) {
        Locked([&] { unstartable_.insert(root); });
    }
    std::vector<std::string> Imported() const {
        std::lock_guard lock(mutex_);
        return imported_;
    }

    static std::string ExportText(const std::string& root) {
        return "Windows Registry Editor Version 5.00\r\n\r\n[" + root + "]\r\n";
    }

private:
    template <class F>
    void Locked(F f) {
        std::lock_guard lock(mutex_);
        f();
    }

    std::optional<std::uint32_t> Run(const std::string& line, const std::string& folder) {
        const std::vector<std::string> words = SplitCommandLine(line);
        if (words.empty() || words[0] != "C:\\WINDOWS\\regedit.exe") return std::nullopt;
        const std::string root = words.size() > 3   ? words[3]
                                 : words.size() > 2 ? words[2].substr(0, words[2].find('.'))
                                                    : "";
        {
            std::lock_guard lock(mutex_);
            if (unstartable_.count(root)) return std::nullopt;
            if (failing_.count(root)) return 1u;
        }
        const std::string file = words.size() > 2 ? folder + "\\" + words[2] : "";
        if (words.size() == 4 && words[1] == "/e")
            return files_.writeFile(file, ExportText(words[3])) ? 0u : 1u;
        if (words.size() == 3 && words[1] == "/s") {
            const auto text = files_.readFile(file);
            if (!text) return 1u;
            std::lock_guard lock(mutex_);
            imported_.push_back(*text);
            return 0u;
        }
        return 1u;  // "Invalid or unrecognized switch"
    }

    MemoryFileSystem& files_;
    mutable std::mutex mutex_;
    std::set<std::string> failing_;
    std::set<std::string> unstartable_;
    std::vector<std::string> imported_;
};

class BackupPageTest : public AppFixture {
protected:
    BackupPageTest() {
        state.BackupFolder = kBackupFolder;
        memory.files().AddFolder("C:\\Korvane\\Backup");
        memory.files().AddFolder("C:\\Work");
        memory.files().setCurrentDirectory("C:\\Work");
        memory.system().now = LocalDateTime{2026, 12, 6, 20, 10, 32};
        memory.system().timeFormat = "h:mm:ss tt";
        page.Sleep = [this](std::chrono::milliseconds pause) {
            std::lock_guard lock(sleepMutex);
            sleeps.push_back(pause);
        };
        page.lbStatus.onChanged = [this](Control& label) { statuses.push_back(label.Caption()); };
    }

    // Lets the workers' hand-overs run until both have finished.
    void Finish() {
        ASSERT_TRUE(memory.ui().PumpUntil(
            [this] { return !page.ThreadBackup.Active() && !page.ThreadRestore.Active(); }));
    }
    // A complete restore point as the stand-in editor and the backup leave it: the five exports and
    // "Korvane.sha256" with a line "<hex digest>  <file>" for each.
    void AddRestorePoint(const std::string& name) {
        AddRestorePointWithoutChecksums(name);
        std::string manifest;
        for (const char* root : Roots()) manifest += ManifestLine(name, std::string(root) + ".reg");
        memory.files().AddFile(kBackupFolder + name + "\\Korvane.sha256", manifest);
    }
    // A restore point as made before restore points had checksums.
    void AddRestorePointWithoutChecksums(const std::string& name) {
        for (const char* root : Roots())
            memory.files().AddFile(kBackupFolder + name + "\\" + root + ".reg",
                                   StandInRegistryEditor::ExportText(root));
    }
    // The checksum line of one file of a restore point, as it is now.
    std::string ManifestLine(const std::string& point, const std::string& file) {
        const auto digest = memory.files().sha256(kBackupFolder + point + "\\" + file);
        EXPECT_TRUE(digest.has_value()) << file;
        std::string line;
        for (std::uint8_t byte : digest.value_or(Sha256Digest{})) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02x", byte);
            line += pair;
        }
        return line + "  " + file + "\r\n";
    }

    StandInRegistryEditor editor{memory};
    std::vector<std::string> statuses;  // UI thread only
    std::mutex sleepMutex;
    std::vector<std::chrono::milliseconds> sleeps;
    BackupPage page{state};  // last: its workers are waited for before the rest goes
};

}  // namespace korvane::testing
