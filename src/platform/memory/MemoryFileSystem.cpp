// The in-memory file system: path resolution after Windows' rules, the folder tree and the failure hooks
// of MemoryFileSystem.h. The volumes the trees hang from, and whether a test reaches them, are
// MemoryVolumes'.
#include "platform/memory/MemoryFileSystem.h"

#include <stdexcept>
#include <thread>

#include "platform/memory/CaseFolding.h"
#include "platform/memory/Sha256.h"
#include "platform/memory/Wildcard.h"

namespace korvane {

using memory::FoldName;

// An absolute path taken apart: the volume ("C:", "\\server\share") and the names below it.
struct MemoryFileSystem::Location {
    std::string volume;
    std::vector<std::string> parts;
    bool trailingSeparator = false;

    std::string folded() const {
        std::string path = FoldName(volume);
        for (const std::string& part : parts) path += "\\" + FoldName(part);
        return path;
    }
    std::string display() const {
        std::string path = volume;
        for (const std::string& part : parts) path += "\\" + part;
        return parts.empty() ? path + "\\" : path;
    }
    bool isRoot() const { return parts.empty(); }
};

// The threads that hold a native-paths scope. Shared with the scopes, which may outlive the file system.
struct MemoryFileSystem::NativeThreads {
    std::mutex mutex;
    std::multiset<std::thread::id> threads;

    bool Holds(std::thread::id id) {
        std::lock_guard lock(mutex);
        return threads.count(id) != 0;
    }
};

namespace {

// The folders of System32 that Windows never redirects for a 32-bit program (upper-cased).
constexpr const char* kUnredirected[] = {"CATROOT",      "CATROOT2", "DRIVERSTORE",
                                         "DRIVERS\\ETC", "LOGFILES", "SPOOL"};

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool HasInvalidCharacter(const std::string& name, bool allowWildcards) {
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) return true;
        if (c == '<' || c == '>' || c == ':' || c == '"' || c == '|') return true;
        if (!allowWildcards && (c == '*' || c == '?')) return true;
    }
    return false;
}

// Windows drops trailing dots and blanks of a name: "file.txt. " is "file.txt".
std::string TrimNameEnd(const std::string& name) {
    std::size_t end = name.find_last_not_of(". ");
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() : nativeThreads_(std::make_shared<NativeThreads>()) {
    AddDrive("C:");
    current_ = std::make_unique<Location>(Location{"C:", {}, false});
}

MemoryFileSystem::~MemoryFileSystem() {
    std::unique_lock lock(mutex_);
    volumes_.Close(lock);
}

// Resolves `path` as GetFullPathName does. With `lastIsPattern` the last name may hold wildcards and
// keeps its trailing dots, which mean something in a pattern.
std::optional<MemoryFileSystem::Location> MemoryFileSystem::locate(const std::string& path,
                                                                   bool lastIsPattern, bool redirect) const {
    std::string p = path;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    if (p.empty()) return std::nullopt;
    if (p.rfind("\\\\?\\", 0) == 0) p = p.substr(4);

    Location where;
    std::string rest;
    if (p.rfind("\\\\", 0) == 0) {
        std::vector<std::string> unc = memory::SplitPath(std::string_view(p).substr(2), '\\');
        if (unc.size() < 2 || unc[0].empty() || unc[1].empty()) return std::nullopt;
        where.volume = "\\\\" + unc[0] + "\\" + unc[1];
        for (std::size_t i = 2; i < unc.size(); ++i) rest += "\\" + unc[i];
    } else if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':') {
        where.volume = p.substr(0, 2);
        rest = p.substr(2);
        // "C:name" is relative to the current folder when that is on C:, else to C:'s root.
        if (!rest.empty() && rest[0] != '\\' && EqualsNoCase(current_->volume, where.volume)) {
            where.parts = current_->parts;
        } else if (rest.empty() && EqualsNoCase(current_->volume, where.volume)) {
            where.parts = current_->parts;
        }
    } else if (p[0] == '\\') {
        where.volume = current_->volume;
        rest = p;
    } else {
        where = *current_;
        rest = p;
    }

    std::vector<std::string> names = memory::SplitPath(rest, '\\');
    where.trailingSeparator = !rest.empty() && rest.back() == '\\';
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        bool last = i + 1 == names.size();
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (!where.parts.empty()) where.parts.pop_back();
            continue;
        }
        bool pattern = lastIsPattern && last;
        if (HasInvalidCharacter(name, pattern)) return std::nullopt;
        std::string trimmed = pattern ? name : TrimNameEnd(name);
        if (trimmed.empty()) continue;
        where.parts.push_back(trimmed);
    }
    if (redirect) redirectForWow64(where);
    return where;
}

