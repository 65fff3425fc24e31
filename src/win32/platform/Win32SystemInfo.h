// Facts about the running Windows: the program's path, the system and temp folders, the true version
// (RtlGetVersion, because GetVersionEx lies from 8.1 on), the clock (local and UTC) and the user's time
// format.
#pragma once

#include "platform/SystemInfo.h"

namespace korvane::win32 {

class Win32SystemInfo final : public SystemInfo {
public:
    std::string executablePath() override;
    std::string systemDirectory() override;
    std::string tempDirectory() override;
    // From the known-folder API, so a redirected profile is followed.
    std::string localAppDataDirectory() override;
    bool is64BitWindows() override;
    std::string systemWow64Directory() override;
    // %ProgramFiles(x86)%, which Windows sets for 32-bit and 64-bit programs alike.
    std::string programFilesX86Directory() override;
    // The process token's elevation.
    bool runsElevated() override;
    // The command line split as CommandLineToArgvW does, the program's own name left out.
    std::vector<std::string> startArguments() override;
    std::optional<VersionRecord> windowsVersion() override;
    LocalDateTime localTime() override;
    std::uint64_t systemTimeAsFileTime() override;
    std::string longTimeFormat() override;
    // CompareStringW in the user's locale, ignoring case; byte order if Windows refuses the texts.
    int compareText(const std::string& a, const std::string& b) override;
    // The computer, the account and the machine-wide locks (Win32Account.cpp).
    std::string machineName() override;
    std::string accountSid() override;
    std::string accountName() override;
    std::string programDataDirectory() override;
    std::unique_ptr<NamedLock> lockNamed(const std::string& name, std::chrono::milliseconds wait) override;
};

}  // namespace korvane::win32
