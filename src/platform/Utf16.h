// The one conversion between the program's UTF-8 and the registry's UTF-16, for names (in win32/)
// and for text data (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ cross the seam as the UTF-16LE bytes the
// registry holds). Both directions are lossless for every sequence of UTF-16 code units: an unpaired
// surrogate travels in UTF-8 as its own three-byte form (as in WTF-8), so a name that is not valid
// UTF-16 comes back as it was. Bytes that are not UTF-8 become U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto continuation = [&](std::size_t i) { return i < text.size() && (byte(i) & 0xC0) == 0x80; };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = byte(i);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
            least = 0x10000;
        }
        std::size_t taken = 1;
        while (length != 0 && taken < length && continuation(i + taken)) {
            code = (code << 6) | (byte(i + taken) & 0x3F);
            ++taken;
        }
        if (length == 0 || taken < length || code < least || code > 0x10FFFF) {
            out += u'\uFFFD';  // one replacement per bad byte, as Windows' own conversion does
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);  // an unpaired surrogate stays one
        }
        i += length;
    }
    return out;
}

inline std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

// Whether UTF-16 text is also valid Unicode: no unpaired surrogate.
inline bool IsValidUtf16(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xDC00 && text[i] <= 0xDFFF) return false;
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        }
    }
    return true;
}

// The code units of UTF-16LE bytes; an odd last byte is no unit and is left out.
inline std::u16string Utf16Units(const std::vector<std::uint8_t>& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return units;
}

inline std::vector<std::uint8_t> Utf16LeBytes(std::u16string_view units) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

// Text data as a program writes it into the registry: UTF-16LE with one terminating zero unit.
inline std::vector<std::uint8_t> RegistryTextBytes(std::string_view text) {
    std::u16string units = Utf16FromUtf8(text);
    units += u'\0';
    return Utf16LeBytes(units);
}

// What a reader of text data sees: the UTF-16 text up to its first zero unit, as UTF-8 (a missing
// terminator and an odd last byte are tolerated, as Windows' own readers do).
inline std::string TextOfRegistryBytes(const std::vector<std::uint8_t>& data) {
    std::u16string units = Utf16Units(data);
    const std::size_t zero = units.find(u'\0');
    if (zero != std::u16string::npos) units.resize(zero);
    return Utf8FromUtf16(units);
}

// The text when the bytes are exactly one valid UTF-16 string with one terminating zero unit and
// nothing else, so that RegistryTextBytes gives the very same bytes back; nothing otherwise.
inline std::optional<std::string> CleanRegistryText(const std::vector<std::uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
    std::u16string units = Utf16Units(data);
    if (units.back() != u'\0') return std::nullopt;
    units.pop_back();
    if (units.find(u'\0') != std::u16string::npos || !IsValidUtf16(units)) return std::nullopt;
    return Utf8FromUtf16(units);
}

}  // namespace korvane
