// The in-memory task scheduler: the tasks a test registers, listed in registration order, with the
// Enabled flag they have. A test can make the scheduler unreachable or a task refuse a change for
// lack of rights.
#pragma once

#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ScheduledTasks.h"

namespace korvane {

class MemoryScheduledTasks : public ScheduledTasks {
public:
    bool listTasks(std::vector<ScheduledTask>& tasks) override;
    TaskChange setTaskEnabled(const std::string& path, bool enabled) override;

    // Test hooks. A path is "\Folder\Name"; names are compared without regard to case.
    void AddTask(ScheduledTask task);
    std::optional<ScheduledTask> Task(const std::string& path) const;
    void SetReachable(bool reachable);
    void DenyChanges(const std::string& path);  // setTaskEnabled answers AccessDenied for it
    int ChangeCount() const;

private:
    mutable std::mutex mutex_;
    std::vector<ScheduledTask> tasks_;
    std::set<std::string> denied_;  // folded paths
    bool reachable_ = true;
    int changes_ = 0;
};

}  // namespace korvane
