// The Windows version, asked once per process, and its class: which registry layout the scan groups
// and the startup manager expect. The answer is shared by the UI thread and the workers.
#include "registry/WindowsVersion.h"

#include <mutex>

namespace korvane {

namespace {

struct RememberedVersion {
    std::mutex mutex;
    bool asked = false;
    std::optional<VersionRecord> version;
};

RememberedVersion& Remembered() {
    static RememberedVersion remembered;
    return remembered;
}

constexpr std::uint32_t kWindows95Family = 1;
constexpr std::uint32_t kNtFamily = 2;

}  // namespace

bool QueryWindowsVersion(SystemInfo& system) {
    RememberedVersion& remembered = Remembered();
    std::lock_guard lock(remembered.mutex);
    if (!remembered.asked) {
        remembered.version = system.windowsVersion();
        remembered.asked = true;
    }
    return remembered.version.has_value();
}

int WindowsVersionClass() {
    RememberedVersion& remembered = Remembered();
    std::lock_guard lock(remembered.mutex);
    return VersionClassOf(remembered.version);
}

std::optional<VersionRecord> RememberedWindowsVersion() {
    RememberedVersion& remembered = Remembered();
    std::lock_guard lock(remembered.mutex);
    return remembered.version;
}

int VersionClassOf(const std::optional<VersionRecord>& version) {
    if (!version) return 0;
    const std::uint32_t platformId = version->platformId;
    const std::uint32_t major = version->major;
    const std::uint32_t minor = version->minor;
    if (platformId == kWindows95Family && major == 4) {
        if (minor == 0) return 1;
        if (minor == 10) return 2;
        if (minor == 90) return 3;
        return 0;
    }
    if (platformId == kNtFamily) {
        if (major <= 4) return 4;
        if (major == 5 && minor <= 2) return 5 + static_cast<int>(minor);
        // Vista and every Windows since: without this class the startup manager would show nothing.
        if (major >= 6) return 8;
    }
    return 0;
}

void ResetWindowsVersionForTests() {
    RememberedVersion& remembered = Remembered();
    std::lock_guard lock(remembered.mutex);
    remembered.asked = false;
    remembered.version.reset();
}

}  // namespace korvane
