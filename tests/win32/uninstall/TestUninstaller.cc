// A stand-in uninstaller for the uninstall tests: writes its command line, as Windows handed it over
// (UTF-16), to "<its own path>.ran". The tests copy it to the places an entry names.
// With "/handover" it behaves as many real uninstallers do: it copies itself to the temporary
// folder, starts the copy with "/remove <its folder>" and exits at once; the copy waits a moment
// (so that only a wait for the whole process tree sees its work) and deletes the .exe and .dll files
// of that folder, leaving every other file there.
#include <windows.h>

#include <string>

#include "win32/platform/UniqueHandle.h"

namespace {

bool NoteCommandLine(const std::wstring& self) {
    const std::wstring marker = self + L".ran";
    korvane::win32::UniqueFile file(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const std::wstring line = GetCommandLineW();
    DWORD written = 0;
    const auto bytes = static_cast<DWORD>(line.size() * sizeof(wchar_t));
    return WriteFile(file.get(), line.data(), bytes, &written, nullptr) && written == bytes;
}

int HandOver(const std::wstring& self) {
    wchar_t temp[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, temp) == 0) return 1;
    const std::wstring copy = std::wstring(temp) + L"KorvaneUninstallCopy.exe";
    if (!CopyFileW(self.c_str(), copy.c_str(), FALSE)) return 1;
    std::wstring line = L"\"" + copy + L"\" /remove \"" + self.substr(0, self.find_last_of(L'\\')) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return 1;
    korvane::win32::UniqueHandle process(info.hProcess);
    korvane::win32::UniqueHandle thread(info.hThread);
    return 0;
}

int Remove(const std::wstring& folder) {
    Sleep(1500);
    for (const wchar_t* pattern : {L"\\*.exe", L"\\*.dll"}) {
        WIN32_FIND_DATAW found{};
        korvane::win32::UniqueFindHandle search(FindFirstFileW((folder + pattern).c_str(), &found));
        if (!search) continue;
        do {
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search.get(), &found));
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    const std::wstring self(path, length);
    if (!NoteCommandLine(self)) return 1;
    const std::wstring line = GetCommandLineW();
    if (line.find(L" /handover") != std::wstring::npos) return HandOver(self);
    const std::size_t remove = line.find(L" /remove \"");
    if (remove != std::wstring::npos) {
        const std::size_t start = remove + 10;
        return Remove(line.substr(start, line.find(L'"', start) - start));
    }
    return 0;
}