void MemoryFileSystem::redirectForWow64(Location& where) const {
    if (wowSystem_.empty() || nativeThreads_->Holds(std::this_thread::get_id())) return;
    const std::string folded = where.folded();
    if (folded != wowSystem_ && folded.rfind(wowSystem_ + "\\", 0) != 0) return;
    const std::string rest = folded.substr(std::min(folded.size(), wowSystem_.size() + 1));
    for (const char* kept : kUnredirected) {
        const std::string name = kept;
        if (rest == name || rest.rfind(name + "\\", 0) == 0) return;
    }
    const std::size_t systemDepth = memory::SplitPath(wowSystem_, '\\').size() - 1;
    std::vector<std::string> parts = memory::SplitPath(wowFolder_, '\\');
    Location target;
    target.volume = parts.front();
    target.parts.assign(parts.begin() + 1, parts.end());
    target.parts.insert(target.parts.end(), where.parts.begin() + static_cast<std::ptrdiff_t>(systemDepth),
                        where.parts.end());
    target.trailingSeparator = where.trailingSeparator;
    where = std::move(target);
}

MemoryFileSystem::Node* MemoryFileSystem::find(const Location& where) const {
    Node* node = volumes_.Root(where.volume);
    if (node == nullptr) return nullptr;
    for (const std::string& part : where.parts) {
        if (!node->isFolder()) return nullptr;
        auto it = node->children.find(FoldName(part));
        if (it == node->children.end()) return nullptr;
        node = it->second.get();
    }
    // "C:\file.txt\" names a folder, and there is none.
    if (where.trailingSeparator && !node->isFolder()) return nullptr;
    return node;
}

MemoryFileSystem::Node* MemoryFileSystem::parentOf(const Location& where) const {
    if (where.isRoot()) return nullptr;
    Location parent = where;
    parent.parts.pop_back();
    parent.trailingSeparator = false;
    Node* node = find(parent);
    return node != nullptr && node->isFolder() ? node : nullptr;
}

MemoryFileSystem::Node* MemoryFileSystem::createChain(const Location& where, bool lastIsFolder) {
    Node* node = &volumes_.AddRoot(where.volume);
    for (std::size_t i = 0; i < where.parts.size(); ++i) {
        bool last = i + 1 == where.parts.size();
        auto& slot = node->children[FoldName(where.parts[i])];
        if (!slot) {
            slot = std::make_unique<Node>();
            slot->name = where.parts[i];
            slot->attributes = (last && !lastIsFolder) ? fileattr::Archive : fileattr::Directory;
        }
        node = slot.get();
    }
    return node;
}

bool MemoryFileSystem::deleteFails(const Location& where) const {
    return failDelete_.count(where.folded()) != 0 || writeFails(where);
}

bool MemoryFileSystem::writeFails(const Location& where) const {
    return InOrBelow(failWrite_, where);
}

bool MemoryFileSystem::accessDenied(const Location& where) const {
    return InOrBelow(denied_, where);
}

bool MemoryFileSystem::InOrBelow(const std::set<std::string>& paths, const Location& where) {
    if (paths.empty()) return false;
    Location up = where;
    while (true) {
        if (paths.count(up.folded()) != 0) return true;
        if (up.parts.empty()) return false;
        up.parts.pop_back();
    }
}

// Windows keeps the current folder open, so it and the folders above it cannot be removed.
bool MemoryFileSystem::holdsCurrentDirectory(const Location& where) const {
    if (!EqualsNoCase(where.volume, current_->volume)) return false;
    if (where.parts.size() > current_->parts.size()) return false;
    for (std::size_t i = 0; i < where.parts.size(); ++i) {
        if (!EqualsNoCase(where.parts[i], current_->parts[i])) return false;
    }
    return true;
}

