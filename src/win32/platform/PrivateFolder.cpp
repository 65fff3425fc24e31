// A folder only Administrators and SYSTEM may use: where a run as SYSTEM keeps its undo history. A
// standard user may create folders in %ProgramData%, so a folder found there already is taken over
// (owner Administrators, a protected DACL) before anything is written into it.
#include <windows.h>
// clang-format off
#include <aclapi.h>  // these need windows.h first
#include <sddl.h>
// clang-format on

#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"
#include "win32/platform/Win32FileSystem.h"

namespace korvane::win32 {
namespace {

// Owner Administrators; full control for Administrators and SYSTEM, inherited; nothing else.
constexpr const wchar_t* kPrivateSddl = L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

}  // namespace

bool Win32FileSystem::createPrivateFolder(const std::string& folder) {
    using UniqueDescriptor = UniqueAny<PSECURITY_DESCRIPTOR, &::LocalFree>;
    UniqueDescriptor descriptor;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kPrivateSddl, SDDL_REVISION_1,
                                                                descriptor.put(), nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    const std::wstring path = Widen(folder);
    if (::CreateDirectoryW(path.c_str(), &attributes)) return true;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    PSID owner = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted) ||
        !::GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted))
        return false;
    std::wstring writable = path;
    return ::SetNamedSecurityInfoW(
               writable.data(), SE_FILE_OBJECT,
               OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
               owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

}  // namespace korvane::win32
