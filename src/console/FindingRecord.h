// A finding as korvanec's document gives it: a record whose field names and enumeration values are
// English identifiers that never follow the window's texts, and an id that names the same registry
// entry on every run and every machine (so fleet reports can be joined and counted).
#pragma once

#include <array>
#include <string>

#include "console/TableOutput.h"
#include "scanwalk/ScanSink.h"

namespace korvane::console {

// The groups' invariant names, by group number.
extern const std::array<const char*, kScanGroupCount> kGroupIds;

// 16 hex digits: a 64-bit FNV-1a hash of the root's name, the view, and the key path and value name
// folded to one case (registry names ignore case).
std::string FindingId(const KeyName& where);

// "64bit" or "32bit": the registry view the finding's key is in.
const char* ViewId(const KeyName& where);

// "missing" (a test said the target is not there), "cannotTell" (no test could tell) or "cameBack"
// (it was repaired before and something wrote it again).
const char* AnswerId(const ScanFinding& finding);

// Whether a repair of the checked findings takes it: only a plain "missing".
bool CheckedForRepair(const ScanFinding& finding);

// The document's record. `profile` is the SID of the user the finding belongs to (empty: the machine).
Records FindingRecord(const ScanFinding& finding, const std::string& profile);

// The CSV and text columns, as they have always been.
Records FindingRow(const ScanFinding& finding);

}  // namespace korvane::console
