// The undo history as a service, and the one owner of its file, Backup.xml in the program's folder:
// loading it at start-up (or setting an unreadable one aside), the locked state when that failed, the
// write-ahead save before a batch's deletions, the save on closing, the entries, restoring and
// clearing them. Repair and plug-in removal record through it; the Restore History page lists and
// restores through it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/AppState.h"
#include "core/DeletionOutcome.h"
#include "core/StoredDocument.h"
#include "platform/SystemInfo.h"
#include "undo/ContainerKeys.h"
#include "undo/UndoBatch.h"

namespace korvane {

// What a history entry says of itself (its ELEMENT's attributes).
struct HistoryEntry {
    std::string name;  // NAME: the Error Type or the add-on's name
    std::string type;  // TYPE: the Key Name or the add-on's kind
    std::string path;  // PATH: the Guess Path or the add-on's file
    std::string date;  // DATE: when a repair recorded it ("" for entries recorded before dates were kept)
};

class UndoHistory {
public:
    explicit UndoHistory(AppState& state);

    // The file in the program's folder.
    std::string FilePath() const;
    // At start-up: reads the file (see StoredDocument::Load). When the history's folder holds none
    // yet but `earlierFolder` (ending in "\") does — the program's own folder, before Korvane moved
    // its files to the user's folder — that one is read, and the next save writes it to the
    // history's own folder; AdoptedFrom() then names it.
    void Load(const std::string& earlierFolder = {});
    const std::string& AdoptedFrom() const { return adoptedFrom_; }
    // The file held a history that could not be read nor set aside: nothing may overwrite it.
    bool Locked() const { return file_.Locked(); }
    // On closing: writes the history; does nothing when locked. Throws XmlError when it cannot be written.
    void Save();

    // A batch that appends to this history and refuses the container keys.
    UndoBatch BeginBatch();
    // Runs a planned batch: saves the history with the batch's entries ahead (SaveAhead), then carries
    // out its deletions, and says entry by entry what became of them. A batch that plans no deletion
    // keeps its entries without a save (they reach the disk with the next one). When the save is
    // refused nothing is deleted, the batch's entries leave the history, and the outcome says so
    // (saveFailed, with the save's own words) instead of throwing.
    DeletionOutcome Delete(UndoBatch& batch);
    // Saves the history with the batch's entries before its deletions (see UndoBatch::SaveAhead).
    // Refused with XmlError when the history is locked: overwriting it would lose every earlier
    // entry; the batch's entries then leave the history again and the caller deletes nothing.
    void SaveAhead(UndoBatch& batch);

    int EntryCount() const;
    std::vector<HistoryEntry> Entries() const;
    // Writes entry `index` back into the registry and removes it from the history. Every ITEM is
    // decoded before the first is written, so an entry with bad data writes nothing and stays;
    // RegistryError names the value that could not be decoded or written.
    void RestoreEntry(int index);
    // The keys entry `index` writes when it is restored (its ITEMs' SUBKEYs), each once, in order.
    std::vector<KeyName> EntryKeys(int index) const;
    // Empties the history (in memory; the file follows at the next save).
    void Clear();

    // The keys no deletion may take whole. Whoever builds the history registers every source's base
    // keys here once (the main window, the console's session); the batches then refuse them.
    ContainerKeys& Containers() { return containers_; }

    // One writer of the file at a time, across programs (the window and korvanec): each save takes the
    // machine-wide lock of the history's folder, waiting briefly, and is refused with XmlError when
    // another program keeps it. A caller that holds the lock for a whole run hands it over here, and
    // the saves then use it.
    void KeepWriterLock(std::unique_ptr<NamedLock> lock) { keptLock_ = std::move(lock); }

    // The document itself, for what reads it whole (benchmarks, tests).
    XmlDocument& Document() { return file_.Document(); }

private:
    AppState& state_;
    StoredDocument file_;
    ContainerKeys containers_;
    std::string adoptedFrom_;
    std::unique_ptr<NamedLock> keptLock_;

    std::unique_ptr<NamedLock> TakeWriterLock();
};

}  // namespace korvane
