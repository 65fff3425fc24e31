// Listing RunOnce values, startup tasks and automatic services (StartupKinds.h).
#include "startup/StartupKinds.h"

#include <vector>

#include "registry/RegistryAccess.h"
#include "registry/RootKeys.h"

namespace korvane {

void ListRunOnceKey(RegistryBackend& backend, ListView& list, HKey root, const std::string& keyPath) {
    RegistryAccess registry(backend);
    registry.SetRoot(root);
    if (!registry.OpenRegKeyReadOnly(keyPath)) return;
    std::vector<std::string> names;
    registry.ListValueNames(names);
    const std::string location = RootKeyAbbreviation(root) + "\\" + keyPath;
    for (const std::string& name : names) {
        ListItem row{name, {registry.ReadText(name), location}, true};
        row.tag = RunOnceRow{root, keyPath};
        list.Add(std::move(row));
    }
}

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
        ListItem row{task.name, {command, TaskLocation(task)}, task.enabled};
        row.tag = TaskRow{task.path, task.command};
        list.Add(std::move(row));
    }
    return true;
}

bool ListAutoStartServices(Services& manager, ListView& list) {
    std::vector<AutoStartService> services;
    if (!manager.listAutoStartServices(services)) return false;
    for (const AutoStartService& service : services) {
        ListItem row{service.displayName.empty() ? service.name : service.displayName,
                     {service.imagePath, "Service " + service.name},
                     true};
        row.tag = ServiceRow{service.name};
        list.Add(std::move(row));
    }
    return true;
}

}  // namespace korvane