PathProbe MemoryFileSystem::probePath(const std::string& path) {
    std::unique_lock lock(mutex_);
    ++calls_;
    ++existenceTests_;
    auto where = locate(path);
    if (!where) return PathProbe::Missing(PathReason::InvalidName, fserror::InvalidName);
    if (const std::optional<PathProbe> unreached = volumes_.Reach(where->volume, lock)) return *unreached;
    if (accessDenied(*where)) return PathProbe::Unknown(PathReason::AccessDenied, fserror::AccessDenied);
    if (const Node* node = find(*where)) return PathProbe::Found(node->attributes);
    // Windows tells a missing name in an existing folder from a missing folder on the way.
    if (!where->isRoot() && parentOf(*where) != nullptr && !where->trailingSeparator)
        return PathProbe::Missing(PathReason::FileNotFound, fserror::FileNotFound);
    return PathProbe::Missing(PathReason::PathNotFound, fserror::PathNotFound);
}

std::optional<std::uint32_t> MemoryFileSystem::attributes(const std::string& path) {
    const PathProbe answer = probePath(path);
    if (!answer.IsPresent()) return std::nullopt;
    return answer.attributes;
}

bool MemoryFileSystem::fileExists(const std::string& path) {
    return probePath(path).IsFile();
}

bool MemoryFileSystem::directoryExists(const std::string& path) {
    return probePath(path).IsFolder();
}

namespace {

class MemoryNativePaths final : public NativePathsScope {
public:
    using Threads = std::multiset<std::thread::id>;
    MemoryNativePaths(std::shared_ptr<void> owner, std::mutex& mutex, Threads& threads)
        : owner_(std::move(owner)), mutex_(mutex), threads_(threads) {
        std::lock_guard lock(mutex_);
        at_ = threads_.insert(std::this_thread::get_id());
    }
    ~MemoryNativePaths() override {
        std::lock_guard lock(mutex_);
        threads_.erase(at_);
    }

private:
    std::shared_ptr<void> owner_;  // keeps the mutex and the set alive
    std::mutex& mutex_;
    Threads& threads_;
    Threads::iterator at_;
};

}  // namespace

std::unique_ptr<NativePathsScope> MemoryFileSystem::nativePathsOnThisThread() {
    return std::make_unique<MemoryNativePaths>(nativeThreads_, nativeThreads_->mutex,
                                               nativeThreads_->threads);
}

bool MemoryFileSystem::findFiles(const std::string& pattern, std::vector<FileEntry>& out) {
    std::lock_guard lock(mutex_);
    ++calls_;
    out.clear();
    auto where = locate(pattern, true);
    if (!where) return false;
    if (where->trailingSeparator || where->isRoot()) return true;  // FindFirstFile matches nothing here
    std::string namePattern = where->parts.back();
    where->parts.pop_back();
    Node* folder = find(*where);
    if (folder == nullptr || !folder->isFolder()) return false;

    if (!where->isRoot()) {
        Location up = *where;
        up.parts.pop_back();
        const Node* parent = find(up);
        if (memory::MatchesWildcard(".", namePattern)) out.push_back({".", folder->attributes, 0});
        if (memory::MatchesWildcard("..", namePattern)) {
            out.push_back({"..", parent != nullptr ? parent->attributes : fileattr::Directory, 0});
        }
    }
    for (const auto& [folded, child] : folder->children) {
        if (!memory::MatchesWildcard(child->name, namePattern)) continue;
        std::uint64_t size = child->isFolder() ? 0 : child->contents.size();
        out.push_back({child->name, child->attributes, size});
    }
    return true;
}

bool MemoryFileSystem::createDirectory(const std::string& path) {
    std::lock_guard lock(mutex_);
    ++calls_;
    auto where = locate(path);
    if (!where || where->isRoot()) return false;
    where->trailingSeparator = false;
    if (find(*where) != nullptr) return false;
    if (parentOf(*where) == nullptr || writeFails(*where)) return false;
    createChain(*where, true);
    return true;
}

bool MemoryFileSystem::removeDirectory(const std::string& path) {
    return removeEntry(path, true);
}

bool MemoryFileSystem::deleteFile(const std::string& path) {
    return removeEntry(path, false);
}

