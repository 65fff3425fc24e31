// Error rows and the structure they keep (see ScanErrorList.h).
#include "scan/ScanErrorList.h"

namespace korvane {

void SortErrorsByType(ListView& lvErrors) {
    lvErrors.sortComparator = [](const std::string& a, const std::string& b) { return a.compare(b); };
}

void AddErrorRow(ListView& lvErrors, ScanFinding finding) {
    ListItem row;
    row.caption = finding.errorType;
    row.subItems = {finding.where.Text(), std::move(finding.keyValue), finding.guessPath};
    row.checked = finding.certain && !finding.cameBack;
    row.imageIndex = 1;
    row.tag =
        ErrorRowTag{std::move(finding.errorType), std::move(finding.where), std::move(finding.guessPath),
                    std::move(finding.evidence),  finding.certain,          finding.cameBack,
                    std::move(finding.repairedOn)};
    lvErrors.Add(std::move(row));
}

const ErrorRowTag* ErrorRowTagOf(const ListItem& row) {
    return std::any_cast<ErrorRowTag>(&row.tag);
}

const KeyName* FindingOf(const ListItem& row) {
    const ErrorRowTag* tag = ErrorRowTagOf(row);
    return tag != nullptr ? &tag->where : nullptr;
}

std::string EvidenceText(const ListItem& row) {
    const ErrorRowTag* tag = ErrorRowTagOf(row);
    if (tag == nullptr) return {};
    std::string text = tag->evidence.tested + " \u2014 " + tag->evidence.answer;
    if (!tag->certain) text += ": cannot tell, so the row is not checked";
    if (tag->cameBack) {
        text += tag->repairedOn.empty() ? "; came back after an earlier repair"
                                        : "; came back after a repair on " + tag->repairedOn;
        text += ": a program recreates it, so the row is not checked";
    }
    return text;
}

std::string RowCopyText(const ListItem& row) {
    std::string text = row.caption;
    for (const std::string& cell : row.subItems) text += "\t" + cell;
    const std::string evidence = EvidenceText(row);
    if (!evidence.empty()) text += "\r\n" + evidence;
    return text + "\r\n";
}

}  // namespace korvane
