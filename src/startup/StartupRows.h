// Rows of the startup sources that Windows 8 and later enable and disable in place (the Run keys of
// both views and the Startup folders): each row carries where its StartupApproved record lives, a
// row whose record says disabled shows unchecked, and Apply writes the record instead of parking the
// entry. On older Windows the same rows are parked as before (Startup.h), except folder files.
#pragma once

#include <cstdint>
#include <string>

#include "controls/ListView.h"
#include "platform/RegistryBackend.h"
#include "startup/StartupApproved.h"

namespace korvane {

// Kept in a row's tag.
struct StartupRowPlace {
    ApprovedPlace approved;
    bool folderFile = false;  // a file in a Startup folder: there is no Run value to park
};

// One row per value of the Run key, as ListRunKey lists them, each with its StartupRowPlace. With
// `useApproved`, a row whose record says disabled is unchecked. A value that is not text raises
// "Invalid data type for '<name>'" and the rows added before it stay.
void ListApprovedRunKey(RegistryBackend& registry, ListView& list, HKey root, const std::string& keyPath,
                        bool useApproved);

enum class InPlaceOutcome {
    NotInPlace,            // a row of the older schemes: Apply parks or restores it
    Changed,               // the record was written
    TargetNotOpened,       // the record's key could not be opened or created: nothing changed
    RefusedBeforeWindows8  // a Startup folder file, and this Windows keeps no records
};

// Apply's step for one changed row: writes the row's record when `useApproved` (Windows 8 and later)
// and the row has one. A refused write raises "Failed to set data for '<name>'".
InPlaceOutcome ChangeInPlace(RegistryBackend& registry, const ListItem& row, bool useApproved, bool enable,
                             std::uint64_t now);

// After an entry parked by the older schemes went back into its Run key: a record that still says
// disabled would keep it from running, so it is set to enabled. `location` is the row's
// "<root abbreviation>\<key path>". Nothing happens where there is no such record.
void EnableApprovedRecordOf(RegistryBackend& registry, const std::string& location, const std::string& name);

}  // namespace korvane
