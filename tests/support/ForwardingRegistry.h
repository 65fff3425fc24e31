// The one fake registry of the tests: it forwards every call to a real (in-memory) registry, and a
// test overrides just the calls it wants to watch or to make fail.
#pragma once

#include <string>
#include <vector>

#include "platform/RegistryBackend.h"

namespace korvane::testing {

class ForwardingRegistry : public RegistryBackend {
public:
    explicit ForwardingRegistry(RegistryBackend& inner) : inner_(inner) {}

    long openKey(HKey parent, const std::string& path, std::uint32_t rights, HKey& out) override {
        return inner_.openKey(parent, path, rights, out);
    }
    long createKey(HKey parent, const std::string& path, std::uint32_t rights, HKey& out) override {
        return inner_.createKey(parent, path, rights, out);
    }
    long closeKey(HKey key) override { return inner_.closeKey(key); }
    long queryInfo(HKey key, KeyInfo& out) override { return inner_.queryInfo(key, out); }
    long enumSubkeys(HKey key, std::vector<std::string>& out) override {
        return inner_.enumSubkeys(key, out);
    }
    long enumValues(HKey key, std::vector<NamedRegValue>& out, bool withData) override {
        return inner_.enumValues(key, out, withData);
    }
    long queryValue(HKey key, const std::string& name, RegValue& out) override {
        return inner_.queryValue(key, name, out);
    }
    long setValue(HKey key, const std::string& name, const RegValue& value) override {
        return inner_.setValue(key, name, value);
    }
    long deleteKey(HKey parent, const std::string& subkey) override {
        return inner_.deleteKey(parent, subkey);
    }
    long deleteValue(HKey key, const std::string& name) override { return inner_.deleteValue(key, name); }
    long loadHive(HKey root, const std::string& subkey, const std::string& file) override {
        return inner_.loadHive(root, subkey, file);
    }
    long unloadHive(HKey root, const std::string& subkey) override { return inner_.unloadHive(root, subkey); }

private:
    RegistryBackend& inner_;
};

}  // namespace korvane::testing
