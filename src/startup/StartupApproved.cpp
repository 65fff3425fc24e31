// The StartupApproved records of Windows 8 and later (see StartupApproved.h).
#include "startup/StartupApproved.h"

#include "registry/KeyName.h"
#include "registry/RegistryAccess.h"
#include "registry/RegistryViews.h"
#include "registry/RunKeys.h"

namespace korvane {

namespace {

constexpr std::size_t kRecordSize = 12;
constexpr std::size_t kTimeOffset = 4;
constexpr std::uint8_t kEnabled = 2;
constexpr std::uint8_t kDisabled = 3;

std::string RecordKey(const ApprovedPlace& place) {
    return "\\" + std::string(kStartupApprovedKey) + "\\" + place.list;
}

}  // namespace

bool KeepsStartupApproved(const std::optional<VersionRecord>& version) {
    constexpr std::uint32_t kNtFamily = 2;
    if (!version || version->platformId != kNtFamily) return false;
    return version->major > 6 || (version->major == 6 && version->minor >= 2);
}

std::optional<ApprovedPlace> ApprovedPlaceOfRunValue(HKey root, const std::string& keyPath,
                                                     const std::string& name) {
    if (root != roots::LocalMachine && root != roots::CurrentUser) return std::nullopt;
    const std::string key = FoldCase(BackendPath(keyPath));
    if (key == FoldCase(kRunKey)) return ApprovedPlace{root, approved::Run, name};
    // HKCU's Run key is shared by both views; its Wow6432Node twin, where a program made one, is
    // kept under the same path as HKLM's.
    const std::optional<std::string> wow = Wow64PathOf(roots::LocalMachine, kRunKey);
    if (wow && key == FoldCase(*wow)) return ApprovedPlace{root, approved::Run32, name};
    return std::nullopt;
}

std::optional<ApprovedState> ParseApprovedRecord(const RegValue& value) {
    if (value.type != regtype::Binary || value.data.empty()) return std::nullopt;
    ApprovedState state;
    state.disabled = value.data[0] == 3 || value.data[0] == 7;
    if (value.data.size() >= kRecordSize) {
        for (std::size_t i = 0; i < 8; ++i)
            state.disabledAt |= static_cast<std::uint64_t>(value.data[kTimeOffset + i]) << (8 * i);
    }
    return state;
}

std::vector<std::uint8_t> ApprovedRecord(bool enabled, std::uint64_t disabledAt) {
    std::vector<std::uint8_t> record(kRecordSize, 0);
    record[0] = enabled ? kEnabled : kDisabled;
    if (!enabled) {
        for (std::size_t i = 0; i < 8; ++i)
            record[kTimeOffset + i] = static_cast<std::uint8_t>(disabledAt >> (8 * i));
    }
    return record;
}

std::optional<ApprovedState> ReadApprovedState(RegistryBackend& backend, const ApprovedPlace& place) {
    RegistryAccess registry(backend);
    registry.SetRoot(place.root);
    if (!registry.OpenRegKeyReadOnly(RecordKey(place))) return std::nullopt;
    RegValue value;
    if (!registry.ReadRaw(place.name, value)) return std::nullopt;
    return ParseApprovedRecord(value);
}

bool WriteApprovedState(RegistryBackend& backend, const ApprovedPlace& place, bool enabled,
                        std::uint64_t now) {
    RegistryAccess registry(backend);
    registry.SetRoot(place.root);
    registry.SetAccess(access::AllAccess);
    if (!registry.OpenRegKey(RecordKey(place), CreateIfMissing::Yes)) return false;
    registry.WriteBytes(place.name, ApprovedRecord(enabled, now));
    return true;
}

}  // namespace korvane
