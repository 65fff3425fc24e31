// The undo history service and its file (see UndoHistory.h).
#include "undo/UndoHistory.h"

#include <algorithm>
#include <exception>

#include "core/DataFolder.h"
#include "registry/RegistryAccess.h"
#include "undo/RegistrySnapshot.h"
#include "undo/TaskStateRecord.h"

namespace korvane {

namespace {

constexpr const char* kFileName = "Backup.xml";
constexpr const char* kRootName = "Korvane";

}  // namespace

UndoHistory::UndoHistory(AppState& state) : state_(state), file_(state.platform, kRootName) {}

std::string UndoHistory::FilePath() const {
    return state_.ProgramFolder + kFileName;
}

void UndoHistory::Load(const std::string& earlierFolder) {
    adoptedFrom_.clear();
    FileSystem& files = state_.platform.files;
    const std::string earlier = earlierFolder.empty() ? std::string() : earlierFolder + kFileName;
    if (!earlier.empty() && earlier != FilePath() && !files.fileExists(FilePath()) &&
        files.fileExists(earlier)) {
        file_.Load(earlier);
        // An unreadable one was set aside (or locked) where it lies; only a history read is taken over.
        if (!file_.Locked() && files.fileExists(earlier)) adoptedFrom_ = earlier;
        return;
    }
    file_.Load(FilePath());
}

std::unique_ptr<NamedLock> UndoHistory::TakeWriterLock() {
    if (keptLock_) return nullptr;
    std::unique_ptr<NamedLock> lock =
        state_.platform.system.lockNamed(WriterLockName(state_.ProgramFolder), std::chrono::seconds(2));
    if (!lock)
        throw XmlError("Another Korvane program is writing the undo history in " + state_.ProgramFolder +
                       "; try again when it has finished.");
    return lock;
}

void UndoHistory::Save() {
    if (file_.Locked()) return;
    const std::unique_ptr<NamedLock> lock = TakeWriterLock();
    file_.Save(FilePath());
}

UndoBatch UndoHistory::BeginBatch() {
    file_.Root();
    return UndoBatch(state_.platform.registry, file_.Document(), containers_);
}

void UndoHistory::SaveAhead(UndoBatch& batch) {
    if (file_.Locked()) {
        batch.Withdraw();
        file_.Save(FilePath());  // throws: the locked file is never replaced
    }
    std::unique_ptr<NamedLock> lock;
    try {
        lock = TakeWriterLock();
    } catch (...) {
        batch.Withdraw();
        throw;
    }
    batch.SaveAhead(state_.platform.files, FilePath());
}

DeletionOutcome UndoHistory::Delete(UndoBatch& batch) {
    DeletionOutcome outcome;
    if (batch.PlannedCount() == 0) {
        outcome.entries.assign(static_cast<size_t>(batch.EntryCount()), EntryFate::NothingPlanned);
        batch.Keep();
        return outcome;
    }
    // Write-ahead: what is about to be deleted is on disk before the first deletion.
    try {
        SaveAhead(batch);
    } catch (const std::exception& error) {
        outcome.saveFailed = true;
        outcome.saveError = error.what();
        return outcome;
    }
    batch.DeleteAll();
    outcome.entries = batch.TakeEntryFates();
    return outcome;
}

int UndoHistory::EntryCount() const {
    XmlElement root = file_.Document().DocumentElement();
    return root ? root.ChildCount() : 0;
}

std::vector<HistoryEntry> UndoHistory::Entries() const {
    std::vector<HistoryEntry> entries;
    XmlElement root = file_.Document().DocumentElement();
    if (!root) return entries;
    for (const XmlElement& entry : root.Children())
        entries.push_back({entry.Attribute("NAME"), entry.Attribute("TYPE"), entry.Attribute("PATH"),
                           entry.Attribute("DATE")});
    return entries;
}

void UndoHistory::RestoreEntry(int index) {
    XmlElement root = file_.Document().DocumentElement();
    XmlElement entry = root ? root.Child(index) : XmlElement();
    if (!entry) return;
    std::vector<RestoreStep> steps;
    std::vector<std::pair<std::string, bool>> taskStates;
    for (const XmlElement& item : entry.Children()) {
        if (IsTaskItem(item))
            taskStates.emplace_back(item.Attribute(kTaskAttribute),
                                    item.Attribute(kTaskEnabledAttribute) == "1");
        else if (item.AttributeCount() > 1)
            steps.push_back(PrepareRestore(item.Attribute("SUBKEY"), item.Attribute("NAME"),
                                           item.Attribute("TYPE"), item.Attribute("VALUE"),
                                           item.Attribute(kEncodingAttribute)));
        else
            steps.push_back(PrepareRestore(item.Attribute("SUBKEY"), "", "", ""));
    }
    for (const RestoreStep& step : steps) WriteRestoreStep(state_.platform.registry, step);
    for (const auto& [task, enabled] : taskStates) {
        if (state_.platform.tasks.setTaskEnabled(task, enabled) != TaskChange::Done)
            throw RegistryError("The scheduled task '" + task + "' could not be " +
                                (enabled ? "enabled" : "disabled") + " again");
    }
    root.DeleteChild(index);
}

std::vector<KeyName> UndoHistory::EntryKeys(int index) const {
    std::vector<KeyName> keys;
    XmlElement root = file_.Document().DocumentElement();
    XmlElement entry = root ? root.Child(index) : XmlElement();
    if (!entry) return keys;
    for (const XmlElement& item : entry.Children()) {
        if (IsTaskItem(item)) continue;  // no registry key
        KeyName key = KeyName::ParseKey(item.Attribute("SUBKEY"));
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(std::move(key));
    }
    return keys;
}

void UndoHistory::Clear() {
    if (XmlElement root = file_.Document().DocumentElement()) root.DeleteAllChildren();
}

}  // namespace korvane
