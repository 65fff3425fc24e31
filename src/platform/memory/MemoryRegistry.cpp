// The in-memory registry: the key tree, handles and the access rules of MemoryRegistry.h (the merged
// view of HKEY_CLASSES_ROOT is in MemoryClassesRoot.cpp).
#include "platform/memory/MemoryRegistry.h"

#include <algorithm>
#include <stdexcept>

#include "platform/Utf16.h"
#include "platform/memory/CaseFolding.h"
#include "platform/memory/MemoryRegistryNode.h"

namespace korvane {

using memory::FoldName;

namespace {

constexpr HKey kAllRoots[] = {roots::ClassesRoot,     roots::CurrentUser,   roots::LocalMachine, roots::Users,
                              roots::PerformanceData, roots::CurrentConfig, roots::DynData};

constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
constexpr std::uint32_t kWow64Bits = 0x0300;

bool IsRoot(HKey key) {
    return std::find(std::begin(kAllRoots), std::end(kAllRoots), key) != std::end(kAllRoots);
}

// Generic rights map onto the key rights as Windows maps them for registry keys.
std::uint32_t MapRights(std::uint32_t mask, bool writeDenied) {
    std::uint32_t rights =
        mask & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll | kMaximumAllowed | kWow64Bits);
    if (mask & (kGenericRead | kGenericExecute)) rights |= access::Read;
    if (mask & kGenericWrite) rights |= access::Write;
    if (mask & kGenericAll) rights |= access::AllAccess;
    if (mask & kMaximumAllowed) rights |= writeDenied ? access::Read : access::AllAccess;
    return rights;
}

// Windows' answer to a key path that starts with a backslash (ERROR_BAD_PATHNAME).
constexpr long kBadPathname = 161;
// A hive file that is mounted already (ERROR_SHARING_VIOLATION).
constexpr long kSharingViolation = 32;

// Splits a key path. An empty path is the parent itself; a trailing backslash and doubled backslashes
// inside are tolerated as Windows does; a leading backslash is refused with kBadPathname.
std::optional<std::vector<std::string>> ParseKeyPath(const std::string& path) {
    if (!path.empty() && path.front() == '\\') return std::nullopt;
    std::vector<std::string> parts;
    for (std::string& part : memory::SplitPath(path, '\\')) {
        if (!part.empty()) parts.push_back(std::move(part));
    }
    return parts;
}

std::string FoldedRulePath(const std::string& path) {
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
    return FoldName(trimmed);
}

}  // namespace

// Handles of a deleted key (and of keys deleted with it) stay valid but answer KeyDeleted.
void MemoryRegistry::markDeleted(Node& node) {
    node.deleted = true;
    node.parent = nullptr;
    for (auto& [folded, child] : node.children) markDeleted(*child);
    node.children.clear();
}

MemoryRegistry::MemoryRegistry() {
    for (HKey root : kAllRoots)
        if (root != roots::ClassesRoot) roots_[root] = std::make_shared<Node>();
}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::rootNode(HKey root) const {
    auto it = roots_.find(root);
    return it == roots_.end() ? nullptr : it->second;
}

MemoryRegistry::Resolved MemoryRegistry::resolveHandle(HKey key) const {
    Resolved r;
    if (key == roots::ClassesRoot) {
        const ClassesKey shown = classesKey({});
        r.node = shown.node;
        r.root = shown.root;
        r.rights = access::AllAccess;
        r.classesPath = std::vector<std::string>();
        return r;
    }
    if (IsRoot(key)) {
        r.node = rootNode(key);
        r.root = key;
        r.rights = access::AllAccess;
        return r;
    }
    auto it = handles_.find(key);
    if (it == handles_.end()) {
        r.status = status::InvalidHandle;
        return r;
    }
    if (it->second.node->deleted) {
        r.status = status::KeyDeleted;
        return r;
    }
    r.node = it->second.node;
    r.root = it->second.root;
    r.rights = it->second.rights;
    r.classesPath = it->second.classesPath;
    return r;
}

std::string MemoryRegistry::foldedPathOf(const Node& node) const {
    std::vector<const Node*> chain;
    for (const Node* n = &node; n != nullptr && n->parent != nullptr; n = n->parent) chain.push_back(n);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path += '\\';
        path += FoldName((*it)->name);
    }
    return path;
}

