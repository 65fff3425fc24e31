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
    std::optional<VersionRecord> windowsVersion() override;
    LocalDateTime localTime() override;
    std::uint64_t systemTimeAsFileTime() override;
    std::string longTimeFormat() override;
    // CompareStringW in the user's locale, ignoring case; byte order if Windows refuses the texts.
    int compareText(const std::string& a, const std::string& b) override;
};

}  // namespace korvane::win32
