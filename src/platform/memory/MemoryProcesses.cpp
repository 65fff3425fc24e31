// Recording of process calls and dispatch to the test's behaviour.
#include "platform/memory/MemoryProcesses.h"

namespace korvane {

std::optional<std::uint32_t> MemoryProcesses::record(ProcessCall call) {
    Behaviour behaviour;
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
        behaviour = behaviour_;
    }
    // Run outside the lock: the behaviour may well look at the calls or use other platform parts.
    if (!behaviour) return 0u;
    return behaviour(call.commandLine, call.workingFolder);
}

std::optional<std::uint32_t> MemoryProcesses::runHiddenAndWait(const std::string& commandLine,
                                                               const std::string& workingFolder) {
    return record(ProcessCall{ProcessCallKind::RunHiddenAndWait, commandLine, workingFolder, {}});
}

bool MemoryProcesses::start(const std::string& applicationName, const std::string& commandLine) {
    return record(ProcessCall{ProcessCallKind::Start, commandLine, {}, applicationName}).has_value();
}

bool MemoryProcesses::startElevated(const std::string& program, const std::string& arguments) {
    return record(ProcessCall{ProcessCallKind::StartElevated, program + " " + arguments, {}, {}}).has_value();
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