bool MemoryRegistry::openDenied(HKey root, const Node& node) const {
    return !denyOpen_.empty() && denyOpen_.count({root, foldedPathOf(node)}) != 0;
}

bool MemoryRegistry::writeDenied(HKey root, const Node& node) const {
    if (standardUser_ && (root == roots::LocalMachine || root == roots::ClassesRoot)) return true;
    if (denyWrite_.empty()) return false;
    std::string path = foldedPathOf(node);
    // The rule covers its key and everything below it: test the path and each of its ancestors.
    while (true) {
        if (denyWrite_.count({root, path}) != 0) return true;
        if (path.empty()) return false;
        std::size_t cut = path.rfind('\\');
        path = cut == std::string::npos ? std::string() : path.substr(0, cut);
    }
}

HKey MemoryRegistry::newHandle(const std::shared_ptr<Node>& node, HKey root, std::uint32_t rights,
                               std::optional<std::vector<std::string>> classesPath) {
    HKey key = nextHandle_;
    nextHandle_ += 4;
    handles_[key] = Handle{node, root, rights, std::move(classesPath)};
    return key;
}

long MemoryRegistry::openOrCreate(HKey parent, const std::string& path, std::uint32_t accessMask, bool create,
                                  HKey& out) {
    std::lock_guard lock(mutex_);
    count();
    Resolved from = resolveHandle(parent);
    if (from.status != status::Success) return from.status;
    auto parts = ParseKeyPath(path);
    if (!parts) return kBadPathname;
    if (from.classesPath) return openClasses(from, *parts, accessMask, create, out);
    return openOrCreateIn(from, *parts, accessMask, create, out);
}

long MemoryRegistry::openOrCreateIn(const Resolved& from, const std::vector<std::string>& parts,
                                    std::uint32_t accessMask, bool create, HKey& out) {
    // Walk down as far as the keys exist.
    std::shared_ptr<Node> node = from.node;
    std::size_t depth = 0;
    for (; depth < parts.size(); ++depth) {
        auto it = node->children.find(FoldName(parts[depth]));
        if (it == node->children.end()) break;
        node = it->second;
    }

    if (depth < parts.size()) {
        if (!create) return status::FileNotFound;
        // Creating below `node` needs the right to create sub-keys there: through the handle when it is
        // the handle's own key, through the key's own rules otherwise.
        if (node == from.node && (from.rights & access::CreateSubKey) == 0) return status::AccessDenied;
        if (node != from.node && openDenied(from.root, *node)) return status::AccessDenied;
        if (writeDenied(from.root, *node)) return status::AccessDenied;
        // The rules hold for keys not made yet: a key that would be refused, or one below a key that
        // would be read-only, is never made (nor its parents), as Windows refuses to create below a
        // key it cannot write.
        std::string prefix = foldedPathOf(*node);
        for (std::size_t i = depth; i < parts.size(); ++i) {
            prefix += (prefix.empty() ? "" : "\\") + FoldName(parts[i]);
            if (denyOpen_.count({from.root, prefix}) != 0 || denyWrite_.count({from.root, prefix}) != 0)
                return status::AccessDenied;
        }
        for (; depth < parts.size(); ++depth) {
            auto child = std::make_shared<Node>();
            child->name = parts[depth];
            child->parent = node.get();
            node->children[FoldName(child->name)] = child;
            node = child;
        }
    }

    if (openDenied(from.root, *node)) return status::AccessDenied;
    bool readOnly = writeDenied(from.root, *node);
    std::uint32_t rights = MapRights(accessMask, readOnly);
    if (access::wantsWrite(rights) && readOnly) return status::AccessDenied;
    out = newHandle(node, from.root, rights);
    return status::Success;
}

long MemoryRegistry::openKey(HKey parent, const std::string& path, std::uint32_t accessMask, HKey& out) {
    return openOrCreate(parent, path, accessMask, false, out);
}

long MemoryRegistry::createKey(HKey parent, const std::string& path, std::uint32_t accessMask, HKey& out) {
    return openOrCreate(parent, path, accessMask, true, out);
}

