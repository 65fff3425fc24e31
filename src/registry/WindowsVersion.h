// The Windows version class that decides which registry keys some scan groups and the startup
// manager use.
#pragma once

#include <optional>

#include "platform/SystemInfo.h"

namespace korvane {

// Asks the platform once per process and remembers the answer; true when the query succeeded.
bool QueryWindowsVersion(SystemInfo& system);
// 1-3: Windows 95 family; 4-7: NT 4 to 5.2; 8: NT 6.0 and later; 0: unknown or not queried.
int WindowsVersionClass();
// The version QueryWindowsVersion found, for the finer steps inside a class (Windows 8 is NT 6.2);
// nothing when it was not found or not asked.
std::optional<VersionRecord> RememberedWindowsVersion();
// The class of one version record (what WindowsVersionClass applies to the remembered one).
int VersionClassOf(const std::optional<VersionRecord>& version);
// Forgets the remembered answer (tests only).
void ResetWindowsVersionForTests();

}  // namespace korvane
