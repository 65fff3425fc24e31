// Which program a startup entry runs: its command read as the scan reads a target (GuessPath), after
// the user's environment is put in and the kernel's own path forms of service image paths are made
// ordinary. This one function is all the startup page knows of how commands are resolved.
#pragma once

#include <string>

#include "registry/Environment.h"
#include "registry/GuessPath.h"

namespace korvane {

// The full path of the program that `command` starts; empty when the command names none.
std::string StartupProgramPath(const std::string& command, const Environment& environment,
                               const PathContext& context);

}  // namespace korvane
