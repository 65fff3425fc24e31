// UTF-8 <-> UTF-16 at the edge to the W functions. Inside the program text is UTF-8; only win32/ ever
// holds a std::wstring. The conversion is platform/Utf16.h's: lossless for every UTF-16 text, unpaired
// surrogates included (a registry or file name that is not valid UTF-16 comes back as it was); bytes
// that are not UTF-8 become U+FFFD, never an error.
#pragma once

#include <string>
#include <string_view>

namespace korvane::win32 {

// Converts every unit, embedded zeros included (registry multi-strings rely on that).
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace korvane::win32
