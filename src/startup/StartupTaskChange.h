// Enabling and disabling a startup task through its own Enabled flag, recorded in the undo history
// first so that Restore History can set the flag back.
#pragma once

#include <string>

#include "platform/ScheduledTasks.h"
#include "startup/StartupKinds.h"
#include "undo/UndoHistory.h"

namespace korvane {

// Records the task's present state (the opposite of `enable`) and saves the history, then sets the
// flag. A change that did not happen takes its entry out again. Throws XmlError when the history
// cannot be saved; the task is then left as it was.
TaskChange ChangeStartupTask(UndoHistory& history, ScheduledTasks& tasks, const std::string& name,
                             const TaskRow& task, bool enable);

}  // namespace korvane
