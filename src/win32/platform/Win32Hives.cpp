// Loading a signed-out user's hive files: RegLoadKeyW and RegUnLoadKeyW need the backup and restore
// privileges enabled in the process token (an administrator or SYSTEM holds them, disabled).
#include <windows.h>

#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"
#include "win32/platform/Win32Registry.h"

namespace korvane::win32 {
namespace {

HKEY HiveParent(HKey root) {
    return root == roots::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_USERS;
}

// Enables one privilege of the process token; its status code (PrivilegeNotHeld when the account
// lacks it: AdjustTokenPrivileges succeeds then, and only GetLastError tells).
long EnablePrivilege(const wchar_t* name) {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
        return static_cast<long>(::GetLastError());
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid))
        return static_cast<long>(::GetLastError());
    if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr))
        return static_cast<long>(::GetLastError());
    return ::GetLastError() == ERROR_NOT_ALL_ASSIGNED ? status::PrivilegeNotHeld : status::Success;
}

long EnableHivePrivileges() {
    const long backup = EnablePrivilege(SE_BACKUP_NAME);
    if (backup != status::Success) return backup;
    return EnablePrivilege(SE_RESTORE_NAME);
}

}  // namespace

long Win32Registry::loadHive(HKey root, const std::string& subkey, const std::string& file) {
    if (root != roots::Users && root != roots::LocalMachine) return status::InvalidParameter;
    const long privileges = EnableHivePrivileges();
    if (privileges != status::Success) return privileges;
    return ::RegLoadKeyW(HiveParent(root), Widen(subkey).c_str(), Widen(file).c_str());
}

long Win32Registry::unloadHive(HKey root, const std::string& subkey) {
    if (root != roots::Users && root != roots::LocalMachine) return status::InvalidParameter;
    const long privileges = EnableHivePrivileges();
    if (privileges != status::Success) return privileges;
    return ::RegUnLoadKeyW(HiveParent(root), Widen(subkey).c_str());
}

}  // namespace korvane::win32
