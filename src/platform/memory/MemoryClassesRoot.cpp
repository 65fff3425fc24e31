// HKEY_CLASSES_ROOT of the in-memory registry, merged as Windows merges it: a key below it is the one
// of HKEY_CURRENT_USER\Software\Classes when that exists, else the one of the same key of
// HKEY_LOCAL_MACHINE; a key lists the sub-keys of both; a key created through the view goes to the
// machine's.
// Handles opened through the view remember their path below it, so that opening, listing and deleting
// further down stay in the view, while values are read and written in the key it resolved to.
#include <map>

#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemoryRegistryNode.h"

namespace korvane {

using memory::FoldName;

namespace {

const std::vector<std::string> kClassesKey = {"Software", "Classes"};

}  // namespace

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::hiveClassesNode(
    HKey hive, const std::vector<std::string>& parts) const {
    std::shared_ptr<Node> node = rootNode(hive);
    for (const auto* list : {&kClassesKey, &parts}) {
        for (const std::string& part : *list) {
            if (!node) return nullptr;
            auto it = node->children.find(FoldName(part));
            node = it == node->children.end() ? nullptr : it->second;
        }
    }
    return node;
}

MemoryRegistry::ClassesKey MemoryRegistry::classesKey(const std::vector<std::string>& parts) const {
    if (std::shared_ptr<Node> user = hiveClassesNode(roots::CurrentUser, parts))
        return {roots::CurrentUser, user};
    return {roots::LocalMachine, hiveClassesNode(roots::LocalMachine, parts)};
}

long MemoryRegistry::openClasses(const Resolved& from, const std::vector<std::string>& parts,
                                 std::uint32_t accessMask, bool create, HKey& out) {
    std::vector<std::string> full = *from.classesPath;
    full.insert(full.end(), parts.begin(), parts.end());
    const ClassesKey shown = classesKey(full);
    if (shown.node) {
        // An empty path opens the handle's own key again; otherwise the key the view shows now.
        Resolved at{status::Success, shown.node, shown.root, from.rights, std::nullopt};
        const long result = openOrCreateIn(at, {}, accessMask, false, out);
        if (result == status::Success) handles_[out].classesPath = std::move(full);
        return result;
    }
    if (!create) return status::FileNotFound;
    if (!parts.empty() && (from.rights & access::CreateSubKey) == 0) return status::AccessDenied;
    std::vector<std::string> machinePath = kClassesKey;
    machinePath.insert(machinePath.end(), full.begin(), full.end());
    Resolved machine{status::Success, rootNode(roots::LocalMachine), roots::LocalMachine, access::AllAccess,
                     std::nullopt};
    const long result = openOrCreateIn(machine, machinePath, accessMask, true, out);
    if (result == status::Success) handles_[out].classesPath = std::move(full);
    return result;
}

std::vector<std::string> MemoryRegistry::classesSubkeys(const std::vector<std::string>& parts) const {
    std::map<std::string, std::string> names;  // by upper-cased name; the user's spelling wins
    for (HKey hive : {roots::CurrentUser, roots::LocalMachine}) {
        if (std::shared_ptr<Node> node = hiveClassesNode(hive, parts))
            for (const auto& [folded, child] : node->children) names.emplace(folded, child->name);
    }
    std::vector<std::string> out;
    out.reserve(names.size());
    for (auto& [folded, name] : names) out.push_back(std::move(name));
    return out;
}

std::set<MemoryRegistry::Rule> MemoryRegistry::classesRules(const std::string& path) const {
    std::string folded = FoldName(path);
    while (!folded.empty() && folded.back() == '\\') folded.pop_back();
    while (!folded.empty() && folded.front() == '\\') folded.erase(0, 1);
    const std::string below = "SOFTWARE\\CLASSES" + (folded.empty() ? "" : "\\" + folded);
    return {{roots::CurrentUser, below}, {roots::LocalMachine, below}};
}

}  // namespace korvane
