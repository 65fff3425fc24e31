// Child processes in memory: every call is recorded, and a test may attach a behaviour that plays the
// started program (say, a registry editor that writes a .reg file) and decides its exit code. The
// behaviour sees the command line; a started program's application name is in its recorded call.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Processes.h"

namespace korvane {

enum class ProcessCallKind { RunHiddenAndWait, Start, StartElevated };

struct ProcessCall {
    ProcessCallKind kind = ProcessCallKind::Start;
    std::string commandLine;      // for startElevated: the program, a blank, the arguments
    std::string workingFolder;    // empty for start() and startElevated()
    std::string applicationName;  // empty for runHiddenAndWait() and startElevated()
};

class MemoryProcesses : public Processes {
public:
    // Gets the command line and the working folder; returns the exit code, or nothing for a program
    // that cannot be started.
    using Behaviour = std::function<std::optional<std::uint32_t>(const std::string& commandLine,
                                                                 const std::string& workingFolder)>;

    std::optional<std::uint32_t> runHiddenAndWait(const std::string& commandLine,
                                                  const std::string& workingFolder) override;
    bool start(const std::string& applicationName, const std::string& commandLine) override;
    bool startElevated(const std::string& program, const std::string& arguments) override;

    // Without a behaviour every program starts and exits with 0.
    void SetBehaviour(Behaviour behaviour);
    std::vector<ProcessCall> Calls() const;
    void ClearCalls();

private:
    std::optional<std::uint32_t> record(ProcessCall call);

    mutable std::mutex mutex_;
    std::vector<ProcessCall> calls_;
    Behaviour behaviour_;
};

}  // namespace korvane
