// Listing startup tasks and automatic services (StartupKinds.h).
#include "startup/StartupKinds.h"

#include <vector>

namespace korvane {

std::string TaskLocation(const ScheduledTask& task) {
    std::string location = "Scheduled task " + task.path;
    if (!task.author.empty()) location += ", by " + task.author;
    return location;
}

bool ListStartupTasks(ScheduledTasks& scheduler, ListView& list) {
    std::vector<ScheduledTask> tasks;
    if (!scheduler.listTasks(tasks)) return false;
    for (const ScheduledTask& task : tasks) {
        // A task that only sends mail or shows a message starts no program.
        if (!(task.logonTrigger || task.bootTrigger) || task.command.empty()) continue;
        // The program as the Command column shows it: quoted when it holds a blank, as Windows would
        // need it on a command line.
        std::string command = task.command.find(' ') != std::string::npos && task.command.front() != '"'
                                  ? "\"" + task.command + "\""
                                  : task.command;
        if (!task.arguments.empty()) command += " " + task.arguments;
        StartupEntry entry;
        entry.kind = StartupKind::Task;
        entry.name = task.name;
        entry.command = std::move(command);
        entry.task = TaskRow{task.path, task.command};
        list.Add(StartupRow(entry, TaskLocation(task), task.enabled));
    }
    return true;
}

bool ListAutoStartServices(Services& manager, ListView& list) {
    std::vector<AutoStartService> services;
    if (!manager.listAutoStartServices(services)) return false;
    for (const AutoStartService& service : services) {
        StartupEntry entry;
        entry.kind = StartupKind::Service;
        entry.name = service.displayName.empty() ? service.name : service.displayName;
        entry.command = service.imagePath;
        list.Add(StartupRow(entry, "Service " + service.name, true));
    }
    return true;
}

}  // namespace korvane
