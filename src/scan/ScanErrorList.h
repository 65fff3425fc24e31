// The rows of the error list: what AddScanError adds on the window's thread, for one finding or for an
// ordered batch of them. Each row keeps the registry entry its finding names, for repair and for the
// ignore list.
#pragma once

#include "controls/ListView.h"
#include "registry/KeyName.h"
#include "scan/ScanContext.h"

namespace korvane {

// The error list's order: by Error Type, byte by byte; findings of one type keep the order found.
void SortErrorsByType(ListView& lvErrors);

// Appends a checked finding row (image 1) to lvErrors at its sorted place: Error Type, then the Key
// Name's text, Key Value and Guess Path; the Key Name's structure goes with the row.
void AddErrorRow(ListView& lvErrors, ScanFinding finding);

// The registry entry a row of lvErrors names; nullptr for a row no finding made.
const KeyName* FindingOf(const ListItem& row);

}  // namespace korvane
