// Recording registry content into the undo history and writing it back (see RegistrySnapshot.h).
#include "undo/RegistrySnapshot.h"

#include <algorithm>

#include "registry/KeyName.h"
#include "registry/RegistryAccess.h"
#include "registry/RegistryKey.h"
#include "registry/RootKeys.h"

namespace korvane {

namespace {

// Whether a planned deletion hides the key; notes which one.
bool KeyHidden(const RecordView& view, HKey root, const std::string& keyPath) {
    if (!view.pending) return false;
    int by = view.pending->KeyTakenBy(root, keyPath);
    if (by >= 0 && view.hiddenBy) view.hiddenBy->insert(by);
    return by >= 0;
}

// The same for a value of a key already found not hidden: only a deletion of the value itself can be.
bool ValueItselfHidden(const RecordView& view, HKey root, const std::string& keyPath,
                       const std::string& name) {
    if (!view.pending) return false;
    int by = view.pending->ValueItselfTakenBy(root, keyPath, name);
    if (by >= 0 && view.hiddenBy) view.hiddenBy->insert(by);
    return by >= 0;
}

XmlElement AddItem(XmlElement element, const std::string& subkey) {
    XmlElement item = element.AppendChild("ITEM");
    item.AddAttribute("SUBKEY", subkey);
    return item;
}

XmlElement AddItem(XmlElement element, HKey root, const std::string& keyPath) {
    return AddItem(element, RootKeyName(root) + keyPath);
}

void SetEncoded(XmlElement item, const std::string& name, const EncodedValue& encoded) {
    item.AddAttribute("NAME", name);
    item.AddAttribute("TYPE", encoded.type);
    item.AddAttribute("VALUE", encoded.value);
    if (!encoded.encoding.empty()) item.AddAttribute(kEncodingAttribute, encoded.encoding);
}

}  // namespace

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
        if (!key.Open(root, keyPath, access::Read)) return;
        // The key itself, before its values and sub-keys: restoring brings back empty keys too, and
        // every parent before its children.
        const std::string subkey = RootKeyName(root) + keyPath;
        AddItem(element, subkey);
        std::vector<NamedRegValue> values;
        if (registry.enumValues(key.Handle(), values, true) == status::Success) {
            const bool someHidden = view.pending && view.pending->HasValuesIn(root, keyPath);
            for (const auto& value : values) {
                if (someHidden && ValueItselfHidden(view, root, keyPath, value.name)) continue;
                SetEncoded(AddItem(element, subkey), value.name, EncodeValue(value.value));
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
    RegistryKey own(registry);
    const HKey key = view.keys ? view.keys->Open(root, keyPath)
                               : (own.Open(root, keyPath, access::Read) ? own.Handle() : 0);
    if (key == 0) return;
    XmlElement item = AddItem(element, root, keyPath);
    // A value an earlier deletion of the same batch took away reads as vanished, as it would have.
    if (ValueItselfHidden(view, root, keyPath, valueName))
        SetEncoded(item, valueName, {historytype::String, "", ""});
    else
        RecordValue(registry, key, item, valueName);
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
