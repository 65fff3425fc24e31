// Scheduled tasks through Task Scheduler 2.0's COM interfaces (ITaskService), every folder from the
// root down, hidden tasks included. Each call joins COM on its thread for its own length.
#pragma once

#include <optional>

#include "platform/ScheduledTasks.h"

namespace korvane::win32 {

class Win32ScheduledTasks final : public ScheduledTasks {
public:
    // A folder the caller may not read (another user's tasks without administrator rights) is left
    // out; the scheduler's service not running answers false.
    bool listTasks(std::vector<ScheduledTask>& tasks) override;
    // IRegisteredTask::put_Enabled, which writes the task's definition as Task Scheduler's own
    // "Enable"/"Disable" do.
    TaskChange setTaskEnabled(const std::string& path, bool enabled) override;
    // The one task at `path`, read as listTasks reads each; nothing when it is not there.
    std::optional<ScheduledTask> task(const std::string& path);
};

}  // namespace korvane::win32
