// Per-run memory of existence tests and of the reachability of drives and servers (see ProbeMemory.h).
#include "probe/ProbeMemory.h"

#include "platform/AsciiCase.h"
#include "platform/PathText.h"
#include "probe/BoundedCall.h"
#include "probe/Evidence.h"

namespace korvane {

namespace {

// One bit per drive letter.
std::uint32_t DriveBit(char letter) {
    return 1u << (AsciiUpper(letter) - 'A');
}

}  // namespace

std::string PathAnswer::Why() const {
    return AnswerText(probe, network, budget);
}

std::size_t ProbeMemory::FoldedHash::operator()(std::string_view path) const {
    // FNV-1a over the folded bytes.
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : path) hash = (hash ^ static_cast<unsigned char>(AsciiUpper(c))) * 1099511628211ull;
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

bool ProbeMemory::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    return EqualsNoCase(a, b);
}

ProbeMemory::ProbeMemory(FileSystem& files, std::chrono::milliseconds budget)
    : files_(files), budget_(budget) {
    paths_.reserve(1 << 14);
}

// "X:\..." and "\\server\share\..." have a volume; anything else depends on the current folder.
std::optional<ProbeMemory::Volume> ProbeMemory::VolumeOf(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
        const char letter = static_cast<char>(path[0] & ~0x20);
        if (letter < 'A' || letter > 'Z') return std::nullopt;
        return Volume{std::string(1, letter) + ":", "", path.substr(0, 3), false};
    }
    if (path.size() < 3 || path[0] != '\\' || path[1] != '\\' || path[2] == '?' || path[2] == '.')
        return std::nullopt;
    const std::size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string::npos || serverEnd == 2) return std::nullopt;
    std::size_t shareEnd = path.find('\\', serverEnd + 1);
    if (shareEnd == serverEnd + 1) return std::nullopt;
    if (shareEnd == std::string::npos) shareEnd = path.size();
    const std::string root = path.substr(0, shareEnd) + "\\";
    return Volume{UpperAscii(path.substr(0, shareEnd)), UpperAscii(path.substr(0, serverEnd)), root, true};
}

PathAnswer ProbeMemory::Answer(const PathProbe& probe, bool network) const {
    return PathAnswer{probe, network, budget_};
}

void ProbeMemory::Publish() {
    if (waiters_ > 0) changed_.notify_all();
}

std::optional<PathProbe> ProbeMemory::AskWithin(const std::string& path) {
    tests_.fetch_add(1, std::memory_order_relaxed);
    FileSystem& files = files_;
    return CallWithin<PathProbe>(budget_, [&files, path] {
        const auto native = files.nativePathsOnThisThread();
        return files.probePath(path);
    });
}

PathAnswer ProbeMemory::Probe(const std::string& path) {
    if (!IsAbsolutePath(path)) {
        tests_.fetch_add(1, std::memory_order_relaxed);
        return Answer(files_.probePath(path), false);
    }
    {
        std::unique_lock lock(mutex_);
        while (true) {
            const auto found = paths_.find(std::string_view(path));
            if (found == paths_.end()) break;
            if (found->second.done) return found->second.answer;
            // Another thread asks this very path now: its answer is this one's.
            ++waiters_;
            changed_.wait(lock);
            --waiters_;
        }
        paths_.emplace(path, Entry{});
    }
    const std::optional<Volume> volume = VolumeOf(path);
    const std::string& key = path;
    if (!volume) {
        // A malformed server path ("\\server" alone): asked as it is.
        tests_.fetch_add(1, std::memory_order_relaxed);
        const PathAnswer direct = Answer(files_.probePath(path), false);
        std::lock_guard lock(mutex_);
        paths_[key] = Entry{true, direct};
        Publish();
        return direct;
    }
    PathAnswer answer;
    try {
        answer = Ask(path, *volume);
    } catch (...) {
        std::lock_guard lock(mutex_);
        paths_.erase(key);  // whoever waits for it asks again
        Publish();
        throw;
    }
    std::lock_guard lock(mutex_);
    paths_[key] = Entry{true, answer};
    Publish();
    return answer;
}

