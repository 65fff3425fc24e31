// The deletions of one user action (a click on "Fix S&elected", a plug-in removal), written ahead:
// every entry is recorded in the undo history and the history is saved to disk before the first
// registry deletion, so a crash or a kill half-way never loses what was already deleted.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "core/AppState.h"
#include "core/XmlDocument.h"
#include "undo/RegistrySnapshot.h"
#include "platform/FileSystem.h"

namespace korvane {

class UndoBatch;

// Saves a batch's entries into `state.ProgramFolder` + "Backup.xml" before its deletions (see
// UndoBatch::SaveAhead). Refused when that file holds a history that could not be read at start-up:
// overwriting it would lose every earlier entry. Throws XmlError; the caller then deletes nothing.
void SaveHistoryAhead(AppState& state, UndoBatch& batch);

class UndoBatch {
public:
    // `history` must have its document element (Korvane).
    UndoBatch(RegistryBackend& registry, XmlDocument& history);

    // Appends an ELEMENT to the history with NAME, TYPE and PATH, in this order.
    XmlElement AddEntry(const std::string& name, const std::string& type, const std::string& path);

    // Whether the key exists as it will when the batch's deletions reach the next planned one
    // (keys that earlier planned deletions take away are gone). Notes what hid it for the next plan.
    bool KeyExists(HKey root, const std::string& keyPath);

    // Records the sub-key `subKeyName` of `parentPath` with everything below it into `entry` and
    // plans DeleteRegSubKey. A container key (or an empty name) is refused: nothing is recorded or
    // planned, and the result is false.
    bool RecordKeyForDeletion(XmlElement entry, HKey root, const std::string& parentPath,
                              const std::string& subKeyName);
    // Records the value `valueName` of `keyPath` into `entry` and plans DeleteRegValue.
    void RecordValueForDeletion(XmlElement entry, HKey root, const std::string& keyPath,
                                const std::string& valueName);

    int EntryCount() const { return entries_; }
    int PlannedCount() const { return static_cast<int>(plans_.size()); }

    // Saves the whole history to `path` (atomically, through XmlDocument::Save). When that fails the
    // batch's entries are taken out of the in-memory history again, nothing has been deleted, and the
    // XmlError propagates. Does nothing for a batch without entries.
    void SaveAhead(FileSystem& files, const std::string& path);

    // Carries out the planned deletions in the order they were planned; returns how many of them left
    // their entry gone. A deletion whose record left something out because an earlier deletion of the
    // batch was to take it is skipped when that earlier one failed: it would delete unrecorded data.
    int DeleteAll();
    // After DeleteAll: whether the deletion planned `plan`-th (from 0) left its entry gone; false for
    // one that failed, was skipped, or was never carried out.
    bool Deleted(int plan) const {
        return plan >= 0 && static_cast<size_t>(plan) < gone_.size() && gone_[static_cast<size_t>(plan)];
    }

private:
    struct Plan {
        bool isKey = false;
        HKey root = 0;
        std::string path;  // parent path for a key, key path for a value
        std::string name;
        std::set<int> dependsOn;
    };

    RegistryBackend& registry_;
    XmlDocument& history_;
    int firstEntry_ = 0;
    int entries_ = 0;
    PendingDeletions pending_;
    std::set<int> hiddenBy_;  // what hid something from the record being made
    std::vector<Plan> plans_;
    std::vector<bool> gone_;  // per plan, filled by DeleteAll
};

}  // namespace korvane
