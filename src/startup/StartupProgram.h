// Which program a startup entry runs: its command read as the scan reads a target (GuessPath), after
// the user's environment is put in and the kernel's own path forms of service image paths are made
// ordinary. This one function is all the startup page knows of how commands are resolved.
#pragma once

#include <string>

#include "registry/GuessPath.h"
#include "startup/UserEnvironment.h"

namespace korvane {

// The full path of the program that `command` starts; empty when the command names none.
std::string StartupProgramPath(const std::string& command, const UserEnvironment& environment,
                               const PathContext& context);

}  // namespace korvane
