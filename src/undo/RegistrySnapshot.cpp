// Recording registry content into the undo history and writing it back (see RegistrySnapshot.h).
#include "undo/RegistrySnapshot.h"

#include <algorithm>

#include "registry/KeyName.h"
#include "registry/RegistryAccess.h"
#include "registry/RegistryKey.h"
#include "registry/RootKeys.h"

namespace korvane {

namespace {

std::string KeyId(HKey root, const std::string& keyPath) {
    return std::to_string(root) + '|' + FoldCase(BackendPath(keyPath));
}

std::string ValueId(HKey root, const std::string& keyPath, const std::string& valueName) {
    return KeyId(root, keyPath) + '\0' + FoldCase(valueName);
}

int Earliest(int a, int b) {
    if (a < 0) return b;
    if (b < 0) return a;
    return std::min(a, b);
}

// Whether a planned deletion hides the key; notes which one.
bool KeyHidden(const RecordView& view, HKey root, const std::string& keyPath) {
    if (!view.pending) return false;
    int by = view.pending->KeyTakenBy(root, keyPath);
    if (by >= 0 && view.hiddenBy) view.hiddenBy->insert(by);
    return by >= 0;
}

bool ValueHidden(const RecordView& view, HKey root, const std::string& keyPath, const std::string& name) {
    if (!view.pending) return false;
    int by = view.pending->ValueTakenBy(root, keyPath, name);
    if (by >= 0 && view.hiddenBy) view.hiddenBy->insert(by);
    return by >= 0;
}

XmlElement AddItem(XmlElement element, HKey root, const std::string& keyPath) {
    XmlElement item = element.AppendChild("ITEM");
    item.SetAttribute("SUBKEY", RootKeyName(root) + keyPath);
    return item;
}

void SetEncoded(XmlElement item, const std::string& name, const EncodedValue& encoded) {
    item.SetAttribute("NAME", name);
    item.SetAttribute("TYPE", encoded.type);
    item.SetAttribute("VALUE", encoded.value);
    if (!encoded.encoding.empty()) item.SetAttribute(kEncodingAttribute, encoded.encoding);
}

}  // namespace

int PendingDeletions::AddKey(HKey root, const std::string& keyPath) {
    keys_.emplace(KeyId(root, keyPath), count_);
    return count_++;
}

int PendingDeletions::AddValue(HKey root, const std::string& keyPath, const std::string& valueName) {
    values_.emplace(ValueId(root, keyPath, valueName), count_);
    return count_++;
}

int PendingDeletions::KeyTakenBy(HKey root, const std::string& keyPath) const {
    if (keys_.empty()) return -1;
    std::string id = KeyId(root, keyPath);
    size_t rootEnd = id.find('|') + 1;
    int found = -1;
    // The key itself and every key above it, down to the first level below the root.
    size_t end = id.size();
    while (end > rootEnd) {
        auto hit = keys_.find(id.substr(0, end));
        if (hit != keys_.end()) found = Earliest(found, hit->second);
        size_t slash = id.rfind('\\', end - 1);
        if (slash == std::string::npos || slash < rootEnd) break;
        end = slash;
    }
    return found;
}

int PendingDeletions::ValueTakenBy(HKey root, const std::string& keyPath,
                                   const std::string& valueName) const {
    int found = KeyTakenBy(root, keyPath);
    auto hit = values_.find(ValueId(root, keyPath, valueName));
    if (hit != values_.end()) found = Earliest(found, hit->second);
    return found;
}

void RecordValue(RegistryBackend& registry, HKey key, XmlElement item, const std::string& name) {
    RegValue value;
    if (registry.queryValue(key, name, value) == status::Success)
        SetEncoded(item, name, EncodeValue(value));
    else
        SetEncoded(item, name, {historytype::String, "", ""});
}

void RecordKeyTree(XmlElement element, RegistryBackend& registry, HKey root, const std::string& keyPath,
                   const RecordView& view) {
    if (KeyHidden(view, root, keyPath)) return;
    std::vector<std::string> subkeys;
    {
        RegistryKey key(registry);
        if (!key.Open(root, BackendPath(keyPath), access::Read)) return;
        // The key itself, before its values and sub-keys: restoring brings back empty keys too, and
        // every parent before its children.
        AddItem(element, root, keyPath);
        std::vector<NamedRegValue> values;
        if (registry.enumValues(key.Handle(), values, true) == status::Success) {
            for (const auto& value : values) {
                if (ValueHidden(view, root, keyPath, value.name)) continue;
                SetEncoded(AddItem(element, root, keyPath), value.name, EncodeValue(value.value));
            }
        }
        if (registry.enumSubkeys(key.Handle(), subkeys) != status::Success) subkeys.clear();
    }
    for (const auto& subkey : subkeys) RecordKeyTree(element, registry, root, keyPath + "\\" + subkey, view);
}

void RecordRegistryEntry(XmlElement element, RegistryBackend& registry, HKey root, const std::string& keyPath,
                         const std::string& valueName, const RecordView& view) {
    if (valueName.empty())
        RecordKeyTree(element, registry, root, keyPath, view);
    else
        RecordOneValue(element, registry, root, keyPath, valueName, view);
}

void RecordOneValue(XmlElement element, RegistryBackend& registry, HKey root, const std::string& keyPath,
                    const std::string& valueName, const RecordView& view) {
    if (KeyHidden(view, root, keyPath)) return;
    RegistryKey key(registry);
    if (!key.Open(root, BackendPath(keyPath), access::Read)) return;
    XmlElement item = AddItem(element, root, keyPath);
    // A value an earlier deletion of the same batch took away reads as vanished, as it would have.
    if (ValueHidden(view, root, keyPath, valueName))
        SetEncoded(item, valueName, {historytype::String, "", ""});
    else
        RecordValue(registry, key.Handle(), item, valueName);
}

RestoreStep PrepareRestore(const std::string& keyText, const std::string& valueName, const std::string& type,
                           const std::string& valueText, const std::string& encoding) {
    RestoreStep step;
    // SUBKEY comes from a file a person may have edited: the one place its text is parsed.
    KeyName key = KeyName::ParseKey(keyText);
    step.root = key.root;
    step.keyPath = std::move(key.keyPath);
    step.valueName = valueName;
    step.keyOnly = valueName.empty() && type.empty() && valueText.empty();
    if (step.keyOnly) return step;
    step.value = DecodeValue(type, UnescapeBackslashes(valueText), encoding);
    if (step.value.status == DecodeStatus::BadData)
        throw RegistryError("Invalid binary data for '" + valueName + "': a piece is not a hexadecimal byte");
    return step;
}

void WriteRestoreStep(RegistryBackend& registry, const RestoreStep& step) {
    RegistryKey key(registry);
    bool opened = key.Create(step.root, step.keyPath, access::AllAccess);
    if (step.keyOnly || step.value.status != DecodeStatus::Ok) return;
    if (!opened || registry.setValue(key.Handle(), step.valueName, step.value.value) != status::Success)
        throw RegistryError("Failed to set data for '" + step.valueName + "'");
}

void RestoreItem(RegistryBackend& registry, const std::string& keyText, const std::string& valueName,
                 const std::string& type, const std::string& valueText, const std::string& encoding) {
    WriteRestoreStep(registry, PrepareRestore(keyText, valueName, type, valueText, encoding));
}

}  // namespace korvane