bool ProbeMemory::AnswersQuickly(std::string_view path) {
    const std::size_t start = path.find_first_not_of("\" ");
    if (start == std::string_view::npos) return true;
    path.remove_prefix(start);
    if (path.starts_with("\\\\")) return false;  // a network path
    const char letter = static_cast<char>(path.empty() ? 0 : (path[0] & ~0x20));
    // Relative: on the current folder's drive, met long before.
    if (path.size() < 3 || letter < 'A' || letter > 'Z' || path[1] != ':' || path[2] != '\\') return true;
    return (quickDrives_.load(std::memory_order_relaxed) & DriveBit(letter)) != 0;
}

void ProbeMemory::NoteSpeed(const Volume& volume, const VolumeState& state) {
    if (volume.network) return;
    const std::uint32_t bit = DriveBit(volume.key[0]);
    if (state.decision != Decision::Unknown && state.decision != Decision::Deciding && !state.slow)
        quickDrives_.fetch_or(bit, std::memory_order_relaxed);
    else
        quickDrives_.fetch_and(~bit, std::memory_order_relaxed);
}

PathProbe ProbeMemory::AskTimed(const std::string& path, const Volume& volume) {
    tests_.fetch_add(1, std::memory_order_relaxed);
    const auto start = std::chrono::steady_clock::now();
    PathProbe probe = files_.probePath(path);
    if (std::chrono::steady_clock::now() - start >= kSlowTest) {
        std::lock_guard lock(mutex_);
        VolumeState& state = volumes_[volume.key];
        state.slow = true;
        NoteSpeed(volume, state);
    }
    return probe;
}

PathAnswer ProbeMemory::Ask(const std::string& path, const Volume& volume) {
    if (std::optional<PathAnswer> failed = Decide(volume)) return *failed;
    if (!volume.network) return Answer(AskTimed(path, volume), false);
    if (std::optional<PathProbe> probe = AskWithin(path)) return Answer(*probe, true);
    PathAnswer silent = Answer(PathProbe::Unknown(PathReason::TimedOut, 0), true);
    std::lock_guard lock(mutex_);
    silentServers_.emplace(volume.server, silent);
    return silent;
}

// The volume's first test decides; later callers wait for that decision, which takes at most the budget.
std::optional<PathAnswer> ProbeMemory::Decide(const Volume& volume) {
    {
        std::unique_lock lock(mutex_);
        while (true) {
            if (volume.network) {
                const auto silent = silentServers_.find(volume.server);
                if (silent != silentServers_.end()) return silent->second;
            }
            VolumeState& state = volumes_[volume.key];
            if (state.decision == Decision::Answered) return std::nullopt;
            if (state.decision == Decision::Failed) return state.failure;
            if (state.decision == Decision::Unknown) {
                state.decision = Decision::Deciding;
                break;
            }
            ++waiters_;
            changed_.wait(lock);
            --waiters_;
        }
    }
    std::optional<PathProbe> root;
    const auto start = std::chrono::steady_clock::now();
    try {
        root = AskWithin(volume.root);
    } catch (...) {
        std::lock_guard lock(mutex_);
        volumes_[volume.key].decision = Decision::Unknown;  // the next caller tries again
        Publish();
        throw;
    }
    std::optional<PathAnswer> failure;
    if (!root) {
        failure = Answer(PathProbe::Unknown(PathReason::TimedOut, 0), volume.network);
    } else if (root->state == PathState::CannotTell) {
        failure = Answer(*root, volume.network);
    } else if (!root->IsPresent()) {
        // A volume without its root is no volume: the drive or the share is not there.
        failure =
            Answer(PathProbe::Unknown(volume.network ? PathReason::ShareUnavailable : PathReason::NoSuchDrive,
                                      root->error),
                   volume.network);
    }
    // The root's test ran on a thread of its own: its time says little below a few milliseconds.
    const bool slow = std::chrono::steady_clock::now() - start >= 5 * kSlowTest;
    std::lock_guard lock(mutex_);
    VolumeState& state = volumes_[volume.key];
    state.decision = failure ? Decision::Failed : Decision::Answered;
    state.slow = state.slow || slow;
    NoteSpeed(volume, state);
    if (failure) {
        state.failure = *failure;
        if (volume.network && !root) silentServers_.emplace(volume.server, *failure);
    }
    Publish();
    return failure;
}

}  // namespace korvane
