// The system, Windows and Program Files folders as the path helpers need them, and ReplaceFirst.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace korvane {

// The system folder with a trailing "\" ("C:\WINDOWS\system32\"); empty if the platform gives none.
std::string SystemFolder(SystemInfo& system);
// SystemFolder cut after the first "\" at the fourth character or later ("C:\WINDOWS\").
std::string WindowsFolder(SystemInfo& system);
// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion "ProgramFilesDir" with a trailing "\", opened with
// read rights only; empty when the key cannot be opened or the value is not text.
std::string ProgramFilesFolder(RegistryBackend& registry);
// The first case-sensitive occurrence of `pattern` replaced; `text` unchanged without one.
std::string ReplaceFirst(const std::string& pattern, const std::string& replacement, const std::string& text);

}  // namespace korvane
