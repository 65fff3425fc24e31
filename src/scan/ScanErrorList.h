// Rows of the error list and the ignore test that guards them: what AddScanError does on the window's
// thread, for one finding or for an ordered batch of them.
#pragma once

#include <string>
#include <unordered_set>

#include "core/XmlDocument.h"
#include "controls/ListView.h"

namespace korvane {

// ROOT + "\" + KEY + "\" + VALUE of an ignore entry, plain concatenation (absent attributes are empty).
std::string IgnoreKeyName(const XmlElement& entry);
// The Key Names of the ignore document at one moment (what IgnoreListHolds compares against), for testing a
// batch of findings in one UI-thread call (during which the document cannot change).
class IgnoreSnapshot {
public:
    explicit IgnoreSnapshot(const XmlDocument& ignoreList);
    bool Contains(const std::string& keyName) const { return names_.count(keyName) != 0; }

private:
    std::unordered_set<std::string> names_;
};

// Appends a checked finding row (image 1) to lvErrors at its sorted place.
void AddErrorRow(ListView& lvErrors, std::string errorType, std::string keyName, std::string keyValue,
                 std::string guessPath);

}  // namespace korvane
