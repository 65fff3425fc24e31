// Win32SystemInfo: every answer is read at full length; the buffers grow to what Windows reports.
#include "win32/platform/Win32SystemInfo.h"

#include <windows.h>
// clang-format off
#include <knownfolders.h>  // these need windows.h first
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#include <limits>

#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"

namespace korvane::win32 {
namespace {

// For the calls that answer "the length you need, terminating zero included" when the buffer is too
// small and "the length written, without it" otherwise. The answer can change between two calls.
template <typename Call>
std::string ReadSizedText(Call call) {
    std::wstring buffer;
    UINT needed = call(nullptr, 0);
    while (needed > buffer.size()) {
        buffer.resize(needed);
        needed = call(buffer.data(), static_cast<UINT>(buffer.size()));
        if (needed == 0) return {};
    }
    buffer.resize(needed);
    return Narrow(buffer);
}

}  // namespace

std::string Win32SystemInfo::localAppDataDirectory() {
    PWSTR path = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &path);
    // The shell allocates the text even when it fails; CoTaskMemFree takes null as well.
    std::string folder = SUCCEEDED(result) && path != nullptr ? Narrow(path) : std::string();
    ::CoTaskMemFree(path);
    return folder;
}

std::string Win32SystemInfo::executablePath() {
    // GetModuleFileNameW does not tell the length it needs: it fills the buffer and cuts; grow until
    // the answer is shorter than the buffer.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        if (buffer.size() >= 32768) return {};  // longer than any Windows path
        buffer.resize(buffer.size() * 2);
    }
}

std::string Win32SystemInfo::systemDirectory() {
    return ReadSizedText([](wchar_t* buffer, UINT size) { return ::GetSystemDirectoryW(buffer, size); });
}

std::string Win32SystemInfo::tempDirectory() {
    return ReadSizedText(
        [](wchar_t* buffer, UINT size) { return static_cast<UINT>(::GetTempPathW(size, buffer)); });
}

bool Win32SystemInfo::is64BitWindows() {
#if defined(_WIN64)
    return true;
#else
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::string Win32SystemInfo::systemWow64Directory() {
    if (!is64BitWindows()) return {};
    return ReadSizedText([](wchar_t* buffer, UINT size) { return ::GetSystemWow64DirectoryW(buffer, size); });
}

std::string Win32SystemInfo::programFilesX86Directory() {
    if (!is64BitWindows()) return {};
    return ReadSizedText([](wchar_t* buffer, UINT size) {
        return static_cast<UINT>(::GetEnvironmentVariableW(L"ProgramFiles(x86)", buffer, size));
    });
}

bool Win32SystemInfo::runsElevated() {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

std::vector<std::string> Win32SystemInfo::startArguments() {
    using UniqueArgv = UniqueAny<LPWSTR*, &::LocalFree>;
    int count = 0;
    UniqueArgv argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    if (!argv) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Narrow(argv.get()[i]));
    return arguments;
}

std::optional<VersionRecord> Win32SystemInfo::windowsVersion() {
    using RtlGetVersionFunction = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return std::nullopt;
    // FARPROC has no parameters; the detour through void(*)() says the cast is meant.
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "RtlGetVersion")));
    if (!rtlGetVersion) return std::nullopt;
    RTL_OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (rtlGetVersion(&info) != 0) return std::nullopt;
    return VersionRecord{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

LocalDateTime Win32SystemInfo::localTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return LocalDateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::uint64_t Win32SystemInfo::systemTimeAsFileTime() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

std::string Win32SystemInfo::longTimeFormat() {
    const int needed = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring buffer(static_cast<std::size_t>(needed), L'\0');
    const int written = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, buffer.data(), needed);
    if (written <= 0) return {};
    buffer.resize(static_cast<std::size_t>(written) - 1);  // the count includes the terminating zero
    return Narrow(buffer);
}

int Win32SystemInfo::compareText(const std::string& a, const std::string& b) {
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    constexpr std::size_t limit = static_cast<std::size_t>(std::numeric_limits<int>::max());
    if (wideA.size() <= limit && wideB.size() <= limit) {
        const int result =
            ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wideA.data(),
                             static_cast<int>(wideA.size()), wideB.data(), static_cast<int>(wideB.size()));
        if (result != 0) return result - CSTR_EQUAL;
    }
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace korvane::win32
