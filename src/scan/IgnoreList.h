// The ignore document (ignore.xml): an IgnoreList root holding one ERROR element per ignored Key
// Name, split into ROOT, KEY and VALUE. Shared by the Ignore List page (which changes it) and the
// scan (which consults it for every finding).
#pragma once

#include <string>

#include "core/XmlDocument.h"

namespace korvane {

// Always used without a folder: the file follows the process's current folder.
inline constexpr const char* IgnoreFileName = "ignore.xml";

struct IgnoreEntry {
    std::string root;   // the text before the first "\"
    std::string key;    // strictly between the first and the last "\"; empty with a single "\"
    std::string value;  // after the last "\"
};

// How "Add to Ignore List" splits a finding's Key Name.
IgnoreEntry SplitKeyNameForIgnore(const std::string& keyName);

// Appends an ERROR element with ROOT, KEY and VALUE in this order (the root element is created
// when the document has none).
void AppendIgnoreEntry(XmlDocument& ignore, const IgnoreEntry& entry);

// Whether an ERROR element's ROOT\KEY\VALUE equals the Key Name exactly (letter case included).
// An element lacking one of the attributes (a hand-edited file) matches nothing; it never fails.
bool IgnoreListHolds(const XmlDocument& ignore, const std::string& keyName);

}  // namespace korvane
