// A stand-in uninstaller for the uninstall tests: writes its command line, as Windows handed it over
// (UTF-16), to "<its own path>.ran" and exits. The tests copy it to the places an entry names.
#include <windows.h>

#include <string>

#include "win32/platform/UniqueHandle.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    const std::wstring marker = std::wstring(path, length) + L".ran";
    korvane::win32::UniqueFile file(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 1;
    const std::wstring line = GetCommandLineW();
    DWORD written = 0;
    const auto bytes = static_cast<DWORD>(line.size() * sizeof(wchar_t));
    return WriteFile(file.get(), line.data(), bytes, &written, nullptr) && written == bytes ? 0 : 1;
}
