// Switching in place the startup entries that Windows 8 and later enable and disable where they are
// (the Run values of both views and the Startup folders' files): Apply writes the entry's
// StartupApproved record instead of parking it. On older Windows the same entries are parked as
// before (Startup.h), except folder files, which have no parking place.
#pragma once

#include <cstdint>

#include "platform/RegistryBackend.h"
#include "startup/StartupEntry.h"

namespace korvane {

enum class InPlaceOutcome {
    NotInPlace,            // an entry of the older schemes: Apply parks or restores it
    Changed,               // the record was written
    TargetNotOpened,       // the record's key could not be opened or created: nothing changed
    RefusedBeforeWindows8  // a Startup folder file, and this Windows keeps no records
};

// Apply's step for one changed entry: writes its record when `useApproved` (Windows 8 and later) and
// it is a Run value or a Startup folder file with a record's place. A refused write raises "Failed to
// set data for '<name>'".
InPlaceOutcome ChangeInPlace(RegistryBackend& registry, const StartupEntry& entry, bool useApproved,
                             bool enable, std::uint64_t now);

// After an entry parked by the older schemes went back into its Run key: a record that still says
// disabled would keep it from running, so it is set to enabled. Nothing happens where the entry has
// no such record.
void EnableApprovedRecordOf(RegistryBackend& registry, const StartupEntry& entry);

}  // namespace korvane
