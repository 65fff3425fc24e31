// The registry as the program sees it: keys opened by handle, values as raw type + bytes.
// Implementations never throw; every call reports a Windows status code. Value data crosses this seam
// as the exact bytes the registry holds, so that recording and restoring never change a value: text
// (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) is UTF-16LE with whatever terminators, odd lengths or stray
// bytes it has (platform/Utf16.h turns it into UTF-8 for readers that want text). Names are UTF-8; a
// name that is not valid UTF-16 keeps its unpaired surrogates (see Utf16.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// Opaque key handle. The predefined roots keep the values Windows gives them on 32-bit systems.
using HKey = std::uint64_t;

namespace roots {
inline constexpr HKey ClassesRoot = 0x80000000;
inline constexpr HKey CurrentUser = 0x80000001;
inline constexpr HKey LocalMachine = 0x80000002;
inline constexpr HKey Users = 0x80000003;
inline constexpr HKey PerformanceData = 0x80000004;
inline constexpr HKey CurrentConfig = 0x80000005;
inline constexpr HKey DynData = 0x80000006;
}  // namespace roots

// Windows status codes the program distinguishes.
namespace status {
inline constexpr long Success = 0;
inline constexpr long FileNotFound = 2;
inline constexpr long AccessDenied = 5;
inline constexpr long InvalidHandle = 6;
inline constexpr long InvalidParameter = 87;
inline constexpr long MoreData = 234;
inline constexpr long NoMoreItems = 259;
inline constexpr long KeyDeleted = 1018;
inline constexpr long NotSupported = 50;
inline constexpr long PrivilegeNotHeld = 1314;
}  // namespace status

// Registry value types (winnt.h numbers).
namespace regtype {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Sz = 1;
inline constexpr std::uint32_t ExpandSz = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Dword = 4;
inline constexpr std::uint32_t DwordBigEndian = 5;
inline constexpr std::uint32_t Link = 6;
inline constexpr std::uint32_t MultiSz = 7;
inline constexpr std::uint32_t Qword = 11;
}  // namespace regtype

// Access masks (winnt.h numbers), so that callers can ask for exactly what Windows would get.
namespace access {
inline constexpr std::uint32_t QueryValue = 0x0001;
inline constexpr std::uint32_t SetValue = 0x0002;
inline constexpr std::uint32_t CreateSubKey = 0x0004;
inline constexpr std::uint32_t EnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t Notify = 0x0010;
inline constexpr std::uint32_t ReadControl = 0x00020000;
inline constexpr std::uint32_t Read = 0x00020019;  // KEY_READ
inline constexpr std::uint32_t ReadWithoutNotify = Read & ~Notify;
inline constexpr std::uint32_t Write = 0x00020006;      // KEY_WRITE
inline constexpr std::uint32_t AllAccess = 0x000F003F;  // KEY_ALL_ACCESS
inline constexpr bool wantsWrite(std::uint32_t mask) {
    return (mask & (SetValue | CreateSubKey)) != 0;
}
}  // namespace access

struct RegValue {
    std::uint32_t type = regtype::None;
    std::vector<std::uint8_t> data;
};

struct NamedRegValue {
    std::string name;  // empty for the default value
    RegValue value;
};

struct KeyInfo {
    std::uint32_t subkeyCount = 0;
    std::uint32_t valueCount = 0;
};

class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;

    // `parent` is a root or an open key; `path` is relative to it without a leading backslash
    // (an empty path opens the parent itself again).
    virtual long openKey(HKey parent, const std::string& path, std::uint32_t accessMask, HKey& out) = 0;
    // Creates the missing keys of `path` and opens the last one.
    virtual long createKey(HKey parent, const std::string& path, std::uint32_t accessMask, HKey& out) = 0;
    virtual long closeKey(HKey key) = 0;
    virtual long queryInfo(HKey key, KeyInfo& out) = 0;
    // Sub-key names in the registry's enumeration order.
    virtual long enumSubkeys(HKey key, std::vector<std::string>& out) = 0;
    // Values in the registry's enumeration order; with `withData` false only names and types are filled.
    virtual long enumValues(HKey key, std::vector<NamedRegValue>& out, bool withData) = 0;
    virtual long queryValue(HKey key, const std::string& name, RegValue& out) = 0;
    virtual long setValue(HKey key, const std::string& name, const RegValue& value) = 0;
    // Deletes `subkey` of `parent`; refused when that key still has sub-keys (as RegDeleteKey on NT).
    virtual long deleteKey(HKey parent, const std::string& subkey) = 0;
    virtual long deleteValue(HKey key, const std::string& name) = 0;

    // Mounts the hive file `file` (a signed-out user's NTUSER.DAT or UsrClass.dat) as `subkey` of
    // `root` (HKEY_USERS or HKEY_LOCAL_MACHINE), with the backup and restore privileges the caller
    // must hold. A backend that cannot load hives answers NotSupported.
    virtual long loadHive(HKey root, const std::string& subkey, const std::string& file) {
        return status::NotSupported;
    }
    // Unmounts a hive loadHive mounted; refused while keys inside it are still open.
    virtual long unloadHive(HKey root, const std::string& subkey) { return status::NotSupported; }
};

}  // namespace korvane
