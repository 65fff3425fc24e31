// Child processes through CreateProcessW: the registry editor run hidden and waited for, and
// uninstallers started by their full path in their default window state without waiting; the program
// itself started again with administrator rights through ShellExecuteExW's "runas"; an uninstaller
// waited for together with every process it starts, through a job object.
#pragma once

#include "platform/Processes.h"

namespace korvane::win32 {

class Win32Processes final : public Processes {
public:
    std::optional<std::uint32_t> runHiddenAndWait(const std::string& commandLine,
                                                  const std::string& workingFolder) override;
    bool start(const std::string& applicationName, const std::string& commandLine) override;
    bool startElevated(const std::string& program, const std::string& arguments) override;
    TreeEnd startAndWaitForTree(const std::string& applicationName, const std::string& commandLine,
                                const std::function<bool()>& stopWaiting) override;
};

}  // namespace korvane::win32
