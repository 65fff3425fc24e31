// The startup entries that are not parked like Run values: scheduled tasks with a logon or boot
// trigger (enabled and disabled through the task's own Enabled flag) and services that start
// automatically (listed only). RunOnce values, which Windows deletes after one run, are listed with
// the Run keys (ListRunKey). Each row says its kind in the Location column and carries its
// StartupEntry.
#pragma once

#include <string>

#include "controls/ListView.h"
#include "platform/RegistryBackend.h"
#include "platform/ScheduledTasks.h"
#include "platform/Services.h"
#include "registry/RunKeys.h"
#include "startup/StartupEntry.h"

namespace korvane {

// "Scheduled task \Folder\Name" (", by <author>" when the task names one).
std::string TaskLocation(const ScheduledTask& task);
// One row per task that starts at log-on or at boot and runs a program: its name, its command and
// arguments, TaskLocation; checked when enabled. False when the scheduler could not be reached.
bool ListStartupTasks(ScheduledTasks& tasks, ListView& list);

// One checked row per automatic service: its display name (else its name), its image path, and
// "Service <name>". False when the service control manager could not be opened.
bool ListAutoStartServices(Services& services, ListView& list);

}  // namespace korvane
