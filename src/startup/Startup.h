// The registry work of the startup manager: which keys each Windows version starts programs from,
// reading them into the list, and moving one entry between its Run key and its parking place.
// The page (StartupPage) decides when to list and what to tell the user; this unit does no UI.
#pragma once

#include <string>
#include <vector>

#include "controls/ListView.h"
#include "platform/RegistryBackend.h"
#include "startup/StartupEntry.h"

namespace korvane {

// Under HKEY_LOCAL_MACHINE: where the system configuration utility keeps disabled entries, one
// record (sub-key) per entry, named after it.
inline constexpr const char* kMsconfigStartupKey = "Software\\Microsoft\\Shared Tools\\MSConfig\\startupreg";

// How a disabled entry is parked: in a sibling key named "<Run key>-", or as a record below
// kMsconfigStartupKey. Version class 0 (unknown Windows) has none: nothing is listed or moved.
enum class ParkingScheme { None, Dash, SystemConfiguration };
ParkingScheme SchemeForVersionClass(int versionClass);

enum class StartupSourceKind {
    RunValues,          // ListRunKey
    MsconfigRecords,    // ListMsconfigEntries
    ApprovedRunValues,  // ListRunKey: a Run key Windows 8 keeps StartupApproved records for
    FolderFiles,        // ListStartupFolder (StartupFolders.h): keyPath is the shell-folder key
    RunOnceValues,      // ListRunKey: rows that Apply leaves as they are
    Tasks,              // ListStartupTasks (StartupKinds.h): no key
    Services,           // ListAutoStartServices (StartupKinds.h): no key
};

struct StartupSource {
    HKey root;
    std::string keyPath;
    StartupSourceKind kind;
    bool checked;               // what the rows of this source show: enabled (found in a Run key) or parked
    std::string folderValue{};  // FolderFiles: the value of keyPath that names the folder
};

// The keys and folders listed for a version class, in listing order. The NT classes read the Run and
// RunOnce keys of both registry views (the 32-bit view's only where a 32-bit program made it), the
// user's and the common Startup folder, the scheduled tasks (Task Scheduler 2.0: class 8) and the
// automatic services, then the parking records.
std::vector<StartupSource> StartupSources(int versionClass);

// Whether a listing reads the StartupApproved records (Windows 8 and later) for the rows' check marks.
enum class ApprovedStates { Ignore, Read };

// One row per value of the source's key (a RunValues, ApprovedRunValues or RunOnceValues source):
// name, data, "<root abbreviation>\<key path>", checked as the source says, each with its
// StartupEntry. A Run value carries its StartupApproved place; with ApprovedStates::Read, one whose
// record says disabled is unchecked. A missing key adds nothing; a value that is not text raises
// "Invalid data type for '<name>'" and the rows added before it stay.
void ListRunKey(RegistryBackend& registry, ListView& list, const StartupSource& source,
                ApprovedStates states);
// One unchecked row per parking record below the key: "item", "command", "<hkey>\<key>", each with
// its StartupEntry (the key it goes back to). A record that does not open adds nothing; wrongly typed
// values raise as in ListRunKey.
void ListMsconfigEntries(RegistryBackend& registry, ListView& list, HKey root, const std::string& keyPath);

enum class MoveOutcome {
    Moved,
    NoScheme,            // version class 0: nothing to do
    TargetNotOpened,     // the key the entry goes to could not be opened or created: nothing changed
    NeedsAdministrator,  // the registry refused a key of the move for lack of rights: nothing changed
    RefusedName,         // the name would address a key other than the entry's own record
    RefusedUnknownRoot,  // the entry names no root (a record's "hkey" that is no root abbreviation)
    RefusedNoKeyPath,    // the entry names a root but no key below it
    RefusedTargetTaken,  // where the entry would go, an entry of its name is already: it would be overwritten
};

// Moves an entry (a RunValue or a ParkedRecord) to its Run key (`enable`) or to its parking place.
// The value keeps its text type (REG_SZ or REG_EXPAND_SZ) both
// ways. A move never overwrites: an entry of the same name where this one would go refuses it, and a
// new parking record whose name is taken gets a free one (enabling finds a record by its own "item",
// "hkey" and "key" values). Refusals change nothing. A refused write raises "Failed to set data for
// '<name>'".
MoveOutcome MoveStartupEntry(RegistryBackend& registry, const StartupEntry& entry, int versionClass,
                             bool enable);

// Where MoveStartupEntry puts the entry, as "<root>\<key path>": the Run key or the parking key
// ("HKLM\" + kMsconfigStartupKey for the system-configuration scheme's records).
std::string MoveTargetLocation(const StartupEntry& entry, int versionClass, bool enable);

}  // namespace korvane
