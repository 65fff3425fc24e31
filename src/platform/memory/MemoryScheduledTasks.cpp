// The in-memory task scheduler (MemoryScheduledTasks.h).
#include "platform/memory/MemoryScheduledTasks.h"

#include <algorithm>

#include "platform/memory/CaseFolding.h"

namespace korvane {

bool MemoryScheduledTasks::listTasks(std::vector<ScheduledTask>& tasks) {
    std::lock_guard lock(mutex_);
    if (!reachable_) return false;
    tasks.insert(tasks.end(), tasks_.begin(), tasks_.end());
    return true;
}

TaskChange MemoryScheduledTasks::setTaskEnabled(const std::string& path, bool enabled) {
    std::lock_guard lock(mutex_);
    if (!reachable_) return TaskChange::Failed;
    auto task = std::find_if(tasks_.begin(), tasks_.end(),
                             [&](const ScheduledTask& t) { return EqualsNoCase(t.path, path); });
    if (task == tasks_.end()) return TaskChange::NotFound;
    if (denied_.contains(memory::FoldName(path))) return TaskChange::AccessDenied;
    task->enabled = enabled;
    ++changes_;
    return TaskChange::Done;
}

void MemoryScheduledTasks::AddTask(ScheduledTask task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
}

std::optional<ScheduledTask> MemoryScheduledTasks::Task(const std::string& path) const {
    std::lock_guard lock(mutex_);
    for (const ScheduledTask& task : tasks_)
        if (EqualsNoCase(task.path, path)) return task;
    return std::nullopt;
}

void MemoryScheduledTasks::SetReachable(bool reachable) {
    std::lock_guard lock(mutex_);
    reachable_ = reachable;
}

void MemoryScheduledTasks::DenyChanges(const std::string& path) {
    std::lock_guard lock(mutex_);
    denied_.insert(memory::FoldName(path));
}

int MemoryScheduledTasks::ChangeCount() const {
    std::lock_guard lock(mutex_);
    return changes_;
}

}  // namespace korvane
