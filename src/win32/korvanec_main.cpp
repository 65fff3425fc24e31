// korvanec.exe: the console companion's entry point. Arguments arrive as UTF-16 and are handed on as
// UTF-8; output is UTF-8 (the console is switched to it, a pipe or file gets the bytes as they are).
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "console/Korvanec.h"
#include "win32/platform/Text.h"
#include "win32/platform/Win32Platform.h"

int wmain(int argc, wchar_t** argv) {
    ::SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(korvane::win32::Narrow(argv[i]));
    korvane::win32::Win32Platform platform;
    const bool progress = ::_isatty(::_fileno(stderr)) != 0;
    const int code = korvane::console::RunKorvanec(platform.platform(), args, std::cout, std::cerr, progress);
    std::cout.flush();
    return code;
}