long MemoryRegistry::closeKey(HKey key) {
    std::lock_guard lock(mutex_);
    count();
    if (IsRoot(key)) return status::Success;
    return handles_.erase(key) != 0 ? status::Success : status::InvalidHandle;
}

long MemoryRegistry::queryInfo(HKey key, KeyInfo& out) {
    std::lock_guard lock(mutex_);
    count();
    Resolved r = resolveHandle(key);
    if (r.status != status::Success) return r.status;
    if ((r.rights & access::QueryValue) == 0) return status::AccessDenied;
    out.subkeyCount = static_cast<std::uint32_t>(r.classesPath ? classesSubkeys(*r.classesPath).size()
                                                 : r.node      ? r.node->children.size()
                                                               : 0);
    out.valueCount = static_cast<std::uint32_t>(r.node ? r.node->values.size() : 0);
    return status::Success;
}

long MemoryRegistry::enumSubkeys(HKey key, std::vector<std::string>& out) {
    std::lock_guard lock(mutex_);
    count();
    Resolved r = resolveHandle(key);
    if (r.status != status::Success) return r.status;
    if ((r.rights & access::EnumerateSubKeys) == 0) return status::AccessDenied;
    if (r.classesPath) {
        out = classesSubkeys(*r.classesPath);
        return status::Success;
    }
    out.clear();
    for (const auto& [folded, child] : r.node->children) out.push_back(child->name);
    return status::Success;
}

long MemoryRegistry::enumValues(HKey key, std::vector<NamedRegValue>& out, bool withData) {
    std::lock_guard lock(mutex_);
    count();
    Resolved r = resolveHandle(key);
    if (r.status != status::Success) return r.status;
    if ((r.rights & access::QueryValue) == 0) return status::AccessDenied;
    out.clear();
    if (!r.node) return status::Success;
    for (const NamedRegValue& v : r.node->values) {
        NamedRegValue copy;
        copy.name = v.name;
        copy.value.type = v.value.type;
        if (withData) copy.value.data = v.value.data;
        out.push_back(std::move(copy));
    }
    return status::Success;
}

long MemoryRegistry::queryValue(HKey key, const std::string& name, RegValue& out) {
    std::lock_guard lock(mutex_);
    count();
    Resolved r = resolveHandle(key);
    if (r.status != status::Success) return r.status;
    if ((r.rights & access::QueryValue) == 0) return status::AccessDenied;
    const NamedRegValue* v = r.node ? r.node->findValue(name) : nullptr;
    if (v == nullptr) return status::FileNotFound;
    out = v->value;
    return status::Success;
}

long MemoryRegistry::setValue(HKey key, const std::string& name, const RegValue& value) {
    std::lock_guard lock(mutex_);
    count();
    Resolved r = resolveHandle(key);
    if (r.status != status::Success) return r.status;
    if (!r.node) {  // HKEY_CLASSES_ROOT itself while no hive has Classes: written to the machine's
        r.node = createRaw(roots::LocalMachine, "Software\\Classes");
        r.root = roots::LocalMachine;
    }
    if ((r.rights & access::SetValue) == 0 || writeDenied(r.root, *r.node)) return status::AccessDenied;
    r.node->putValue(name, value);
    return status::Success;
}

long MemoryRegistry::deleteKey(HKey parent, const std::string& subkey) {
    std::lock_guard lock(mutex_);
    count();
    Resolved from = resolveHandle(parent);
    if (from.status != status::Success) return from.status;
    auto parts = ParseKeyPath(subkey);
    if (!parts) return kBadPathname;
    if (from.classesPath) {
        // The key the view shows goes: the user's when there is one.
        std::vector<std::string> full = *from.classesPath;
        full.insert(full.end(), parts->begin(), parts->end());
        const ClassesKey shown = classesKey(full);
        if (!shown.node) return status::FileNotFound;
        return deleteNode(shown.root, shown.node);
    }
    std::shared_ptr<Node> node = from.node;
    for (const std::string& part : *parts) {
        auto it = node->children.find(FoldName(part));
        if (it == node->children.end()) return status::FileNotFound;
        node = it->second;
    }
    return deleteNode(from.root, node);
}

