// The computer's name, the account the program runs as, %ProgramData%, and the machine-wide named
// locks that keep two writers of one undo history apart.
#include <windows.h>
// clang-format off
#include <knownfolders.h>  // these need windows.h first
#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>
// clang-format on

#include <vector>

#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"
#include "win32/platform/Win32SystemInfo.h"

namespace korvane::win32 {
namespace {

// The token's user (a TOKEN_USER in a buffer of the size Windows asks for); empty when unreadable.
std::vector<unsigned char> TokenUser() {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
    DWORD size = 0;
    ::GetTokenInformation(token.get(), ::TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), ::TokenUser, buffer.data(), size, &size)) return {};
    return buffer;
}

class Win32NamedLock final : public NamedLock {
public:
    explicit Win32NamedLock(UniqueHandle mutex) : mutex_(std::move(mutex)) {}
    ~Win32NamedLock() override { ::ReleaseMutex(mutex_.get()); }

private:
    UniqueHandle mutex_;
};

}  // namespace

std::string Win32SystemInfo::machineName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    return ::GetComputerNameW(name, &length) ? Narrow(std::wstring(name, length)) : std::string();
}

std::string Win32SystemInfo::accountSid() {
    const std::vector<unsigned char> user = TokenUser();
    if (user.empty()) return {};
    using UniqueLocalText = UniqueAny<LPWSTR, &::LocalFree>;
    UniqueLocalText text;
    if (!::ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, text.put()))
        return {};
    return Narrow(text.get());
}

std::string Win32SystemInfo::accountName() {
    const std::vector<unsigned char> user = TokenUser();
    if (user.empty()) return {};
    PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    DWORD nameLength = 0, domainLength = 0;
    SID_NAME_USE use{};
    ::LookupAccountSidW(nullptr, sid, nullptr, &nameLength, nullptr, &domainLength, &use);
    if (nameLength == 0) return {};
    std::wstring name(nameLength, L'\0'), domain(domainLength, L'\0');
    if (!::LookupAccountSidW(nullptr, sid, name.data(), &nameLength, domain.data(), &domainLength, &use))
        return {};
    name.resize(nameLength);
    domain.resize(domainLength);
    return Narrow(domain.empty() ? name : domain + L"\\" + name);
}

std::string Win32SystemInfo::programDataDirectory() {
    PWSTR path = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_DEFAULT, nullptr, &path);
    std::string folder = SUCCEEDED(result) && path != nullptr ? Narrow(path) : std::string();
    ::CoTaskMemFree(path);
    return folder;
}

// "Global\": one lock for every session of the machine, so a SYSTEM run and a user's window meet.
std::unique_ptr<NamedLock> Win32SystemInfo::lockNamed(const std::string& name,
                                                      std::chrono::milliseconds wait) {
    UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, (L"Global\\" + Widen(name)).c_str()));
    if (!mutex) return nullptr;
    const DWORD waited = ::WaitForSingleObject(mutex.get(), static_cast<DWORD>(wait.count()));
    // An abandoned lock (its holder was killed) is ours now; what it guarded is checked by its reader.
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return nullptr;
    return std::make_unique<Win32NamedLock>(std::move(mutex));
}

}  // namespace korvane::win32
