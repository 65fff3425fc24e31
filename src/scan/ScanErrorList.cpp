// Error rows and the structure they keep (see ScanErrorList.h).
#include "scan/ScanErrorList.h"

namespace korvane {

void SortErrorsByType(ListView& lvErrors) {
    lvErrors.sortComparator = [](const std::string& a, const std::string& b) { return a.compare(b); };
}

void AddErrorRow(ListView& lvErrors, ScanFinding finding) {
    ListItem row;
    row.caption = std::move(finding.errorType);
    row.subItems = {finding.where.Text(), std::move(finding.keyValue), std::move(finding.guessPath)};
    row.checked = true;
    row.imageIndex = 1;
    row.tag = std::move(finding.where);
    lvErrors.Add(std::move(row));
}

const KeyName* FindingOf(const ListItem& row) {
    return std::any_cast<KeyName>(&row.tag);
}

}  // namespace korvane
