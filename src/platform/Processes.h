// Child processes: the registry editor (run hidden and waited for) and uninstallers (started, or
// started and waited for together with every process they start).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace korvane {

// How a wait for a program and everything it started came to its end.
enum class TreeEnd {
    NotStarted,      // the program could not be started
    Ended,           // it and every process it started have ended
    StoppedWaiting,  // the caller stopped waiting; the processes go on
    NotWaited,       // started, but this platform cannot tell when the processes end
};

class Processes {
public:
    virtual ~Processes() = default;

    // Runs `commandLine` with a hidden window in `workingFolder` and waits without time limit.
    // Returns the exit code, or nothing when the program could not be started.
    virtual std::optional<std::uint32_t> runHiddenAndWait(const std::string& commandLine,
                                                          const std::string& workingFolder) = 0;
    // Starts the program file `applicationName` (a full path; nothing is searched for) with
    // `commandLine` as its whole command line, its own name first, in the default window state, and
    // returns at once; false if it could not start.
    virtual bool start(const std::string& applicationName, const std::string& commandLine) = 0;
    // Starts `program` with `arguments` and administrator rights (Windows asks the user first) and
    // returns at once; false when it did not start (the user said no, or it could not be found).
    virtual bool startElevated(const std::string& program, const std::string& arguments) = 0;
    // Starts `applicationName` as start() does and waits until it and every process it starts in turn
    // have ended: uninstallers often copy themselves to the temporary folder, start the copy and quit
    // at once. `stopWaiting` is asked now and then; when it says yes the wait ends and the processes
    // are left running. Without a way to follow the processes it only starts the program.
    virtual TreeEnd startAndWaitForTree(const std::string& applicationName, const std::string& commandLine,
                                        const std::function<bool()>& stopWaiting) {
        return start(applicationName, commandLine) ? TreeEnd::NotWaited : TreeEnd::NotStarted;
    }
};

}  // namespace korvane
