// The startup entries that are not parked like Run values: RunOnce values (Windows deletes them after
// one run, so there is nothing to disable), scheduled tasks with a logon or boot trigger (enabled and
// disabled through the task's own Enabled flag) and services that start automatically (listed only).
// Each row says its kind in the Location column and carries one of the tags below.
#pragma once

#include <string>

#include "controls/ListView.h"
#include "platform/RegistryBackend.h"
#include "platform/ScheduledTasks.h"
#include "platform/Services.h"
#include "registry/RunKeys.h"

namespace korvane {

struct RunOnceRow {
    HKey root = 0;
    std::string keyPath;
};
struct TaskRow {
    std::string path;     // "\Folder\Name"
    std::string program;  // as registered, before the arguments
};
struct ServiceRow {
    std::string name;
};
// A record of the system configuration utility's parking key (ListMsconfigEntries).
struct ParkedRecordRow {};

// One checked row per value of the RunOnce key, as ListRunKey lists a Run key, tagged RunOnceRow.
// A value that is not text raises "Invalid data type for '<name>'".
void ListRunOnceKey(RegistryBackend& registry, ListView& list, HKey root, const std::string& keyPath);

// "Scheduled task \Folder\Name" (", by <author>" when the task names one).
std::string TaskLocation(const ScheduledTask& task);
// One row per task that starts at log-on or at boot and runs a program: its name, its command and
// arguments, TaskLocation; checked when enabled. False when the scheduler could not be reached.
bool ListStartupTasks(ScheduledTasks& tasks, ListView& list);

// One checked row per automatic service: its display name (else its name), its image path, and
// "Service <name>". False when the service control manager could not be opened.
bool ListAutoStartServices(Services& services, ListView& list);

}  // namespace korvane
