// The deletions of one user action (a click on "Fix S&elected", a plug-in removal, "&Delete entries"),
// written ahead: every entry is recorded in the undo history and the history is saved to disk before
// the first registry deletion, so a crash or a kill half-way never loses what was already deleted.
// A batch whose entries never reached the disk takes them out of the history when it goes (a refused
// save, an error while recording, a caller that gives up): they stand for deletions that did not
// happen. Keep() settles a batch that has entries but nothing to save ahead.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/DeletionOutcome.h"
#include "core/XmlDocument.h"
#include "platform/FileSystem.h"
#include "registry/KeyName.h"
#include "registry/ReusedKey.h"
#include "undo/ContainerKeys.h"
#include "undo/RegistrySnapshot.h"

namespace korvane {

class UndoBatch {
public:
    // `history` must have its document element (Korvane). Keys `containers` holds are never planned.
    UndoBatch(RegistryBackend& registry, XmlDocument& history, const ContainerKeys& containers);
    ~UndoBatch();
    UndoBatch(const UndoBatch&) = delete;
    UndoBatch& operator=(const UndoBatch&) = delete;

    // Appends an ELEMENT to the history with NAME, TYPE and PATH, in this order.
    XmlElement AddEntry(const std::string& name, const std::string& type, const std::string& path);

    // Whether the key exists as it will when the batch's deletions reach the next planned one
    // (keys that earlier planned deletions take away are gone). Notes what hid it for the next plan.
    bool KeyExists(const KeyName& key);

    // Records the key (with everything below it) or the value that `name` names into the entry added
    // last and plans its deletion. A container key, a key without a name, a value of a root itself or
    // a batch without an entry is refused: nothing is recorded or planned, and the result is false. A
    // key of HKEY_CLASSES_ROOT is recorded and deleted in the hive it is in (ClassesRootHive.h), as are
    // values below it.
    bool RecordForDeletion(const KeyName& name);

    int EntryCount() const { return entries_; }
    int PlannedCount() const { return static_cast<int>(plans_.size()); }

    // Saves the whole history to `path` (atomically, through XmlDocument::Save). When that fails the
    // batch's entries are taken out of the in-memory history again, nothing has been deleted, and the
    // XmlError propagates. Does nothing for a batch without entries.
    void SaveAhead(FileSystem& files, const std::string& path);
    // Takes the batch's entries out of the in-memory history again and forgets its plans: for a
    // batch whose deletions will not happen.
    void Withdraw();
    // Leaves the batch's entries in the history without a save ahead (they reach the disk with the
    // next save): for entries that stand for no deletion, such as refused plug-ins.
    void Keep() { settled_ = true; }

    // Carries out the planned deletions in the order they were planned; returns how many of them left
    // their entry gone. A deletion whose record left something out because an earlier deletion of the
    // batch was to take it is skipped when that earlier one failed: it would delete unrecorded data.
    int DeleteAll();
    // After DeleteAll: whether the deletion planned `plan`-th (from 0) left its entry gone; false for
    // one that failed, was skipped, or was never carried out.
    bool Deleted(int plan) const {
        return plan >= 0 && static_cast<size_t>(plan) < gone_.size() && gone_[static_cast<size_t>(plan)];
    }
    // After DeleteAll: each entry's fate, in the order the entries were added (handed over once). An
    // entry whose deletions did not all happen needs rights when the registry refuses this process
    // the right to change one of the keys that stayed.
    std::vector<EntryFate> TakeEntryFates() { return std::move(fates_); }

private:
    void SettleFates();
    // `keyPath` as KeyName keeps it: no leading or trailing "\".
    bool RecordKeyForDeletion(HKey root, const std::string& keyPath);
    void RecordValueForDeletion(HKey root, const std::string& keyPath, const std::string& valueName);

    struct Plan {
        bool isKey = false;
        int entry = 0;  // the entry it was recorded into, from 0 in this batch
        HKey root = 0;
        std::string path;  // the key's whole path, or the value's key (for WriteRefused and the deletion)
        std::string name;  // the value's name
        std::set<int> dependsOn;
    };

    RegistryBackend& registry_;
    XmlDocument& history_;
    const ContainerKeys& containers_;
    int firstEntry_ = 0;
    int entries_ = 0;
    XmlElement lastEntry_;  // what RecordForDeletion records into
    bool settled_ = false;  // saved ahead or kept: the entries stay
    PendingDeletions pending_;
    std::set<int> hiddenBy_;  // what hid something from the record being made
    std::vector<Plan> plans_;
    std::vector<bool> gone_;        // per plan, filled by DeleteAll
    std::vector<EntryFate> fates_;  // per entry, filled by DeleteAll
    ReusedKey readKeys_;            // the key the last value was recorded from
};

}  // namespace korvane
