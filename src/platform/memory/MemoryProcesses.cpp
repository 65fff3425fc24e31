// Recording of process calls and dispatch to the test's behaviour.
#include "platform/memory/MemoryProcesses.h"

namespace korvane {

std::optional<std::uint32_t> MemoryProcesses::record(ProcessCallKind kind, const std::string& commandLine,
                                                     const std::string& workingFolder) {
    Behaviour behaviour;
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(ProcessCall{kind, commandLine, workingFolder});
        behaviour = behaviour_;
    }
    // Run outside the lock: the behaviour may well look at the calls or use other platform parts.
    if (!behaviour) return 0u;
    return behaviour(commandLine, workingFolder);
}

std::optional<std::uint32_t> MemoryProcesses::runHiddenAndWait(const std::string& commandLine,
                                                               const std::string& workingFolder) {
    return record(ProcessCallKind::RunHiddenAndWait, commandLine, workingFolder);
}

bool MemoryProcesses::start(const std::string& commandLine) {
    return record(ProcessCallKind::Start, commandLine, {}).has_value();
}

bool MemoryProcesses::startElevated(const std::string& program, const std::string& arguments) {
    return record(ProcessCallKind::StartElevated, program + " " + arguments, {}).has_value();
}

void MemoryProcesses::SetBehaviour(Behaviour behaviour) {
    std::lock_guard lock(mutex_);
    behaviour_ = std::move(behaviour);
}

std::vector<ProcessCall> MemoryProcesses::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void MemoryProcesses::ClearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

}  // namespace korvane
