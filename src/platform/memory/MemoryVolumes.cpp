// The volumes of the in-memory file system and how far an existence test gets on them (MemoryVolumes.h).
#include "platform/memory/MemoryVolumes.h"

#include "platform/memory/CaseFolding.h"

namespace korvane::memory {

MemoryVolumes::MemoryVolumes() : clock_(std::make_unique<MemoryClock>()) {}

FileNode* MemoryVolumes::Root(const std::string& volume) const {
    auto found = roots_.find(FoldName(volume));
    return found == roots_.end() ? nullptr : found->second.get();
}

FileNode& MemoryVolumes::AddRoot(const std::string& volume) {
    auto& slot = roots_[FoldName(volume)];
    if (!slot) {
        slot = std::make_unique<FileNode>();
        slot->name = volume;
        slot->attributes = fileattr::Directory;
    }
    return *slot;
}

std::optional<PathProbe> MemoryVolumes::Reach(const std::string& volume, std::unique_lock<std::mutex>& lock) {
    ++testsByVolume_[FoldName(volume)];
    if (const Trouble* found = troubleOf(volume)) {
        const Trouble trouble = *found;
        if (trouble.delay.count() > 0) {
            // The answer comes when the clock says so; other callers go on meanwhile.
            const MemoryClock::Duration deadline = clock_->Now() + trouble.delay;
            ++waiting_;
            lock.unlock();
            const bool answered = clock_->SleepUntil(deadline, closing_);
            lock.lock();
            if (--waiting_ == 0) noneWaiting_.notify_all();
            if (!answered) return PathProbe::Unknown(PathReason::TimedOut, fserror::SemTimeout);
        }
        if (trouble.unreachable)
            return PathProbe::Unknown(PathReason::ServerUnreachable, fserror::BadNetPath);
        if (trouble.notReady) return PathProbe::Unknown(PathReason::DriveNotReady, fserror::NotReady);
    }
    if (Root(volume) == nullptr) return answerForMissing(volume);
    return std::nullopt;
}

PathProbe MemoryVolumes::answerForMissing(const std::string& volume) const {
    if (volume.rfind("\\\\", 0) != 0)
        return PathProbe::Unknown(PathReason::NoSuchDrive, fserror::PathNotFound);
    // A server with other shares answers that this one is not there; an unknown one does not answer.
    const std::string server = FoldName(volume.substr(0, volume.find('\\', 2))) + "\\";
    const auto next = roots_.lower_bound(server);
    if (next != roots_.end() && next->first.rfind(server, 0) == 0)
        return PathProbe::Unknown(PathReason::ShareUnavailable, fserror::BadNetName);
    return PathProbe::Unknown(PathReason::ServerUnreachable, fserror::BadNetPath);
}

const MemoryVolumes::Trouble* MemoryVolumes::troubleOf(const std::string& volume) const {
    if (troubles_.empty()) return nullptr;
    const std::string folded = FoldName(volume);
    if (auto it = troubles_.find(folded); it != troubles_.end()) return &it->second;
    if (folded.rfind("\\\\", 0) == 0) {
        const std::string server = folded.substr(0, folded.find('\\', 2));
        if (auto it = troubles_.find(server); it != troubles_.end()) return &it->second;
    }
    return nullptr;
}

void MemoryVolumes::SetNotReady(const std::string& volume) {
    troubles_[FoldName(volume)].notReady = true;
}

void MemoryVolumes::SetDelay(const std::string& volume, std::chrono::milliseconds delay) {
    troubles_[FoldName(volume)].delay = delay;
}

void MemoryVolumes::SetUnreachable(const std::string& volume, std::chrono::milliseconds answerAfter) {
    Trouble& trouble = troubles_[FoldName(volume)];
    trouble.unreachable = true;
    trouble.delay = answerAfter;
}

void MemoryVolumes::ClearTroubles() {
    troubles_.clear();
}

MemoryClock& MemoryVolumes::UseManualClock() {
    clock_ = std::make_unique<MemoryClock>(MemoryClock::Mode::Manual);
    return *clock_;
}

void MemoryVolumes::Close(std::unique_lock<std::mutex>& lock) {
    closing_ = true;
    clock_->WakeAll();
    noneWaiting_.wait(lock, [this] { return waiting_ == 0; });
}

std::uint64_t MemoryVolumes::TestsOn(const std::string& volume) const {
    const std::string folded = FoldName(volume);
    std::uint64_t tests = 0;
    for (const auto& [name, count] : testsByVolume_)
        if (name == folded || name.rfind(folded + "\\", 0) == 0) tests += count;
    return tests;
}

void MemoryVolumes::ResetCounts() {
    testsByVolume_.clear();
}

}  // namespace korvane::memory
