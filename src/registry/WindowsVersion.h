// The Windows version class that decides which registry keys some scan groups and the startup
// manager use.
#pragma once

#include <mutex>
#include <optional>

#include "platform/SystemInfo.h"

namespace korvane {

// The version of the Windows one application state runs on: asked of the platform once, on first
// need, and kept for the state's life. The UI thread and the scan's workers may ask at once.
class WindowsVersion {
public:
    explicit WindowsVersion(SystemInfo& system) : system_(&system) {}
    WindowsVersion(const WindowsVersion&) = delete;
    // Takes over what `other` knows (a state moved to another Windows, as a test stages it).
    WindowsVersion& operator=(WindowsVersion&& other);

    // Asks the platform the first time; true when the query succeeded.
    bool Query();
    // 1-3: Windows 95 family; 4-7: NT 4 to 5.2; 8: NT 6.0 and later; 0: unknown or not queried.
    int Class() const;
    // The version Query found, for the finer steps inside a class (Windows 8 is NT 6.2); nothing when
    // it was not found or not asked.
    std::optional<VersionRecord> Remembered() const;

private:
    SystemInfo* system_;
    mutable std::mutex mutex_;
    bool asked_ = false;
    std::optional<VersionRecord> version_;
};

// The class of one version record (what WindowsVersion::Class applies to the remembered one).
int VersionClassOf(const std::optional<VersionRecord>& version);

}  // namespace korvane
