// What a build hands the conformance suite: one implementation of each platform part plus the scratch
// places the tests may wipe. Natively the in-memory platform provides it (tests/conformance_memory/),
// in the Windows build the Win32 one (tests/win32/); the same tests run against both.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "platform/RegistryBackend.h"
#include "platform/SystemInfo.h"

namespace korvane {

struct ConformanceTarget {
    std::unique_ptr<RegistryBackend> registry;
    HKey scratchRoot = roots::CurrentUser;
    std::string scratchPath;  // key below scratchRoot that tests create and delete, e.g.
                              // "Software\KorvaneConformance"

    std::unique_ptr<FileSystem> files;
    std::string scratchFolder;  // absolute folder that tests create and delete, e.g. "C:\KorvaneConformance"
    std::string absentDrive;    // a drive letter that names no drive, e.g. "Q:"

    std::unique_ptr<SystemInfo> system;

    // Sets a file's attributes (SetFileAttributes), which FileSystem itself does not offer. When it is
    // left empty the attribute cases are skipped.
    std::function<bool(const std::string& path, std::uint32_t attributes)> setFileAttributes;
};

ConformanceTarget MakeConformanceTarget();

}  // namespace korvane
