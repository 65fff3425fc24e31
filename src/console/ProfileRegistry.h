// The registry as one user profile sees it, for a run that serves many profiles: calls made on a
// root (or a key path that begins with a given prefix) are sent to another place of the registry;
// everything else, and every call on an open key, passes through unchanged. Two uses:
//   - a user's scan: HKEY_CURRENT_USER is HKEY_USERS\<hive> and HKEY_CURRENT_USER\Software\Classes is
//     HKEY_USERS\<hive>_Classes, so the scan groups read that user's keys as if the user ran them;
//   - a signed-out user's hive, mounted under a private name for the run: HKEY_USERS\<SID> is sent to
//     that name, so that Key Names, fixes and restores name the profile and still reach its hive.
#pragma once

#include <string>
#include <vector>

#include "platform/RegistryBackend.h"

namespace korvane::console {

struct RegistryRedirect {
    HKey fromRoot = 0;
    std::string fromPath;  // a key path below fromRoot (empty: the root itself)
    HKey toRoot = 0;
    std::string toPath;  // where it lives instead (empty: toRoot itself)
    // Where a key that is not found there is looked for next, as HKEY_CLASSES_ROOT shows the user's
    // classes over the machine's (0: nowhere). Only opening looks there; writes go to the first place.
    HKey fallbackRoot = 0;
    std::string fallbackPath{};
};

class ProfileRegistry final : public RegistryBackend {
public:
    // The first redirect that covers a path wins: give the longer prefixes first.
    ProfileRegistry(RegistryBackend& inner, std::vector<RegistryRedirect> redirects)
        : inner_(inner), redirects_(std::move(redirects)) {}

    long openKey(HKey parent, const std::string& path, std::uint32_t rights, HKey& out) override;
    long createKey(HKey parent, const std::string& path, std::uint32_t rights, HKey& out) override;
    long closeKey(HKey key) override;
    long queryInfo(HKey key, KeyInfo& out) override;
    long enumSubkeys(HKey key, std::vector<std::string>& out) override;
    long enumValues(HKey key, std::vector<NamedRegValue>& out, bool withData) override;
    long queryValue(HKey key, const std::string& name, RegValue& out) override;
    long setValue(HKey key, const std::string& name, const RegValue& value) override;
    long deleteKey(HKey parent, const std::string& subkey) override;
    long deleteValue(HKey key, const std::string& name) override;
    long loadHive(HKey root, const std::string& subkey, const std::string& file) override {
        return inner_.loadHive(root, subkey, file);
    }
    long unloadHive(HKey root, const std::string& subkey) override { return inner_.unloadHive(root, subkey); }

    // Where `path` below `root` really is (unchanged when no redirect covers it).
    std::pair<HKey, std::string> Resolve(HKey root, const std::string& path) const;
    void SetRedirects(std::vector<RegistryRedirect> redirects) { redirects_ = std::move(redirects); }

private:
    // Runs `call` on the key a redirected root stands for, opened for `rights` just for the call.
    template <typename Call>
    long OnRoot(HKey key, std::uint32_t rights, Call call);
    bool Redirected(HKey key) const;
    const RegistryRedirect* Covering(HKey root, const std::string& path) const;

    RegistryBackend& inner_;
    std::vector<RegistryRedirect> redirects_;
};

}  // namespace korvane::console
