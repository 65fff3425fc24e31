// A scheduled task's Enabled flag in the undo history. The flag is no registry value (Task Scheduler
// keeps it in the task's definition), so its entry holds one ITEM naming the task and the state it
// had before the change; restoring the entry sets that state again through the task scheduler.
#pragma once

#include <string>

#include "core/XmlDocument.h"
#include "undo/UndoHistory.h"

namespace korvane {

inline constexpr const char* kTaskAttribute = "TASK";            // the task's path, "\Folder\Name"
inline constexpr const char* kTaskEnabledAttribute = "ENABLED";  // "1" or "0": the state to restore

// Whether an ITEM is a task's state rather than registry content.
inline bool IsTaskItem(const XmlElement& item) {
    return item.HasAttribute(kTaskAttribute);
}

// Appends an entry (NAME the task's name, TYPE "Scheduled task <path>", PATH its program) holding the
// task's present state, and saves the history before the caller changes the task. Throws XmlError
// when the history cannot be saved (or is locked); the entry is then gone again.
void RecordTaskState(UndoHistory& history, const std::string& name, const std::string& taskPath,
                     const std::string& program, bool enabledNow);
// Takes the entry RecordTaskState appended last out again, for a change that did not happen.
void WithdrawLastTaskState(UndoHistory& history);

}  // namespace korvane
