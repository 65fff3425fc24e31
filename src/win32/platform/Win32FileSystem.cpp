// Win32FileSystem: GetFileAttributesW, FindFirstFileW/FindNextFileW, CreateFileW and friends.
#include "win32/platform/Win32FileSystem.h"

#include <windows.h>
// clang-format off
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <algorithm>

#include "win32/platform/CngSha256.h"
#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"

namespace korvane::win32 {
namespace {

// ReadFile and WriteFile move at most a DWORD at a time.
constexpr std::size_t ChunkSize = 1u << 30;
// A hashed file is read in pieces of this size: a registry export can be hundreds of megabytes.
constexpr DWORD HashChunkSize = 1u << 20;

// "X:..." whose drive letter names no drive at all: Windows then says "file not found" or "path not
// found" as if the drive had answered.
bool NamesNoDrive(const std::string& path) {
    if (path.size() < 2 || path[1] != ':') return false;
    const wchar_t root[] = {static_cast<wchar_t>(static_cast<unsigned char>(path[0])), L':', L'\\', 0};
    return ::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR;
}

PathProbe Classify(const std::string& path, DWORD error) {
    const long code = static_cast<long>(error);
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            if (NamesNoDrive(path)) return PathProbe::Unknown(PathReason::NoSuchDrive, code);
            return PathProbe::Missing(
                error == ERROR_FILE_NOT_FOUND ? PathReason::FileNotFound : PathReason::PathNotFound, code);
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return PathProbe::Missing(PathReason::InvalidName, code);
        case ERROR_INVALID_DRIVE:
            return PathProbe::Unknown(PathReason::NoSuchDrive, code);
        case ERROR_NOT_READY:
            return PathProbe::Unknown(PathReason::DriveNotReady, code);
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_DEV_TYPE:  // Wine's answer for a server it cannot find
        case ERROR_REM_NOT_LIST:
        case ERROR_NETWORK_BUSY:
        case ERROR_UNEXP_NET_ERR:
        case ERROR_BAD_NET_RESP:
        case ERROR_NETNAME_DELETED:
        case ERROR_NO_NET_OR_BAD_PATH:
        case ERROR_NETWORK_UNREACHABLE:
        case ERROR_HOST_UNREACHABLE:
            return PathProbe::Unknown(PathReason::ServerUnreachable, code);
        case ERROR_BAD_NET_NAME:
            return PathProbe::Unknown(PathReason::ShareUnavailable, code);
        case ERROR_ACCESS_DENIED:
        case ERROR_NETWORK_ACCESS_DENIED:
        case ERROR_LOGON_FAILURE:
            return PathProbe::Unknown(PathReason::AccessDenied, code);
        case ERROR_SEM_TIMEOUT:
            return PathProbe::Unknown(PathReason::TimedOut, code);
        default:
            return PathProbe::Unknown(PathReason::OtherError, code);
    }
}

bool IsWow64() {
#if defined(_WIN64)
    return false;
#else
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

// Looked up at run time: the functions exist only where WOW64 does.
class Win32NativePaths final : public NativePathsScope {
public:
    Win32NativePaths() {
        if (!IsWow64()) return;
        const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        const auto disable = reinterpret_cast<BOOL(WINAPI*)(PVOID*)>(
            reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
        revert_ = reinterpret_cast<BOOL(WINAPI*)(PVOID)>(
            reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
        disabled_ = disable && revert_ && disable(&previous_);
    }
    ~Win32NativePaths() override {
        if (disabled_) revert_(previous_);
    }
    Win32NativePaths(const Win32NativePaths&) = delete;
    Win32NativePaths& operator=(const Win32NativePaths&) = delete;

private:
    BOOL(WINAPI* revert_)(PVOID) = nullptr;
    PVOID previous_ = nullptr;
    bool disabled_ = false;
};

}  // namespace

PathProbe Win32FileSystem::probePath(const std::string& path) {
    const DWORD found = ::GetFileAttributesW(Widen(path).c_str());
    if (found != INVALID_FILE_ATTRIBUTES) return PathProbe::Found(found);
    return Classify(path, ::GetLastError());
}

std::unique_ptr<NativePathsScope> Win32FileSystem::nativePathsOnThisThread() {
    return std::make_unique<Win32NativePaths>();
}

std::optional<std::uint32_t> Win32FileSystem::attributes(const std::string& path) {
    const DWORD found = ::GetFileAttributesW(Widen(path).c_str());
    if (found == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return found;
}

bool Win32FileSystem::fileExists(const std::string& path) {
    const auto found = attributes(path);
    return found && (*found & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::directoryExists(const std::string& path) {
    const auto found = attributes(path);
    return found && (*found & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::findFiles(const std::string& pattern, std::vector<FileEntry>& out) {
    WIN32_FIND_DATAW data{};
    UniqueFindHandle search(::FindFirstFileW(Widen(pattern).c_str(), &data));
    if (!search) {
        // A readable folder without a matching name is an empty answer, not a failure.
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            out.clear();
            return true;
        }
        return false;
    }
    std::vector<FileEntry> entries;
    do {
        FileEntry entry;
        entry.name = Narrow(data.cFileName);
        entry.attributes = data.dwFileAttributes;
        entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(search.get(), &data));
    if (::GetLastError() != ERROR_NO_MORE_FILES) return false;
    out = std::move(entries);
    return true;
}

bool Win32FileSystem::createDirectory(const std::string& path) {
    return ::CreateDirectoryW(Widen(path).c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::removeDirectory(const std::string& path) {
    return ::RemoveDirectoryW(Widen(path).c_str()) != FALSE;
}

bool Win32FileSystem::deleteFile(const std::string& path) {
    return ::DeleteFileW(Widen(path).c_str()) != FALSE;
}

std::string Win32FileSystem::currentDirectory() {
    std::wstring buffer;
    // The answer counts the terminating zero when the buffer is too small; another thread may change
    // the folder between the calls, hence the loop.
    DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    while (needed > buffer.size()) {
        buffer.resize(needed);
        needed = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (needed == 0) return {};
    }
    buffer.resize(needed);
    return Narrow(buffer);
}

bool Win32FileSystem::setCurrentDirectory(const std::string& path) {
    return ::SetCurrentDirectoryW(Widen(path).c_str()) != FALSE;
}

std::optional<std::string> Win32FileSystem::readFile(const std::string& path) {
    UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > std::string().max_size())
        return std::nullopt;
    std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min(ChunkSize, data.size() - done));
        DWORD read = 0;
        if (!::ReadFile(file.get(), data.data() + done, wanted, &read, nullptr)) return std::nullopt;
        if (read == 0) break;  // the file shrank while we read it
        done += read;
    }
    data.resize(done);
    return data;
}

bool Win32FileSystem::writeFile(const std::string& path, const std::string& data) {
    const std::wstring widePath = Widen(path);
    // Windows refuses to truncate a read-only file; the check keeps that true where the process has
    // rights that would bypass it (Wine run by root). A hidden or system file may only be truncated
    // when those attributes are asked for again, which also keeps them.
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (const DWORD existing = ::GetFileAttributesW(widePath.c_str()); existing != INVALID_FILE_ATTRIBUTES) {
        if (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        if (const DWORD kept = existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) attributes = kept;
    }
    UniqueFile file(
        ::CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    if (!file) return false;
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min(ChunkSize, data.size() - done));
        DWORD written = 0;
        if (!::WriteFile(file.get(), data.data() + done, wanted, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return ::FlushFileBuffers(file.get()) != FALSE;
}

bool Win32FileSystem::replaceFile(const std::string& from, const std::string& to) {
    return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Reading without FILE_SHARE_WRITE: nobody changes the file while it is hashed.
std::optional<Sha256Digest> Win32FileSystem::sha256(const std::string& path) {
    UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;
    CngSha256 hash;
    std::vector<char> buffer(HashChunkSize);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer.data(), HashChunkSize, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        if (!hash.Update(buffer.data(), read)) return std::nullopt;
    }
    return hash.Finish();
}

bool Win32FileSystem::moveToRecycleBin(const std::string& path) {
    const bool onDrive =
        path.size() > 3 && path[1] == ':' && path[2] == '\\' && path.find('/') == std::string::npos;
    if (!onDrive) return false;
    const std::wstring root = Widen(path.substr(0, 3));
    if (::GetDriveTypeW(root.c_str()) != DRIVE_FIXED) return false;
    std::wstring from = Widen(path);
    while (!from.empty() && from.back() == L'\\') from.pop_back();
    from.push_back(L'\0');  // the list of paths ends with an empty one
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NO_UI;
    if (::SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted) return false;
    return ::GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace korvane::win32
