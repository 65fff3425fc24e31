// Child processes: the registry editor (run hidden and waited for) and uninstallers (started only).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvane {

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
};

}  // namespace korvane
