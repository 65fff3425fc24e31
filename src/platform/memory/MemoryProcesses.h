// Child processes in memory: every call is recorded, and a test may attach a behaviour that plays the
// started program (say, a registry editor that writes a .reg file) and decides its exit code. The
// behaviour sees the command line; a started program's application name is in its recorded call.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Processes.h"

namespace korvane {

enum class ProcessCallKind { RunHiddenAndWait, Start, StartElevated, StartAndWaitForTree };

// The processes of one startAndWaitForTree call. A program played by a test may start more programs
// into it, as an uninstaller starts its copy in the temporary folder; each runs after the one that
// started it has returned, and the wait ends when none is left.
class MemoryJob {
public:
    using Program = std::function<void(MemoryJob& job)>;
    void Start(Program program) { pending_.push_back(std::move(program)); }

private:
    friend class MemoryProcesses;
    std::deque<Program> pending_;
};

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
    // Plays the program with the tree behaviour, or else with the plain one (started when it gives an
    // exit code), and then every program started into the job, asking `stopWaiting` before each.
    TreeEnd startAndWaitForTree(const std::string& applicationName, const std::string& commandLine,
                                const std::function<bool()>& stopWaiting) override;

    // Without a behaviour every program starts and exits with 0.
    void SetBehaviour(Behaviour behaviour);
    // Plays a program started with startAndWaitForTree: gets its command line and its job, returns
    // false for a program that cannot be started.
    using TreeBehaviour = std::function<bool(const std::string& commandLine, MemoryJob& job)>;
    void SetTreeBehaviour(TreeBehaviour behaviour);
    // Runs the programs a stopped wait left running (as they would go on without Korvane).
    void RunLeftRunning();
    std::vector<ProcessCall> Calls() const;
    void ClearCalls();

private:
    std::optional<std::uint32_t> record(ProcessCall call);

    mutable std::mutex mutex_;
    std::vector<ProcessCall> calls_;
    Behaviour behaviour_;
    TreeBehaviour treeBehaviour_;
    MemoryJob leftRunning_;
};

}  // namespace korvane
