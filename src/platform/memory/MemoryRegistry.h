// An in-memory registry with the Windows rules the program can observe: one tree per predefined root,
// case-insensitive and case-preserving names, sub-keys in case-insensitive order, values in creation
// order, raw types kept, access rights checked per handle, keys that cannot be opened or written, and
// handles of deleted keys that answer KeyDeleted. HKEY_CLASSES_ROOT has no tree of its own: it is the
// merged view Windows shows of HKEY_CURRENT_USER\Software\Classes over the same key of
// HKEY_LOCAL_MACHINE (a key of the user's wins; sub-keys of both are listed; new keys go to the
// machine's).
// Thread-safe: a scan worker and a test may share it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/RegistryBackend.h"

namespace korvane {

class MemoryRegistry : public RegistryBackend {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    long openKey(HKey parent, const std::string& path, std::uint32_t accessMask, HKey& out) override;
    long createKey(HKey parent, const std::string& path, std::uint32_t accessMask, HKey& out) override;
    long closeKey(HKey key) override;
    long queryInfo(HKey key, KeyInfo& out) override;
    long enumSubkeys(HKey key, std::vector<std::string>& out) override;
    long enumValues(HKey key, std::vector<NamedRegValue>& out, bool withData) override;
    long queryValue(HKey key, const std::string& name, RegValue& out) override;
    long setValue(HKey key, const std::string& name, const RegValue& value) override;
    long deleteKey(HKey parent, const std::string& subkey) override;
    long deleteValue(HKey key, const std::string& name) override;
    // A hive file is a tree kept by the file's path (case-insensitive), empty the first time a path is
    // loaded, as RegLoadKey makes a new hive for a missing file; unloading keeps the tree for the next
    // load. Only below HKEY_USERS and HKEY_LOCAL_MACHINE; refused while a key inside is open, and for a
    // file that is mounted already.
    long loadHive(HKey root, const std::string& subkey, const std::string& file) override;
    long unloadHive(HKey root, const std::string& subkey) override;

    // Hives: loading refused as for an account without the backup and restore privileges.
    void DenyHiveLoading(bool denied);
    // The names currently mounted with loadHive (below HKEY_USERS or HKEY_LOCAL_MACHINE).
    std::vector<std::string> MountedHivesRaw() const;

    // Test hooks. Paths are relative to `root`; the rules hold whether or not the key exists yet and
    // survive its deletion and re-creation.
    // The key itself cannot be opened at all (AccessDenied); keys below it can, as on Windows.
    void DenyOpen(HKey root, const std::string& path);
    // The key and everything below it open for reading only: an open asking for write rights, and
    // setValue/deleteValue/createKey/deleteKey there, fail with AccessDenied.
    void DenyWrite(HKey root, const std::string& path);
    void ClearDenials();
    // A standard user: everything below HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT (the machine's classes)
    // opens for reading only; writes there, and opens asking for write rights, fail with AccessDenied.
    void SetStandardUser(bool standardUser);

    // Test conveniences that bypass the rules and the counters; missing keys are created. A malformed
    // path or an unknown root throws std::invalid_argument. On HKEY_CLASSES_ROOT they see and change
    // the merged view, as a program would (DenyOpen/DenyWrite there cover both hives' keys).
    void CreateKey(HKey root, const std::string& path);
    void SetValue(HKey root, const std::string& path, const std::string& name, const RegValue& value);
    void SetString(HKey root, const std::string& path, const std::string& name, const std::string& text,
                   std::uint32_t type = regtype::Sz);
    void SetDword(HKey root, const std::string& path, const std::string& name, std::uint32_t value);
    bool KeyExistsRaw(HKey root, const std::string& path) const;
    bool ValueExistsRaw(HKey root, const std::string& path, const std::string& name) const;
    std::optional<RegValue> GetValue(HKey root, const std::string& path, const std::string& name) const;
    // SetString stores the text as the registry does (UTF-16LE with one terminating zero); GetString
    // gives the text of a REG_SZ/REG_EXPAND_SZ value up to its first zero, as UTF-8.
    std::optional<std::string> GetString(HKey root, const std::string& path, const std::string& name) const;
    std::vector<std::string> SubkeyNamesRaw(HKey root, const std::string& path) const;
    std::vector<std::string> ValueNamesRaw(HKey root, const std::string& path) const;
    // Removes a key with everything below it; false when it did not exist.
    bool DeleteTreeRaw(HKey root, const std::string& path);

    // Counters for benchmarks and leak checks.
    std::uint64_t CallCount() const;
    void ResetCounters();
    std::size_t OpenHandleCount() const;

private:
    struct Node;
    struct Handle {
        std::shared_ptr<Node> node;
        HKey root = 0;  // the hive the node is in (never HKEY_CLASSES_ROOT)
        std::uint32_t rights = 0;
        std::optional<std::vector<std::string>>
            classesPath;  // opened through HKEY_CLASSES_ROOT: the keys below it
    };
    using Rule = std::pair<HKey, std::string>;  // root and upper-cased path

    struct Resolved {
        long status = status::Success;
        std::shared_ptr<Node> node;  // null only for HKEY_CLASSES_ROOT itself while neither hive has Classes
        HKey root = 0;
        std::uint32_t rights = 0;
        std::optional<std::vector<std::string>> classesPath;
    };
    // A key of the merged view: the hive it is taken from and its node (null when neither has it).
    struct ClassesKey {
        HKey root = 0;
        std::shared_ptr<Node> node;
    };

    Resolved resolveHandle(HKey key) const;
    std::shared_ptr<Node> rootNode(HKey root) const;
    std::shared_ptr<Node> findRaw(HKey root, const std::string& path) const;
    std::shared_ptr<Node> createRaw(HKey root, const std::string& path);
    std::string foldedPathOf(const Node& node) const;
    bool openDenied(HKey root, const Node& node) const;
    bool writeDenied(HKey root, const Node& node) const;
    long openOrCreate(HKey parent, const std::string& path, std::uint32_t accessMask, bool create, HKey& out);
    long openOrCreateIn(const Resolved& from, const std::vector<std::string>& parts, std::uint32_t accessMask,
                        bool create, HKey& out);
    static void markDeleted(Node& node);
    HKey newHandle(const std::shared_ptr<Node>& node, HKey root, std::uint32_t rights,
                   std::optional<std::vector<std::string>> classesPath = std::nullopt);
    long deleteNode(HKey root, const std::shared_ptr<Node>& node);

    // The merged view of HKEY_CLASSES_ROOT (MemoryClassesRoot.cpp). `parts` are below the root.
    std::shared_ptr<Node> hiveClassesNode(HKey hive, const std::vector<std::string>& parts) const;
    ClassesKey classesKey(const std::vector<std::string>& parts) const;
    long openClasses(const Resolved& from, const std::vector<std::string>& parts, std::uint32_t accessMask,
                     bool create, HKey& out);
    std::vector<std::string> classesSubkeys(const std::vector<std::string>& parts) const;
    std::set<Rule> classesRules(const std::string& path) const;
    void count() const { ++calls_; }

    mutable std::mutex mutex_;
    std::map<HKey, std::shared_ptr<Node>> roots_;
    std::map<HKey, Handle> handles_;
    HKey nextHandle_ = 0x1000;
    std::set<Rule> denyOpen_;
    std::set<Rule> denyWrite_;
    bool standardUser_ = false;
    bool denyHiveLoading_ = false;
    std::map<std::string, std::shared_ptr<Node>> hiveFiles_;  // by upper-cased file path
    std::set<Node*> mountedHives_;
    mutable std::uint64_t calls_ = 0;
};

}  // namespace korvane
