// Recording a task's Enabled flag in the undo history (TaskStateRecord.h).
#include "undo/TaskStateRecord.h"

namespace korvane {

void RecordTaskState(UndoHistory& history, const std::string& name, const std::string& taskPath,
                     const std::string& program, bool enabledNow) {
    UndoBatch batch = history.BeginBatch();
    XmlElement entry = batch.AddEntry(name, "Scheduled task " + taskPath, program);
    XmlElement item = entry.AppendChild("ITEM");
    item.SetAttribute(kTaskAttribute, taskPath);
    item.SetAttribute(kTaskEnabledAttribute, enabledNow ? "1" : "0");
    history.SaveAhead(batch);
}

void WithdrawLastTaskState(UndoHistory& history) {
    const int count = history.EntryCount();
    if (count == 0) return;
    XmlElement root = history.Document().DocumentElement();
    XmlElement last = root.Child(count - 1);
    XmlElement item = last.Child(0);
    if (item && IsTaskItem(item)) root.DeleteChild(count - 1);
}

}  // namespace korvane
