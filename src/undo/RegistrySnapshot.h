// The undo history's copy of registry content: RecordRegistryEntry and its parts turn keys and
// values into ITEM elements of an ELEMENT; RestoreItem writes one ITEM back. The document's life
// (loading at start, saving) belongs to the main window and to UndoBatch.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "platform/RegistryBackend.h"
#include "registry/ReusedKey.h"
#include "undo/PendingDeletions.h"
#include "undo/ValueEncoding.h"

namespace korvane {

// What a recording sees of planned deletions, and where it notes which of them hid something; and
// an open key a caller recording many values keeps for the next value of the same key.
struct RecordView {
    const PendingDeletions* pending = nullptr;
    std::set<int>* hiddenBy = nullptr;
    ReusedKey* keys = nullptr;  // opened with read rights
};

// Fills `item` (a new ITEM) with NAME, TYPE and VALUE, in this order, for the value `name` of the
// open key `key`. A value that cannot be read is recorded as an empty "rdString".
void RecordValue(RegistryBackend& registry, HKey key, XmlElement item, const std::string& name);

// Records the key `keyPath` (below `root`, beginning with "\") with everything below it, depth first
// in the registry's enumeration order: for each key a key-only ITEM (SUBKEY alone), then one ITEM per
// value of it, then its sub-keys. So every key comes back, empty ones included, parents first.
// A key that does not exist or cannot be opened adds nothing, and its sub-keys are not visited.
void RecordKeyTree(XmlElement element, RegistryBackend& registry, HKey root, const std::string& keyPath,
                   const RecordView& view = {});

// Copies registry content into `element` (an ELEMENT the caller has just added with NAME, TYPE and
// PATH): the one value `valueName` of `keyPath`, or with an empty value name the whole key. Never
// changes the registry; what cannot be read is left out. Callers: repair and plug-in removal, once
// per entry they are about to delete (see UndoBatch for recording ahead of several deletions).
void RecordRegistryEntry(XmlElement element, RegistryBackend& registry, HKey root, const std::string& keyPath,
                         const std::string& valueName, const RecordView& view = {});

// The value-name half of RecordRegistryEntry, also for the default value (empty name): one ITEM
// with SUBKEY, NAME, TYPE and VALUE when the key opens; nothing when it does not.
void RecordOneValue(XmlElement element, RegistryBackend& registry, HKey root, const std::string& keyPath,
                    const std::string& valueName, const RecordView& view = {});

// One ITEM decoded and checked, ready to be written.
struct RestoreStep {
    HKey root = 0;
    std::string keyPath;  // as the backend takes it
    std::string valueName;
    bool keyOnly = false;  // NAME, TYPE and VALUE all empty: only the key is re-created
    DecodedValue value;
};

// Decodes an ITEM's SUBKEY, NAME, TYPE, VALUE and ENCODING (see ValueEncoding.h). Throws
// RegistryError naming the value when binary text holds a piece that is not a hexadecimal byte.
RestoreStep PrepareRestore(const std::string& keyText, const std::string& valueName, const std::string& type,
                           const std::string& valueText, const std::string& encoding = "");
// Creates the key (and the missing keys above it) and writes the value; an unknown TYPE writes no
// value. Throws RegistryError "Failed to set data for '<name>'" when the value cannot be written.
void WriteRestoreStep(RegistryBackend& registry, const RestoreStep& step);
// PrepareRestore followed by WriteRestoreStep.
void RestoreItem(RegistryBackend& registry, const std::string& keyText, const std::string& valueName,
                 const std::string& type, const std::string& valueText, const std::string& encoding = "");

}  // namespace korvane
