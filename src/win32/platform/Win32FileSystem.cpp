// Win32FileSystem: GetFileAttributesW, FindFirstFileW/FindNextFileW, CreateFileW and friends.
#include "win32/platform/Win32FileSystem.h"

#include <windows.h>

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

}  // namespace

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

}  // namespace korvane::win32
