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

TreeEnd MemoryProcesses::startAndWaitForTree(const std::string& applicationName,
                                             const std::string& commandLine,
                                             const std::function<bool()>& stopWaiting) {
    TreeBehaviour tree;
    {
        std::lock_guard lock(mutex_);
        tree = treeBehaviour_;
    }
    if (!tree) {
        const auto exitCode =
            record(ProcessCall{ProcessCallKind::StartAndWaitForTree, commandLine, {}, applicationName});
        return exitCode ? TreeEnd::Ended : TreeEnd::NotStarted;
    }
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(ProcessCall{ProcessCallKind::StartAndWaitForTree, commandLine, {}, applicationName});
    }
    MemoryJob job;
    if (!tree(commandLine, job)) return TreeEnd::NotStarted;
    while (!job.pending_.empty()) {
        if (stopWaiting && stopWaiting()) {
            std::lock_guard lock(mutex_);
            for (auto& program : job.pending_) leftRunning_.Start(std::move(program));
            return TreeEnd::StoppedWaiting;
        }
        MemoryJob::Program next = std::move(job.pending_.front());
        job.pending_.pop_front();
        next(job);
    }
    return TreeEnd::Ended;
}

void MemoryProcesses::SetTreeBehaviour(TreeBehaviour behaviour) {
    std::lock_guard lock(mutex_);
    treeBehaviour_ = std::move(behaviour);
}

void MemoryProcesses::RunLeftRunning() {
    MemoryJob job;
    {
        std::lock_guard lock(mutex_);
        std::swap(job, leftRunning_);
    }
    while (!job.pending_.empty()) {
        MemoryJob::Program next = std::move(job.pending_.front());
        job.pending_.pop_front();
        next(job);
    }
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
