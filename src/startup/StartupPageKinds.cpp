// The Startup Programs page's handling of the kinds that are not parked (RunOnce values, tasks,
// services) and the removal of an entry whose program cannot be found (see StartupPage.h).
#include <exception>

#include "core/DeletionReport.h"
#include "registry/KeyName.h"
#include "registry/RootKeys.h"
#include "startup/StartupKinds.h"
#include "startup/StartupPage.h"
#include "startup/StartupRows.h"
#include "startup/StartupTaskChange.h"

namespace korvane {

namespace {

constexpr const char* kTitle = "Korvane";

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

}  // namespace

bool StartupPage::ChangedOtherKind(int row, const StartupEntry& entry, bool enable, int& changed,
                                   int& needRights) {
    Dialogs& dialogs = state_.platform.dialogs;
    const auto keepAsListed = [&] {
        lvStartup.SetChecked(row, StartupStates[static_cast<size_t>(row)]);
        return true;
    };
    if (entry.kind == StartupKind::RunOnceValue) {
        dialogs.messageBox("The startup entry " + Quoted(entry.name) +
                               " was not changed: it is a RunOnce entry, which Windows deletes after it has "
                               "run once, so there is nothing to disable.",
                           kTitle, MessageIcon::Warning);
        return keepAsListed();
    }
    if (entry.kind == StartupKind::Service) {
        dialogs.messageBox("The service " + Quoted(entry.name) +
                               " was not changed: services are listed here but not changed. Set its start "
                               "type in the Services console (services.msc).",
                           kTitle, MessageIcon::Warning);
        return keepAsListed();
    }
    if (entry.kind != StartupKind::Task) return false;
    const TaskRow* task = &entry.task;
    TaskChange change = TaskChange::Failed;
    try {
        change = ChangeStartupTask(history_, state_.platform.tasks, entry.name, *task, enable);
    } catch (const std::exception& error) {
        dialogs.error(SaveFailureText(history_.FilePath(),
                                      "the task " + Quoted(entry.name) + " was not changed", error.what()));
        return keepAsListed();
    }
    switch (change) {
        case TaskChange::Done:
            ++changed;
            StartupStates[static_cast<size_t>(row)] = enable;
            return true;
        case TaskChange::AccessDenied:
            ++needRights;
            return keepAsListed();
        case TaskChange::NotFound:
        case TaskChange::Failed:
            break;
    }
    dialogs.messageBox("The scheduled task " + task->path + " could not be " +
                           (enable ? "enabled" : "disabled") +
                           (change == TaskChange::NotFound ? ": Task Scheduler no longer has it." : "."),
                       kTitle, MessageIcon::Warning);
    return keepAsListed();
}

bool StartupPage::RemovableMissing(int row) const {
    if (row < 0 || row >= lvStartup.Count()) return false;
    const ListItem& item = lvStartup.Item(row);
    const auto answer = answers_.find(item.data);
    if (answer == answers_.end() || answer->second.state != SignatureState::FileNotFound) return false;
    // Only registry values: a task, a service, a parking record or a Startup folder's file is not one.
    const StartupEntry* entry = TagOf<StartupEntry>(item);
    return entry && (entry->kind == StartupKind::RunValue || entry->kind == StartupKind::RunOnceValue) &&
           entry->root != 0 && !entry->keyPath.empty();
}

void StartupPage::lvStartupSelectionChanged() {
    btnRemove.SetEnabled(RemovableMissing(lvStartup.FirstSelected()));
}

void StartupPage::btnRemoveClick() {
    const int row = lvStartup.FirstSelected();
    if (!RemovableMissing(row)) return;
    const ListItem item = lvStartup.Item(row);
    const StartupEntry value = *TagOf<StartupEntry>(item);  // RemovableMissing: a registry value's row
    const std::string location = value.RegistryLocation();
    const HKey root = value.root;
    const std::string& keyPath = value.keyPath;
    Dialogs& dialogs = state_.platform.dialogs;
    if (!dialogs.confirm("Remove the startup entry " + Quoted(value.name) + " from " + location +
                         "?\nIts program cannot be found: " + item.data +
                         "\n\nThe entry is recorded in Restore History first.")) {
        return;
    }
    UndoBatch batch = history_.BeginBatch();
    batch.AddEntry(value.name, RootKeyName(root) + "\\" + keyPath + "\\" + value.name, value.command);
    batch.RecordForDeletion(KeyName::Value(root, keyPath, value.name));
    ReportDeletion(
        state_, history_.FilePath(), history_.Delete(batch),
        {nouns::StartupEntry, "the entry was not removed", "could not be removed from " + location});
    btnRefresh.Click();
}

}  // namespace korvane
