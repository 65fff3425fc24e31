// The reused open key (see ReusedKey.h).
#include "registry/ReusedKey.h"

#include "registry/KeyName.h"

namespace korvane {

HKey ReusedKey::Open(HKey root, const std::string& keyPath) {
    if (!known_ || root != root_ || keyPath != path_) {
        key_.Open(root, BackendPath(keyPath), rights_);
        root_ = root;
        path_ = keyPath;
        known_ = true;
    }
    return key_.Handle();
}

void ReusedKey::Close() {
    key_.Close();
    known_ = false;
}

}  // namespace korvane
