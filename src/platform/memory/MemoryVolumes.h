// The volumes of the in-memory file system: drives ("C:") and UNC shares ("\\server\share"), each the
// root of a folder tree, and whether an existence test reaches them: a drive that is not ready, a slow
// or unreachable volume or server (waiting on a clock the test may move), and what Windows answers for
// a drive, share or server that is not there. It counts the tests each volume gets.
//
// Not locked by itself: the file system's lock guards every call, and Reach and Close release it while
// they wait so that other callers go on meanwhile.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/PathProbe.h"
#include "platform/memory/MemoryClock.h"
#include "platform/memory/MemoryFileNode.h"

namespace korvane::memory {

class MemoryVolumes {
public:
    MemoryVolumes();
    MemoryVolumes(const MemoryVolumes&) = delete;
    MemoryVolumes& operator=(const MemoryVolumes&) = delete;

    // The root folder of `volume`; null when there is no such volume.
    FileNode* Root(const std::string& volume) const;
    // The root folder of `volume`, made (empty, named as given) when it is not there yet.
    FileNode& AddRoot(const std::string& volume);

    // Counts an existence test on `volume` and says whether it gets through: no answer when the volume
    // is there and answers, else the answer the test gets. A volume in trouble answers only after its
    // delay has passed on the clock; `lock` (the file system's, held) is released meanwhile.
    std::optional<PathProbe> Reach(const std::string& volume, std::unique_lock<std::mutex>& lock);

    // `volume` is "D:", "\\server\share" or a whole server "\\server"; see MemoryFileSystem.
    void SetNotReady(const std::string& volume);
    void SetDelay(const std::string& volume, std::chrono::milliseconds delay);
    void SetUnreachable(const std::string& volume, std::chrono::milliseconds answerAfter);
    void ClearTroubles();

    MemoryClock& UseManualClock();
    // How many existence tests are waiting for a slow or unreachable volume now.
    int Waiting() const { return waiting_; }
    // Wakes every test still waiting and returns once they have all left; `lock` held, released
    // while it waits.
    void Close(std::unique_lock<std::mutex>& lock);

    // Existence tests on a volume ("D:", "\\server\share") or on every share of a server ("\\server").
    std::uint64_t TestsOn(const std::string& volume) const;
    void ResetCounts();

private:
    struct Trouble {
        bool notReady = false;
        bool unreachable = false;
        std::chrono::milliseconds delay{0};
    };

    const Trouble* troubleOf(const std::string& volume) const;
    PathProbe answerForMissing(const std::string& volume) const;

    std::map<std::string, std::unique_ptr<FileNode>> roots_;  // by upper-cased volume name
    std::map<std::string, Trouble> troubles_;                 // upper-cased volume or server
    std::map<std::string, std::uint64_t> testsByVolume_;      // upper-cased volume -> existence tests
    std::unique_ptr<MemoryClock> clock_;
    std::atomic<bool> closing_{false};
    int waiting_ = 0;
    std::condition_variable noneWaiting_;
};

}  // namespace korvane::memory
