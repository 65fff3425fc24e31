// The guard against deleting keys that hold whole groups of entries (see ContainerKeys.h).
#include "undo/ContainerKeys.h"

#include <algorithm>

#include "registry/KeyName.h"

namespace korvane {

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

void ContainerKeys::AddFolded(HKey root, std::string folded) {
    const bool known = std::any_of(bases_.begin(), bases_.end(), [&](const Folded& base) {
        return base.root == root && base.path == folded;
    });
    if (!known) bases_.push_back(Folded{root, std::move(folded)});
}

bool ContainerKeys::Holds(HKey root, const std::string& keyPath) const {
    const std::string path = FoldCase(BackendPath(keyPath));
    if (path.find('\\') == std::string::npos) return true;  // a root or a key directly below one
    return std::any_of(bases_.begin(), bases_.end(), [&](const Folded& base) {
        if (base.root != root) return false;
        // The base key itself or any key above it.
        return base.path == path || (base.path.starts_with(path) && base.path[path.size()] == '\\');
    });
}

}  // namespace korvane
