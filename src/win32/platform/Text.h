// UTF-8 <-> UTF-16 conversion at the edge to the W functions. Inside the program text is UTF-8;
// only win32/ ever holds a std::wstring. Invalid sequences become U+FFFD, never an error.
#pragma once

#include <string>
#include <string_view>

namespace korvane::win32 {

// Converts every unit, embedded zeros included (registry multi-strings rely on that).
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace korvane::win32
