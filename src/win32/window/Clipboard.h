// The clipboard, for what Ctrl+C copies from a list: UTF-8 text put there as Unicode text.
#pragma once

#include <windows.h>

#include <string>

namespace korvane::win32 {

// Replaces what the clipboard holds by `text`; false when the clipboard could not be had.
bool PutTextOnClipboard(HWND owner, const std::string& text);

}  // namespace korvane::win32
