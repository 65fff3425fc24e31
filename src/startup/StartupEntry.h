// One startup entry as its row keeps it in its tag: what kind it is, where it lives, what it is called
// and what it runs. The listings fill it, and Apply, Remove and the signature checks act on it; the
// row's texts are made from it for the user and never read back.
#pragma once

#include <optional>
#include <string>

#include "controls/ListView.h"
#include "platform/RegistryBackend.h"
#include "startup/StartupApproved.h"

namespace korvane {

enum class StartupKind {
    RunValue,      // a value of a Run or RunServices key, or of a dash scheme's parking key ("Run-")
    ParkedRecord,  // a record below the system configuration utility's parking key
    FolderFile,    // a file in a Startup folder
    RunOnceValue,  // a value of a RunOnce key: Windows deletes it after one run
    Task,          // a scheduled task that starts at log-on or boot
    Service,       // a service that starts automatically
};

// Which task a row is and the program it runs, as registered (before the arguments).
struct TaskRow {
    std::string path;  // "\Folder\Name"
    std::string program;
};

struct StartupEntry {
    StartupKind kind = StartupKind::RunValue;
    // The key the entry runs from; for a parked record, the key it goes back to ("hkey" and "key"), its
    // root 0 when "hkey" is no root abbreviation. A Startup folder file: the root whose shell folder
    // names the folder, and the folder itself as keyPath.
    HKey root = 0;
    std::string rootText;  // the root as the Location column shows it; a record's "hkey" as written
    std::string keyPath;
    // The value's name, the record's "item", the file's name, the task's name or the service's name.
    std::string name;
    // The command line; a Startup folder file's full path; a service's image path.
    std::string command;
    // Where Windows 8 and later keep the entry's enabled state (Run values and Startup folder files;
    // a parked record's, for when it goes back to its Run key).
    std::optional<ApprovedPlace> approved;
    TaskRow task{};  // a Task's

    // "<root>\<key path>": the Location text of an entry of the registry.
    std::string RegistryLocation() const { return rootText + "\\" + keyPath; }
};

// An entry of the registry found at `root`\`keyPath`, its root shown by its abbreviation.
StartupEntry RegistryStartupEntry(StartupKind kind, HKey root, std::string keyPath, std::string name,
                                  std::string command);

// The row that shows `entry`: its name, its command and `location`, checked as given, with the entry
// in its tag.
ListItem StartupRow(const StartupEntry& entry, const std::string& location, bool checked);

}  // namespace korvane
