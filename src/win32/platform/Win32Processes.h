// Child processes through CreateProcessW: the registry editor run hidden and waited for, and
// uninstallers started by their full path in their default window state without waiting; the program
// itself started again with administrator rights through ShellExecuteExW's "runas".
#pragma once

#include "platform/Processes.h"

namespace korvane::win32 {

class Win32Processes final : public Processes {
public:
    std::optional<std::uint32_t> runHiddenAndWait(const std::string& commandLine,
                                                  const std::string& workingFolder) override;
    bool start(const std::string& applicationName, const std::string& commandLine) override;
    bool startElevated(const std::string& program, const std::string& arguments) override;
};

}  // namespace korvane::win32
