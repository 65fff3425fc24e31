// The Windows version, asked once per application state, and its class: which registry layout the
// scan groups and the startup manager expect.
#include "registry/WindowsVersion.h"

namespace korvane {

namespace {

constexpr std::uint32_t kWindows95Family = 1;
constexpr std::uint32_t kNtFamily = 2;

}  // namespace

WindowsVersion& WindowsVersion::operator=(WindowsVersion&& other) {
    if (this == &other) return *this;
    std::scoped_lock lock(mutex_, other.mutex_);
    system_ = other.system_;
    asked_ = other.asked_;
    version_ = other.version_;
    return *this;
}

bool WindowsVersion::Query() {
    std::lock_guard lock(mutex_);
    if (!asked_) {
        version_ = system_->windowsVersion();
        asked_ = true;
    }
    return version_.has_value();
}

int WindowsVersion::Class() const {
    std::lock_guard lock(mutex_);
    return VersionClassOf(version_);
}

std::optional<VersionRecord> WindowsVersion::Remembered() const {
    std::lock_guard lock(mutex_);
    return version_;
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

}  // namespace korvane
