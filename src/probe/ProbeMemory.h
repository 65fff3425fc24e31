// The existence tests of one scan run, shared by its threads: each distinct absolute path is asked of
// the file system once; the first test on a drive or on a \\server\share decides for every later path
// on it (a drive that is not there or not ready, a share that does not answer, make every path on
// them "cannot tell" without asking again); a test of a volume root or of a network path gets a time
// budget, and a server that let one run out answers "cannot tell" at once for the rest of the run.
// Paths without a drive or server (relative to the current folder, which may change) are asked each
// time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/FileSystem.h"

namespace korvane {

inline constexpr std::chrono::milliseconds kProbeBudget{2000};
// A drive whose test took this long is slow storage for the rest of the run.
inline constexpr std::chrono::microseconds kSlowTest{1000};

// One test's answer, and what its words need (see Evidence.h).
struct PathAnswer {
    PathProbe probe;
    bool network = false;
    std::chrono::milliseconds budget{0};

    PathState State() const { return probe.state; }
    bool IsFile() const { return probe.IsFile(); }
    bool IsFolder() const { return probe.IsFolder(); }
    // "file not found", "server did not answer in 2 s", ...
    std::string Why() const;
};

class ProbeMemory {
public:
    ProbeMemory(FileSystem& files, std::chrono::milliseconds budget = kProbeBudget);
    ProbeMemory(const ProbeMemory&) = delete;
    ProbeMemory& operator=(const ProbeMemory&) = delete;

    // Thread-safe; waits at most about one budget per volume it is the first to meet.
    PathAnswer Probe(const std::string& path);

    // Whether a test of `path` can be expected to answer at once: its drive answered, and fast. A
    // network path, or one on a drive not met yet or found slow, may keep its caller waiting.
    // Blanks and a quote in front (a command line) are passed over.
    bool AnswersQuickly(std::string_view path);

    // Questions that reached the file system.
    std::uint64_t Tests() const { return tests_.load(std::memory_order_relaxed); }
    std::chrono::milliseconds Budget() const { return budget_; }

private:
    struct Volume {
        std::string key;     // "C:", "\\SERVER\SHARE" (upper-cased)
        std::string server;  // "\\SERVER" for a network volume
        std::string root;    // "C:\", "\\server\share\"
        bool network = false;
    };
    // Paths compared as Windows compares them (A-Z without case), looked up without copying them.
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view path) const;
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    enum class Decision { Unknown, Deciding, Answered, Failed };
    struct VolumeState {
        Decision decision = Decision::Unknown;
        bool slow = false;
        PathAnswer failure;
    };
    struct Entry {
        bool done = false;
        PathAnswer answer;
    };

    static std::optional<Volume> VolumeOf(const std::string& path);
    std::optional<PathAnswer> Decide(const Volume& volume);
    PathAnswer Ask(const std::string& path, const Volume& volume);
    // A test on a thread of its own within the budget; nothing when it ran out.
    std::optional<PathProbe> AskWithin(const std::string& path);
    PathAnswer Answer(const PathProbe& probe, bool network) const;
    // A direct test of a path on a drive, timed: a slow one marks its drive.
    PathProbe AskTimed(const std::string& path, const Volume& volume);
    void Publish();  // mutex_ held: wakes whoever waits for an answer
    // mutex_ held: keeps quickDrives_ in step with what is known of a drive.
    void NoteSpeed(const Volume& volume, const VolumeState& state);

    FileSystem& files_;
    std::chrono::milliseconds budget_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int waiters_ = 0;
    std::unordered_map<std::string, Entry, FoldedHash, FoldedEqual> paths_;
    std::unordered_map<std::string, VolumeState> volumes_;  // by Volume::key
    std::unordered_map<std::string, PathAnswer> silentServers_;
    std::atomic<std::uint64_t> tests_{0};
    std::atomic<std::uint32_t> quickDrives_{0};  // bit n: drive 'A' + n answered, and fast
};

}  // namespace korvane
