// The registry through advapi32's W functions. Handles crossing the seam are the real HKEYs; text
// data is converted between UTF-16 (the registry) and UTF-8 (the program) here and nowhere else.
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
};

// Value data as the seam carries it. Text types are re-encoded; an odd trailing byte is dropped and
// a missing terminating zero is added, so that readers never run past the data. Other types pass
// unchanged.
std::vector<std::uint8_t> RegistryDataToSeam(std::uint32_t type, const std::uint8_t* data, std::size_t size);
std::vector<std::uint8_t> SeamDataToRegistry(std::uint32_t type, const std::vector<std::uint8_t>& data);

}  // namespace korvane::win32