// The rights of the parent handle do not matter; the key's own rules do.
long MemoryRegistry::deleteNode(HKey root, const std::shared_ptr<Node>& node) {
    if (node->parent == nullptr) return status::AccessDenied;               // a root cannot be deleted
    if (mountedHives_.count(node.get()) != 0) return status::AccessDenied;  // nor a hive's own key
    if (openDenied(root, *node) || writeDenied(root, *node)) return status::AccessDenied;
    if (!node->children.empty()) return status::AccessDenied;  // as RegDeleteKey on NT
    node->parent->children.erase(FoldName(node->name));
    markDeleted(*node);
    return status::Success;
}

long MemoryRegistry::deleteValue(HKey key, const std::string& name) {
    std::lock_guard lock(mutex_);
    count();
    Resolved r = resolveHandle(key);
    if (r.status != status::Success) return r.status;
    if (!r.node) return status::FileNotFound;
    if ((r.rights & access::SetValue) == 0 || writeDenied(r.root, *r.node)) return status::AccessDenied;
    if (!r.node->eraseValue(name)) return status::FileNotFound;
    return status::Success;
}

void MemoryRegistry::DenyOpen(HKey root, const std::string& path) {
    std::lock_guard lock(mutex_);
    if (root == roots::ClassesRoot)
        denyOpen_.merge(classesRules(path));
    else
        denyOpen_.insert({root, FoldedRulePath(path)});
}

void MemoryRegistry::DenyWrite(HKey root, const std::string& path) {
    std::lock_guard lock(mutex_);
    if (root == roots::ClassesRoot)
        denyWrite_.merge(classesRules(path));
    else
        denyWrite_.insert({root, FoldedRulePath(path)});
}

void MemoryRegistry::SetStandardUser(bool standardUser) {
    std::lock_guard lock(mutex_);
    standardUser_ = standardUser;
}

void MemoryRegistry::ClearDenials() {
    std::lock_guard lock(mutex_);
    denyOpen_.clear();
    denyWrite_.clear();
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::findRaw(HKey root, const std::string& path) const {
    auto parts = ParseKeyPath(path);
    if (root == roots::ClassesRoot) return parts ? classesKey(*parts).node : nullptr;
    std::shared_ptr<Node> node = rootNode(root);
    if (!node || !parts) return nullptr;
    for (const std::string& part : *parts) {
        auto it = node->children.find(FoldName(part));
        if (it == node->children.end()) return nullptr;
        node = it->second;
    }
    return node;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::createRaw(HKey root, const std::string& path) {
    if (root == roots::ClassesRoot) {
        // As a program writing through the view: into the key it shows, else the machine's.
        if (std::shared_ptr<Node> shown = findRaw(root, path)) return shown;
        return createRaw(roots::LocalMachine, "Software\\Classes\\" + path);
    }
    std::shared_ptr<Node> node = rootNode(root);
    auto parts = ParseKeyPath(path);
    // A mistyped path in a test's set-up should fail loudly rather than set up nothing.
    if (!node || !parts) throw std::invalid_argument("MemoryRegistry: bad root or key path: " + path);
    for (const std::string& part : *parts) {
        auto& slot = node->children[FoldName(part)];
        if (!slot) {
            slot = std::make_shared<Node>();
            slot->name = part;
            slot->parent = node.get();
        }
        node = slot;
    }
    return node;
}

void MemoryRegistry::CreateKey(HKey root, const std::string& path) {
    std::lock_guard lock(mutex_);
    createRaw(root, path);
}

void MemoryRegistry::SetValue(HKey root, const std::string& path, const std::string& name,
                              const RegValue& value) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node = createRaw(root, path);
    node->putValue(name, value);
}

void MemoryRegistry::SetString(HKey root, const std::string& path, const std::string& name,
                               const std::string& text, std::uint32_t type) {
    SetValue(root, path, name, RegValue{type, RegistryTextBytes(text)});
}

void MemoryRegistry::SetDword(HKey root, const std::string& path, const std::string& name,
                              std::uint32_t value) {
    RegValue v{regtype::Dword, {}};
    for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    SetValue(root, path, name, v);
}

bool MemoryRegistry::KeyExistsRaw(HKey root, const std::string& path) const {
    std::lock_guard lock(mutex_);
    return findRaw(root, path) != nullptr;
}

bool MemoryRegistry::ValueExistsRaw(HKey root, const std::string& path, const std::string& name) const {
    return GetValue(root, path, name).has_value();
}

std::optional<RegValue> MemoryRegistry::GetValue(HKey root, const std::string& path,
                                                 const std::string& name) const {
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node = findRaw(root, path);
    if (!node) return std::nullopt;
    const NamedRegValue* v = node->findValue(name);
    if (v == nullptr) return std::nullopt;
    return v->value;
}

std::optional<std::string> MemoryRegistry::GetString(HKey root, const std::string& path,
                                                     const std::string& name) const {
    auto value = GetValue(root, path, name);
    if (!value || (value->type != regtype::Sz && value->type != regtype::ExpandSz)) return std::nullopt;
    return TextOfRegistryBytes(value->data);
}

std::vector<std::string> MemoryRegistry::SubkeyNamesRaw(HKey root, const std::string& path) const {
    std::lock_guard lock(mutex_);
    if (root == roots::ClassesRoot) {
        auto parts = ParseKeyPath(path);
        return parts ? classesSubkeys(*parts) : std::vector<std::string>();
    }
    std::vector<std::string> names;
    if (auto node = findRaw(root, path)) {
        for (const auto& [folded, child] : node->children) names.push_back(child->name);
    }
    return names;
}

std::vector<std::string> MemoryRegistry::ValueNamesRaw(HKey root, const std::string& path) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    if (auto node = findRaw(root, path)) {
        for (const NamedRegValue& v : node->values) names.push_back(v.name);
    }
    return names;
}

