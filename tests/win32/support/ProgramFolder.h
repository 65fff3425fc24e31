// The folder of the running test program: where the build puts every executable it makes, and where
// the tests place what must lie beside a program.
#pragma once

#include <windows.h>

#include <filesystem>

namespace korvane::win32::testing {

inline std::filesystem::path ProgramFolder() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return std::filesystem::path(exe).parent_path();
}

}  // namespace korvane::win32::testing
