// Widen and Narrow on the program's one UTF-8/UTF-16 conversion (wchar_t is a UTF-16 unit on Windows).
#include "win32/platform/Text.h"

#include "platform/Utf16.h"

namespace korvane::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16 units");

std::wstring Widen(std::string_view text) {
    const std::u16string units = Utf16FromUtf8(text);
    return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view text) {
    return Utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

}  // namespace korvane::win32
