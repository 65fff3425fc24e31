// The Windows conformance target: the Win32 registry, file system and system facts, with a scratch
// key under HKEY_CURRENT_USER and a scratch folder in the user's temp folder.
#include <windows.h>

#include "conformance/ConformanceTarget.h"
#include "win32/platform/Text.h"
#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32Registry.h"
#include "win32/platform/Win32SystemInfo.h"

namespace korvane {

ConformanceTarget MakeConformanceTarget() {
    ConformanceTarget target;
    target.registry = std::make_unique<win32::Win32Registry>();
    target.scratchRoot = roots::CurrentUser;
    target.scratchPath = "Software\\KorvaneConformance";
    auto system = std::make_unique<win32::Win32SystemInfo>();
    target.scratchFolder = system->tempDirectory() + "KorvaneConformance";  // the temp folder ends in "\"
    target.system = std::move(system);
    target.files = std::make_unique<win32::Win32FileSystem>();
    // The last letter no drive uses (Wine maps C: and Z:, a real machine its disks from C: on).
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Y'; letter > 'C'; --letter) {
        if ((drives & (1u << (letter - 'A'))) == 0) {
            target.absentDrive = std::string(1, letter) + ":";
            break;
        }
    }
    target.setFileAttributes = [](const std::string& path, std::uint32_t attributes) {
        return ::SetFileAttributesW(win32::Widen(path).c_str(), attributes) != FALSE;
    };
    return target;
}

}  // namespace korvane
