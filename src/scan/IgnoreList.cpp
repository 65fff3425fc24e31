// The ignore document's entries (see IgnoreList.h).
#include "scan/IgnoreList.h"

#include "registry/KeyName.h"

namespace korvane {

IgnoreEntry SplitKeyNameForIgnore(const std::string& keyName) {
    IgnoreEntry entry;
    entry.root = keyName.substr(0, keyName.find('\\'));
    std::string parent = KeyParentPath(keyName);
    entry.key = parent.empty() ? std::string() : parent.substr(1);
    entry.value = LastPathPart(keyName);
    return entry;
}

void AppendIgnoreEntry(XmlDocument& ignore, const IgnoreEntry& entry) {
    if (!ignore.DocumentElement()) ignore.Reset("IgnoreList");
    XmlElement element = ignore.DocumentElement().AppendChild("ERROR");
    element.SetAttribute("ROOT", entry.root);
    element.SetAttribute("KEY", entry.key);
    element.SetAttribute("VALUE", entry.value);
}

bool IgnoreListHolds(const XmlDocument& ignore, const std::string& keyName) {
    XmlElement root = ignore.DocumentElement();
    if (!root) return false;
    for (const XmlElement& element : root.Children()) {
        if (!element.HasAttribute("ROOT") || !element.HasAttribute("KEY") || !element.HasAttribute("VALUE"))
            continue;
        if (element.Attribute("ROOT") + "\\" + element.Attribute("KEY") + "\\" + element.Attribute("VALUE") ==
            keyName)
            return true;
    }
    return false;
}

}  // namespace korvane