bool MemoryRegistry::DeleteTreeRaw(HKey root, const std::string& path) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node = findRaw(root, path);
    if (!node || node->parent == nullptr) return false;
    node->parent->children.erase(FoldName(node->name));
    markDeleted(*node);
    return true;
}

std::uint64_t MemoryRegistry::CallCount() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void MemoryRegistry::ResetCounters() {
    std::lock_guard lock(mutex_);
    calls_ = 0;
}

std::size_t MemoryRegistry::OpenHandleCount() const {
    std::lock_guard lock(mutex_);
    return handles_.size();
}

}  // namespace korvane

namespace korvane {

long MemoryRegistry::loadHive(HKey root, const std::string& subkey, const std::string& file) {
    std::lock_guard lock(mutex_);
    count();
    if (root != roots::Users && root != roots::LocalMachine) return status::InvalidParameter;
    if (subkey.empty() || subkey.find('\\') != std::string::npos) return status::InvalidParameter;
    if (denyHiveLoading_) return status::PrivilegeNotHeld;
    std::shared_ptr<Node> parent = rootNode(root);
    if (parent->children.count(FoldName(subkey)) != 0) return status::AccessDenied;
    std::shared_ptr<Node>& hive = hiveFiles_[FoldName(file)];
    if (!hive) hive = std::make_shared<Node>();
    if (mountedHives_.count(hive.get()) != 0) return kSharingViolation;
    hive->name = subkey;
    hive->parent = parent.get();
    parent->children[FoldName(subkey)] = hive;
    mountedHives_.insert(hive.get());
    return status::Success;
}

long MemoryRegistry::unloadHive(HKey root, const std::string& subkey) {
    std::lock_guard lock(mutex_);
    count();
    std::shared_ptr<Node> parent = rootNode(root);
    if (!parent) return status::InvalidParameter;
    auto it = parent->children.find(FoldName(subkey));
    if (it == parent->children.end()) return status::FileNotFound;
    Node* hive = it->second.get();
    if (mountedHives_.count(hive) == 0) return status::InvalidParameter;
    for (const auto& [key, handle] : handles_)
        for (const Node* n = handle.node.get(); n != nullptr; n = n->parent)
            if (n == hive) return status::AccessDenied;
    hive->parent = nullptr;
    mountedHives_.erase(hive);
    parent->children.erase(it);
    return status::Success;
}

void MemoryRegistry::DenyHiveLoading(bool denied) {
    std::lock_guard lock(mutex_);
    denyHiveLoading_ = denied;
}

std::vector<std::string> MemoryRegistry::MountedHivesRaw() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const Node* hive : mountedHives_) names.push_back(hive->name);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace korvane
