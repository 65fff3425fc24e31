// The rows of the error list: what AddScanError adds on the window's thread, for one finding or for an
// ordered batch of them. Each row keeps the registry entry its finding names, for repair and for the
// ignore list, and the evidence the finding rests on, shown below the list and copied with the row.
#pragma once

#include <string>

#include "controls/ListView.h"
#include "registry/KeyName.h"
#include "scanwalk/ScanSink.h"

namespace korvane {

// The error list's order: by Error Type, byte by byte; findings of one type keep the order found.
void SortErrorsByType(ListView& lvErrors);

// What an error row keeps with it, never shown in its columns.
struct ErrorRowTag {
    std::string errorType;  // as found, also when the shown caption is changed
    KeyName where;
    std::string guessPath;
    Evidence evidence;
    bool certain = true;    // false: a test could not tell, and the row is never checked for the user
    bool cameBack = false;  // repaired before and here again: never checked for the user either
    std::string repairedOn{};
};

// Appends a finding row (image 1) to lvErrors at its sorted place: Error Type, then the Key Name's
// text, Key Value and Guess Path. It is checked when the finding is certain and did not come back.
void AddErrorRow(ListView& lvErrors, ScanFinding finding);

// The registry entry a row of lvErrors names; nullptr for a row no finding made.
const KeyName* FindingOf(const ListItem& row);
const ErrorRowTag* ErrorRowTagOf(const ListItem& row);

// "<path as resolved> — <answer>", and why a row is not checked; empty for a row no finding made.
std::string EvidenceText(const ListItem& row);
// The row's four columns apart by tabs, then its evidence on a line of its own.
std::string RowCopyText(const ListItem& row);

}  // namespace korvane
