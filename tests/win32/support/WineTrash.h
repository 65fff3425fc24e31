// Under Wine the Recycle Bin is the desktop's trash folder in the Unix home. Tests that move files
// to the bin take their own items out of it again afterwards, so that runs leave nothing behind
// there; on Windows (no WINEHOMEDIR) the bin is left alone.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace korvane::win32::testing {

// Removes the trash items (and their notes) whose names begin with `prefix`.
inline void RemoveFromWineTrash(const std::wstring& prefix) {
    wchar_t home[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring folder = home;
    if (folder.rfind(L"\\??\\", 0) == 0) folder.erase(0, 4);
    std::error_code ignored;
    for (const wchar_t* part : {L"\\.local\\share\\Trash\\files", L"\\.local\\share\\Trash\\info"}) {
        const std::filesystem::path trash = folder + part;
        for (const auto& item : std::filesystem::directory_iterator(trash, ignored))
            if (item.path().filename().wstring().rfind(prefix, 0) == 0)
                std::filesystem::remove_all(item.path(), ignored);
    }
}

}  // namespace korvane::win32::testing
