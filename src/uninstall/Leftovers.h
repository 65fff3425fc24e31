// What a program left behind after its uninstall, found by evidence: a trace is proposed (checked)
// only when what it names lies inside the program's install folder and is gone. Its own settings key
// (Software\<Publisher>\<Product>) is only a match by name, so it is listed unchecked. Nothing is
// listed that lies in a folder no program owns, or that another installed program's entry points
// into. This unit finds; LeftoverRemoval.h removes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "registry/KeyName.h"
#include "uninstall/UninstallEntry.h"

namespace korvane {

enum class LeftoverKind {
    UninstallEntry,
    AppPath,
    RunEntry,
    StartupState,
    SharedDll,
    ClassServer,
    ProgId,
    Shortcut,
    SettingsKey,
    InstallFolder,
};

// "App Paths entry", "Run entry", ... as the list shows them; `Id` the stable English identifier
// the console writes ("appPath", "runEntry", ...).
std::string LeftoverKindText(LeftoverKind kind);
std::string LeftoverKindId(LeftoverKind kind);

// The program as its Uninstall entry described it, read before its uninstaller runs.
struct LeftoverSubject {
    KeyName entryKey;
    std::string displayName;
    std::string publisher;
    // InstallLocation, else the folders of the uninstaller and of DisplayIcon; only folders that may be
    // a program's own (MayBeInstallFolder).
    std::vector<std::string> installFolders;
    std::optional<std::string> uninstaller;  // the file the uninstall command runs
};

struct Leftover {
    LeftoverKind kind = LeftoverKind::RunEntry;
    std::optional<KeyName> key;  // a registry trace: a key (with its tree) or a value
    std::string file;            // a file or folder trace
    std::string evidence;        // why it is the program's: "points to C:\...\app.exe — folder removed"
    bool checked = false;        // proposed: it has evidence, not only a name that matches

    // The Key Name or the file's path.
    std::string Where() const { return key ? key->Text() : file; }
};

LeftoverSubject ReadLeftoverSubject(const Platform& platform, const UninstallEntry& entry);

// The traces of `subject`, by kind in the order of LeftoverKind.
std::vector<Leftover> FindLeftovers(const Platform& platform, const LeftoverSubject& subject);

}  // namespace korvane