bool MemoryFileSystem::removeEntry(const std::string& path, bool folder) {
    std::lock_guard lock(mutex_);
    ++calls_;
    auto where = locate(path);
    if (!where || where->isRoot()) return false;
    Node* node = find(*where);
    Node* parent = parentOf(*where);
    if (node == nullptr || parent == nullptr || node->isFolder() != folder) return false;
    if ((node->attributes & fileattr::ReadOnly) != 0 || deleteFails(*where)) return false;
    // Windows keeps a folder with anything in it, and the current folder, which it holds open.
    if (folder && (!node->children.empty() || holdsCurrentDirectory(*where))) return false;
    parent->children.erase(FoldName(where->parts.back()));
    return true;
}

std::string MemoryFileSystem::currentDirectory() {
    std::lock_guard lock(mutex_);
    ++calls_;
    return current_->display();
}

bool MemoryFileSystem::setCurrentDirectory(const std::string& path) {
    std::lock_guard lock(mutex_);
    ++calls_;
    auto where = locate(path);
    if (!where) return false;
    Node* node = find(*where);
    if (node == nullptr || !node->isFolder()) return false;
    where->trailingSeparator = false;
    *current_ = *where;  // kept as spelled by the caller, as Windows does
    return true;
}

std::optional<std::string> MemoryFileSystem::readFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    ++calls_;
    auto where = locate(path);
    Node* node = where ? find(*where) : nullptr;
    if (node == nullptr || node->isFolder()) return std::nullopt;
    return node->contents;
}

bool MemoryFileSystem::moveToRecycleBin(const std::string& path) {
    std::lock_guard lock(mutex_);
    ++calls_;
    auto where = locate(path);
    if (!where || where->isRoot()) return false;
    Node* node = find(*where);
    Node* parent = parentOf(*where);
    if (node == nullptr || parent == nullptr) return false;
    if (deleteFails(*where) || writeFails(*where) || holdsCurrentDirectory(*where)) return false;
    auto taken = parent->children.find(FoldName(where->parts.back()));
    recycled_.emplace_back(where->display(), std::move(taken->second));
    parent->children.erase(taken);
    return true;
}

std::vector<std::string> MemoryFileSystem::RecycledRaw() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> paths;
    for (const auto& [path, node] : recycled_) paths.push_back(path);
    return paths;
}

std::optional<Sha256Digest> MemoryFileSystem::sha256(const std::string& path) {
    const std::optional<std::string> contents = readFile(path);
    if (!contents) return std::nullopt;
    return Sha256Of(*contents);
}

bool MemoryFileSystem::writeFile(const std::string& path, const std::string& data) {
    std::lock_guard lock(mutex_);
    ++calls_;
    auto where = locate(path);
    if (!where || where->isRoot() || where->trailingSeparator) return false;
    if (parentOf(*where) == nullptr || writeFails(*where)) return false;
    Node* node = find(*where);
    if (node != nullptr && (node->isFolder() || (node->attributes & fileattr::ReadOnly) != 0)) return false;
    if (node == nullptr) node = createChain(*where, false);
    node->contents = data;
    node->attributes |= fileattr::Archive;
    node->attributes &= ~fileattr::Normal;
    return true;
}

bool MemoryFileSystem::replaceFile(const std::string& from, const std::string& to) {
    std::lock_guard lock(mutex_);
    ++calls_;
    auto source = locate(from);
    auto target = locate(to);
    if (!source || !target || source->isRoot() || target->isRoot() || target->trailingSeparator) return false;
    Node* moving = find(*source);
    Node* sourceParent = parentOf(*source);
    Node* targetParent = parentOf(*target);
    if (moving == nullptr || moving->isFolder() || sourceParent == nullptr || targetParent == nullptr) {
        return false;
    }
    if (source->folded() == target->folded()) return true;
    if (deleteFails(*source) || writeFails(*target)) return false;
    if (Node* existing = find(*target)) {
        if (existing->isFolder() || (existing->attributes & fileattr::ReadOnly) != 0) return false;
        if (deleteFails(*target)) return false;
    }
    std::unique_ptr<Node> node = std::move(sourceParent->children[FoldName(source->parts.back())]);
    sourceParent->children.erase(FoldName(source->parts.back()));
    node->name = target->parts.back();
    targetParent->children[FoldName(node->name)] = std::move(node);
    return true;
}

void MemoryFileSystem::AddDrive(const std::string& volume) {
    std::lock_guard lock(mutex_);
    volumes_.AddRoot(volume);
}

void MemoryFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
    std::lock_guard lock(mutex_);
    auto where = locate(path, false, false);
    if (!where) throw std::invalid_argument("MemoryFileSystem: bad folder path: " + path);
    Node* node = createChain(*where, true);
    if (!where->isRoot()) node->attributes = attributes | fileattr::Directory;
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& contents,
                               std::uint32_t attributes) {
    std::lock_guard lock(mutex_);
    auto where = locate(path, false, false);
    if (!where || where->isRoot()) throw std::invalid_argument("MemoryFileSystem: bad file path: " + path);
    where->trailingSeparator = false;
    Node* node = createChain(*where, false);
    node->children.clear();
    node->contents = contents;
    attributes &= ~fileattr::Directory;
    node->attributes = attributes == 0 ? fileattr::Normal : attributes;
}

void MemoryFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    std::lock_guard lock(mutex_);
    auto where = locate(path, false, false);
    Node* node = where ? find(*where) : nullptr;
    if (node == nullptr) return;
    std::uint32_t kind = node->attributes & fileattr::Directory;
    attributes = (attributes & ~fileattr::Directory) | kind;
    node->attributes = attributes == 0 ? fileattr::Normal : attributes;
}

bool MemoryFileSystem::ExistsRaw(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto where = locate(path, false, false);
    return where && find(*where) != nullptr;
}

std::optional<std::string> MemoryFileSystem::ContentsRaw(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto where = locate(path, false, false);
    Node* node = where ? find(*where) : nullptr;
    if (node == nullptr || node->isFolder()) return std::nullopt;
    return node->contents;
}

std::vector<std::string> MemoryFileSystem::ListRaw(const std::string& folder) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    auto where = locate(folder, false, false);
    Node* node = where ? find(*where) : nullptr;
    if (node == nullptr || !node->isFolder()) return names;
    for (const auto& [folded, child] : node->children) names.push_back(child->name);
    return names;
}

void MemoryFileSystem::FailDelete(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (auto where = locate(path, false, false)) failDelete_.insert(where->folded());
}

void MemoryFileSystem::FailWrite(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (auto where = locate(path, false, false)) failWrite_.insert(where->folded());
}

void MemoryFileSystem::ClearFailures() {
    std::lock_guard lock(mutex_);
    failDelete_.clear();
    failWrite_.clear();
    volumes_.ClearTroubles();
    denied_.clear();
}

void MemoryFileSystem::SetDriveNotReady(const std::string& volume) {
    std::lock_guard lock(mutex_);
    volumes_.SetNotReady(volume);
}

void MemoryFileSystem::SetVolumeDelay(const std::string& volume, std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    volumes_.SetDelay(volume, delay);
}

void MemoryFileSystem::SetVolumeUnreachable(const std::string& volume,
                                            std::chrono::milliseconds answerAfter) {
    std::lock_guard lock(mutex_);
    volumes_.SetUnreachable(volume, answerAfter);
}

void MemoryFileSystem::DenyAccess(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (auto where = locate(path, false, false)) denied_.insert(where->folded());
}

MemoryClock& MemoryFileSystem::UseManualClock() {
    std::lock_guard lock(mutex_);
    return volumes_.UseManualClock();
}

int MemoryFileSystem::WaitingTests() const {
    std::lock_guard lock(mutex_);
    return volumes_.Waiting();
}

void MemoryFileSystem::EmulateWow64Process(const std::string& systemFolder, const std::string& wow64Folder) {
    std::lock_guard lock(mutex_);
    wowSystem_.clear();
    auto system = locate(systemFolder, false, false);
    auto wow = locate(wow64Folder, false, false);
    if (!system || !wow) throw std::invalid_argument("MemoryFileSystem: bad folder for WOW64");
    wowSystem_ = system->folded();
    wowFolder_ = wow->display();
    if (wow->isRoot()) wowFolder_.pop_back();
}

std::uint64_t MemoryFileSystem::TestsOn(const std::string& volume) const {
    std::lock_guard lock(mutex_);
    return volumes_.TestsOn(volume);
}

std::uint64_t MemoryFileSystem::ExistenceTestCount() const {
    std::lock_guard lock(mutex_);
    return existenceTests_;
}

std::uint64_t MemoryFileSystem::CallCount() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void MemoryFileSystem::ResetCounters() {
    std::lock_guard lock(mutex_);
    existenceTests_ = 0;
    calls_ = 0;
    volumes_.ResetCounts();
}

}  // namespace korvane
