// Facts about the running system that the program reads: its own path, folders, version, clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct VersionRecord {
    std::uint32_t platformId = 0;  // 1 = Windows 95 family, 2 = NT family
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};

struct LocalDateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

// A held machine-wide lock (SystemInfo::lockNamed); destroying it lets the lock go.
class NamedLock {
public:
    virtual ~NamedLock() = default;
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    virtual std::string executablePath() = 0;
    // The system folder as the platform spells it, e.g. "C:\WINDOWS\system32" (no trailing "\").
    virtual std::string systemDirectory() = 0;
    // The temporary folder as GetTempPath gives it, with its trailing "\".
    virtual std::string tempDirectory() = 0;
    // The user's local application-data folder (%LOCALAPPDATA%), no trailing "\"; empty when unknown.
    virtual std::string localAppDataDirectory() = 0;
    // Whether Windows itself is 64-bit, also when this program is its 32-bit build.
    virtual bool is64BitWindows() = 0;
    // What 32-bit programs see as their system folder on 64-bit Windows ("C:\WINDOWS\SysWOW64", no
    // trailing "\"); empty on 32-bit Windows.
    virtual std::string systemWow64Directory() = 0;
    // Where 32-bit programs are installed on 64-bit Windows ("C:\Program Files (x86)", no trailing "\");
    // empty on 32-bit Windows.
    virtual std::string programFilesX86Directory() = 0;
    // Whether this program runs with administrator rights (elevated).
    virtual bool runsElevated() = 0;
    // The arguments the program was started with, without its own name.
    virtual std::vector<std::string> startArguments() = 0;
    // The true version; nothing when it cannot be read.
    virtual std::optional<VersionRecord> windowsVersion() = 0;
    virtual LocalDateTime localTime() = 0;
    // Now, in UTC, as a FILETIME: 100-nanosecond intervals since 1601-01-01.
    virtual std::uint64_t systemTimeAsFileTime() = 0;
    // The user's long time format, e.g. "h:mm:ss tt".
    virtual std::string longTimeFormat() = 0;
    // Locale-aware comparison of two texts for sorting: <0, 0, >0.
    virtual int compareText(const std::string& a, const std::string& b) = 0;

    // The computer's name; empty when unknown.
    virtual std::string machineName() { return {}; }
    // The account the program runs as: its SID ("S-1-5-18" for SYSTEM) and "DOMAIN\name"; empty when
    // unknown.
    virtual std::string accountSid() { return {}; }
    virtual std::string accountName() { return {}; }
    // %ProgramData% (no trailing "\"); empty when unknown.
    virtual std::string programDataDirectory() { return {}; }
    // Takes the machine-wide lock `name` (a named mutex), waiting at most `wait` for another holder to
    // let it go; nothing when it stayed taken. The lock is let go when the result is destroyed.
    virtual std::unique_ptr<NamedLock> lockNamed(const std::string& name, std::chrono::milliseconds wait) {
        return std::make_unique<NamedLock>();
    }
};

}  // namespace korvane
