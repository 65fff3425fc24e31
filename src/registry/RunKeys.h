// The keys Windows starts programs from, below HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: one value per
// program, its name the entry's and its data the command line. Shared by the startup manager, the
// autorun option and the uninstall leftovers, so that all of them mean the same key.
#pragma once

namespace korvane {

// Run at every log-on (HKEY_CURRENT_USER) or start of Windows for every user (HKEY_LOCAL_MACHINE).
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Run once at the next log-on; Windows deletes each value before it runs its command.
inline constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

}  // namespace korvane
