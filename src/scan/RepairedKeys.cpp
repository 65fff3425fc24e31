// Findings that came back after a repair (see RepairedKeys.h).
#include "scan/RepairedKeys.h"

namespace korvane {

RepairedKeys RepairedKeys::From(const UndoHistory& history) {
    RepairedKeys keys;
    // Entries are in the order recorded: a later repair of the same Key Name gives the newer date.
    for (HistoryEntry& entry : history.Entries()) keys.dates_[std::move(entry.type)] = std::move(entry.date);
    return keys;
}

void RepairedKeys::Mark(ScanFinding& finding) const {
    if (dates_.empty()) return;
    const auto found = dates_.find(finding.where.Text());
    if (found == dates_.end()) return;
    finding.cameBack = true;
    finding.repairedOn = found->second;
}

}  // namespace korvane
