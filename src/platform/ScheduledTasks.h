// The scheduled tasks the program asks Windows about: every task of every folder that the caller's
// rights let it read (hidden ones too), with what starts it, and switching a task's own Enabled
// flag, which is what Task Scheduler and Task Manager show. Implementations never throw.
#pragma once

#include <string>
#include <vector>

namespace korvane {

struct ScheduledTask {
    std::string path;  // "\Folder\Name"; "\Name" for a task of the root folder
    std::string name;
    std::string author;
    std::string command;    // the first program-starting action's program, as registered
    std::string arguments;  // and its arguments
    bool enabled = true;
    bool hidden = false;
    bool logonTrigger = false;  // starts when a user logs on
    bool bootTrigger = false;   // starts when Windows starts
};

enum class TaskChange { Done, NotFound, AccessDenied, Failed };

class ScheduledTasks {
public:
    virtual ~ScheduledTasks() = default;
    // Appends the tasks; false when the scheduler cannot be reached (the service is not running).
    // A folder that cannot be read is left out and the others are still listed.
    virtual bool listTasks(std::vector<ScheduledTask>& tasks) = 0;
    // Sets the task's Enabled flag as Task Scheduler's own "Enable"/"Disable" does.
    virtual TaskChange setTaskEnabled(const std::string& path, bool enabled) = 0;
};

// A scheduler with no tasks, for a platform assembled without one (a test's own bundle).
class NoScheduledTasks final : public ScheduledTasks {
public:
    bool listTasks(std::vector<ScheduledTask>&) override { return true; }
    TaskChange setTaskEnabled(const std::string&, bool) override { return TaskChange::NotFound; }
    static NoScheduledTasks& Instance() {
        static NoScheduledTasks none;
        return none;
    }
};

}  // namespace korvane
