// Redirecting a profile's roots and hives (see ProfileRegistry.h).
#include "console/ProfileRegistry.h"

#include "registry/KeyName.h"

namespace korvane::console {

namespace {

// Whether `path` is `prefix` or lies below it (names compared without case, on whole parts).
bool Covers(const std::string& prefix, const std::string& path) {
    if (prefix.empty()) return true;
    if (path.size() < prefix.size()) return false;
    if (FoldCase(path.substr(0, prefix.size())) != FoldCase(prefix)) return false;
    return path.size() == prefix.size() || path[prefix.size()] == '\\';
}

std::string Join(const std::string& base, const std::string& rest) {
    if (base.empty()) return rest;
    if (rest.empty()) return base;
    return base + "\\" + rest;
}

std::string Below(const RegistryRedirect& redirect, const std::string& path) {
    std::string rest = path.substr(redirect.fromPath.size());
    if (!rest.empty() && rest.front() == '\\') rest.erase(0, 1);
    return rest;
}

}  // namespace

const RegistryRedirect* ProfileRegistry::Covering(HKey root, const std::string& path) const {
    for (const RegistryRedirect& redirect : redirects_)
        if (redirect.fromRoot == root && Covers(redirect.fromPath, path)) return &redirect;
    return nullptr;
}

std::pair<HKey, std::string> ProfileRegistry::Resolve(HKey root, const std::string& path) const {
    const RegistryRedirect* redirect = Covering(root, path);
    if (redirect == nullptr) return {root, path};
    return {redirect->toRoot, Join(redirect->toPath, Below(*redirect, path))};
}

bool ProfileRegistry::Redirected(HKey key) const {
    for (const RegistryRedirect& redirect : redirects_)
        if (redirect.fromRoot == key && redirect.fromPath.empty()) return true;
    return false;
}

template <typename Call>
long ProfileRegistry::OnRoot(HKey key, std::uint32_t rights, Call call) {
    if (!Redirected(key)) return call(key);
    const auto [root, path] = Resolve(key, "");
    HKey opened = 0;
    const long result = inner_.openKey(root, path, rights, opened);
    if (result != status::Success) return result;
    const long answer = call(opened);
    inner_.closeKey(opened);
    return answer;
}

long ProfileRegistry::openKey(HKey parent, const std::string& path, std::uint32_t rights, HKey& out) {
    const auto [root, resolved] = Resolve(parent, path);
    const long result = inner_.openKey(root, resolved, rights, out);
    const RegistryRedirect* redirect = Covering(parent, path);
    if (result != status::FileNotFound || redirect == nullptr || redirect->fallbackRoot == 0) return result;
    return inner_.openKey(redirect->fallbackRoot, Join(redirect->fallbackPath, Below(*redirect, path)),
                          rights, out);
}

long ProfileRegistry::createKey(HKey parent, const std::string& path, std::uint32_t rights, HKey& out) {
    const auto [root, resolved] = Resolve(parent, path);
    return inner_.createKey(root, resolved, rights, out);
}

long ProfileRegistry::closeKey(HKey key) {
    return Redirected(key) ? status::Success : inner_.closeKey(key);
}

long ProfileRegistry::queryInfo(HKey key, KeyInfo& out) {
    return OnRoot(key, access::Read, [&](HKey real) { return inner_.queryInfo(real, out); });
}

long ProfileRegistry::enumSubkeys(HKey key, std::vector<std::string>& out) {
    return OnRoot(key, access::Read, [&](HKey real) { return inner_.enumSubkeys(real, out); });
}

long ProfileRegistry::enumValues(HKey key, std::vector<NamedRegValue>& out, bool withData) {
    return OnRoot(key, access::Read, [&](HKey real) { return inner_.enumValues(real, out, withData); });
}

long ProfileRegistry::queryValue(HKey key, const std::string& name, RegValue& out) {
    return OnRoot(key, access::QueryValue, [&](HKey real) { return inner_.queryValue(real, name, out); });
}

long ProfileRegistry::setValue(HKey key, const std::string& name, const RegValue& value) {
    return OnRoot(key, access::SetValue, [&](HKey real) { return inner_.setValue(real, name, value); });
}

long ProfileRegistry::deleteKey(HKey parent, const std::string& subkey) {
    const auto [root, resolved] = Resolve(parent, subkey);
    return inner_.deleteKey(root, resolved);
}

long ProfileRegistry::deleteValue(HKey key, const std::string& name) {
    return OnRoot(key, access::SetValue, [&](HKey real) { return inner_.deleteValue(real, name); });
}

}  // namespace korvane::console
