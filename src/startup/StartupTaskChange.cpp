// Changing a startup task, recorded first (StartupTaskChange.h).
#include "startup/StartupTaskChange.h"

#include "undo/TaskStateRecord.h"

namespace korvane {

TaskChange ChangeStartupTask(UndoHistory& history, ScheduledTasks& tasks, const std::string& name,
                             const TaskRow& task, bool enable) {
    RecordTaskState(history, name, task.path, task.program, !enable);
    const TaskChange change = tasks.setTaskEnabled(task.path, enable);
    if (change != TaskChange::Done) WithdrawLastTaskState(history);
    return change;
}

}  // namespace korvane
