// System facts set by the test: the program's own path, folders, Windows version, clock and time
// format. Defaults describe a Windows XP machine with Korvane in C:\Korvane. Set the fields before
// the code under test runs; they are not guarded for concurrent change.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/SystemInfo.h"

namespace korvane {

class MemorySystemInfo : public SystemInfo {
public:
    std::string executable = "C:\\Korvane\\Korvane.exe";
    std::string systemFolder = "C:\\WINDOWS\\system32";
    std::string tempFolder = "C:\\Temp\\";
    std::string localAppDataFolder = "C:\\Users\\user\\AppData\\Local";
    std::optional<VersionRecord> version = VersionRecord{2, 5, 1, 2600};
    LocalDateTime now{2024, 3, 15, 14, 5, 9};
    std::uint64_t fileTimeNow = 133549815090000000;  // 2024-03-15 13:05:09 UTC
    std::string timeFormat = "h:mm:ss tt";
    // 32-bit Windows unless a test says otherwise; on 64-bit Windows the two folders of 32-bit programs.
    bool windows64 = false;
    std::string systemWow64Folder;
    std::string programFilesX86Folder;
    bool elevated = false;
    std::vector<std::string> arguments;

    std::string executablePath() override { return executable; }
    std::string systemDirectory() override { return systemFolder; }
    std::string tempDirectory() override { return tempFolder; }
    std::string localAppDataDirectory() override { return localAppDataFolder; }
    bool is64BitWindows() override { return windows64; }
    std::string systemWow64Directory() override { return systemWow64Folder; }
    std::string programFilesX86Directory() override { return programFilesX86Folder; }
    bool runsElevated() override { return elevated; }
    std::vector<std::string> startArguments() override { return arguments; }
    // A 64-bit Windows 10 with C:\WINDOWS\SysWOW64 and C:\Program Files (x86).
    void Use64BitWindows10() {
        version = VersionRecord{2, 10, 0, 19045};
        windows64 = true;
        systemWow64Folder = "C:\\WINDOWS\\SysWOW64";
        programFilesX86Folder = "C:\\Program Files (x86)";
    }
    std::optional<VersionRecord> windowsVersion() override { return version; }
    LocalDateTime localTime() override { return now; }
    std::uint64_t systemTimeAsFileTime() override { return fileTimeNow; }
    std::string longTimeFormat() override { return timeFormat; }
    // Case-insensitive, as CompareString with NORM_IGNORECASE for the texts tests use.
    int compareText(const std::string& a, const std::string& b) override;

    std::string machine = "KORVANE-TEST";
    std::string sid = "S-1-5-21-1000-2000-3000-1001";
    std::string account = "KORVANE-TEST\\user";
    std::string programDataFolder = "C:\\ProgramData";
    std::string machineName() override { return machine; }
    std::string accountSid() override { return sid; }
    std::string accountName() override { return account; }
    std::string programDataDirectory() override { return programDataFolder; }
    // Named locks of this machine: one holder each; a second taker gets nothing at once (no one
    // else could let it go while the test thread waits).
    std::unique_ptr<NamedLock> lockNamed(const std::string& name, std::chrono::milliseconds wait) override;
    bool LockHeld(const std::string& name) const;

private:
    std::shared_ptr<std::set<std::string>> heldLocks_ = std::make_shared<std::set<std::string>>();
};

}  // namespace korvane
