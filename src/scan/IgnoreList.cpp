// The ignore list, its file and its rule (see IgnoreList.h).
#include "scan/IgnoreList.h"

#include <optional>

#include "registry/RootKeys.h"

namespace korvane {

namespace {

constexpr const char* kFileName = "ignore.xml";  // never with a folder: the current one at each load and save
constexpr const char* kRootName = "IgnoreList";

// The Key Name an ERROR element holds; nothing for an element lacking an attribute.
std::optional<std::string> HeldKeyName(const XmlElement& element) {
    if (!element.HasAttribute("ROOT") || !element.HasAttribute("KEY") || !element.HasAttribute("VALUE"))
        return std::nullopt;
    return element.Attribute("ROOT") + "\\" + element.Attribute("KEY") + "\\" + element.Attribute("VALUE");
}

}  // namespace

IgnoreList::IgnoreList(Platform& platform) : file_(platform, kRootName) {}

void IgnoreList::Load() {
    file_.Load(kFileName);
}

void IgnoreList::Save() {
    file_.Root();
    file_.Save(kFileName);
}

std::vector<IgnoreEntry> IgnoreList::Entries() const {
    std::vector<IgnoreEntry> entries;
    XmlElement root = file_.Document().DocumentElement();
    if (!root) return entries;
    for (const XmlElement& element : root.Children())
        entries.push_back({element.Attribute("ROOT"), element.Attribute("KEY"), element.Attribute("VALUE")});
    return entries;
}

int IgnoreList::Count() const {
    XmlElement root = file_.Document().DocumentElement();
    return root ? root.ChildCount() : 0;
}

void IgnoreList::Add(const IgnoreEntry& entry) {
    XmlElement element = file_.Root().AppendChild("ERROR");
    element.SetAttribute("ROOT", entry.root);
    element.SetAttribute("KEY", entry.key);
    element.SetAttribute("VALUE", entry.value);
}

void IgnoreList::AddFinding(const KeyName& name) {
    // The text after the root: the key path and the value's name, split at its last "\".
    std::string rest = name.keyPath;
    if (name.valueName) rest += "\\" + *name.valueName;
    const size_t last = rest.rfind('\\');
    IgnoreEntry entry;
    entry.root = RootKeyName(name.root);
    entry.key = last == std::string::npos ? std::string() : rest.substr(0, last);
    entry.value = last == std::string::npos ? rest : rest.substr(last + 1);
    Add(entry);
}

void IgnoreList::Remove(int index) {
    if (XmlElement root = file_.Document().DocumentElement()) root.DeleteChild(index);
}

bool IgnoreList::Holds(const KeyName& name) const {
    XmlElement root = file_.Document().DocumentElement();
    if (!root) return false;
    const std::string text = name.Text();
    for (const XmlElement& element : root.Children())
        if (HeldKeyName(element) == text) return true;
    return false;
}

IgnoreList::Snapshot IgnoreList::TakeSnapshot() const {
    Snapshot snapshot;
    XmlElement root = file_.Document().DocumentElement();
    if (!root) return snapshot;
    for (const XmlElement& element : root.Children())
        if (auto held = HeldKeyName(element)) snapshot.names_.insert(std::move(*held));
    return snapshot;
}

}  // namespace korvane
