// The registry through advapi32's W functions. Handles crossing the seam are the real HKEYs; names are
// converted between UTF-16 and UTF-8 (losslessly, see Text.h); value data, text included, passes as
// the exact bytes the registry holds.
#pragma once

#include "platform/RegistryBackend.h"

namespace korvane::win32 {

class Win32Registry final : public RegistryBackend {
public:
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
    // RegLoadKeyW/RegUnLoadKeyW with the backup and restore privileges enabled (Win32Hives.cpp).
    long loadHive(HKey root, const std::string& subkey, const std::string& file) override;
    long unloadHive(HKey root, const std::string& subkey) override;
};

}  // namespace korvane::win32
