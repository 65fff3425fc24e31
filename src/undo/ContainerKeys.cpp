// The guard against deleting keys that hold whole groups of entries (see ContainerKeys.h).
#include "undo/ContainerKeys.h"

#include "platform/AsciiCase.h"
#include "registry/KeyName.h"

namespace korvane {

namespace {

std::string Id(HKey root, std::string_view foldedPath) {
    std::string id(9 + foldedPath.size(), '|');
    for (int digit = 0; digit < 8; ++digit)
        id[static_cast<size_t>(digit)] = "0123456789abcdef"[(root >> (28 - 4 * digit)) & 0xF];
    id.replace(9, foldedPath.size(), foldedPath);
    return id;
}

}  // namespace

void ContainerKeys::Add(BaseKey base) {
    const std::string path = FoldCase(BackendPath(base.path));
    AddFolded(base.root, path);
    if (base.root == roots::ClassesRoot) {
        AddFolded(roots::LocalMachine, "software\\classes\\" + path);
        AddFolded(roots::CurrentUser, "software\\classes\\" + path);
    }
}

void ContainerKeys::Add(std::span<const BaseKey> bases) {
    for (const BaseKey& base : bases) Add(base);
}

// The base and every key above it go into one set, so that asking costs one lookup: repair asks for
// every row it takes.
void ContainerKeys::AddFolded(HKey root, std::string folded) {
    while (true) {
        held_.insert(Id(root, folded));
        const size_t slash = folded.rfind('\\');
        if (slash == std::string::npos) return;
        folded.resize(slash);
    }
}

bool ContainerKeys::Holds(HKey root, const std::string& keyPath) const {
    std::string_view path(keyPath);
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.find('\\') == std::string_view::npos) return true;  // a root or a key directly below one
    std::string id = Id(root, path);
    for (size_t i = 9; i < id.size(); ++i) id[i] = AsciiLower(id[i]);
    return held_.count(id) != 0;
}

}  // namespace korvane
