// Error rows and the ignore test of AddScanError.
#include "scan/ScanErrorList.h"

namespace korvane {

std::string IgnoreKeyName(const XmlElement& entry) {
    return entry.Attribute("ROOT") + "\\" + entry.Attribute("KEY") + "\\" + entry.Attribute("VALUE");
}

IgnoreSnapshot::IgnoreSnapshot(const XmlDocument& ignoreList) {
    const XmlElement root = ignoreList.DocumentElement();
    if (!root) return;
    for (const XmlElement& entry : root.Children()) {
        // As IgnoreListHolds: a hand-edited entry lacking an attribute matches nothing, so it cannot
        // hide the findings of a default value ("ROOT\KEY\") from the scan.
        if (entry.HasAttribute("ROOT") && entry.HasAttribute("KEY") && entry.HasAttribute("VALUE"))
            names_.insert(IgnoreKeyName(entry));
    }
}

void AddErrorRow(ListView& lvErrors, std::string errorType, std::string keyName, std::string keyValue,
                 std::string guessPath) {
    ListItem row;
    row.caption = std::move(errorType);
    row.subItems = {std::move(keyName), std::move(keyValue), std::move(guessPath)};
    row.checked = true;
    row.imageIndex = 1;
    lvErrors.Add(std::move(row));
}

}  // namespace korvane
