// Which encoding the bytes of an XML file are in, as far as the program must tell before the parser
// reads them. A byte-order mark, and the encodings the parser knows itself (UTF-8, UTF-16, UTF-32,
// Latin-1, ASCII), are left to the parser. windows-1252, which files of older tools declare and the
// parser does not know, is converted here. Any other declared encoding is refused, unless the text is
// plain ASCII: every ASCII-compatible encoding reads such text the same.
#pragma once

#include <string>
#include <string_view>

#include "platform/AsciiCase.h"
#include "platform/Utf16.h"

namespace korvane {

enum class XmlEncodingKind { LeftToParser, Windows1252, Unsupported };

struct SniffedXmlEncoding {
    XmlEncodingKind kind = XmlEncodingKind::LeftToParser;
    std::string declared;  // the declaration's name in lower case; empty when there is none
};

inline bool HasByteOrderMark(std::string_view text) {
    for (std::string_view mark :
         {std::string_view("\xEF\xBB\xBF"), std::string_view("\xFF\xFE"), std::string_view("\xFE\xFF")})
        if (text.substr(0, mark.size()) == mark) return true;
    return false;
}

// The encoding named by an XML declaration at the very start of `text`, in lower case; empty when
// there is none.
inline std::string DeclaredXmlEncoding(std::string_view text) {
    if (text.substr(0, 5) != "<?xml") return {};
    const std::string_view declaration = text.substr(0, text.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) return {};
    at = declaration.find_first_of("\"'", at);
    if (at == std::string_view::npos) return {};
    const std::size_t close = declaration.find(declaration[at], at + 1);
    if (close == std::string_view::npos) return {};
    return LowerAscii(declaration.substr(at + 1, close - at - 1));
}

inline SniffedXmlEncoding SniffXmlEncoding(std::string_view text) {
    if (HasByteOrderMark(text)) return {};
    SniffedXmlEncoding sniffed{XmlEncodingKind::LeftToParser, DeclaredXmlEncoding(text)};
    const std::string& name = sniffed.declared;
    if (name == "windows-1252" || name == "cp1252" || name == "x-cp1252") {
        sniffed.kind = XmlEncodingKind::Windows1252;
    } else if (!name.empty() && name != "utf-8" && name != "utf8" && name != "utf-16" && name != "utf-32" &&
               name != "iso-8859-1" && name != "latin1" && name != "us-ascii" && name != "ascii") {
        for (char c : text)
            if (static_cast<unsigned char>(c) >= 0x80) {
                sniffed.kind = XmlEncodingKind::Unsupported;
                break;
            }
    }
    return sniffed;
}

// windows-1252 text as UTF-8: the code page of files written by older tools on western systems. The
// five bytes the code page leaves undefined keep their C1 code points, as Windows' own conversion does.
inline std::string Windows1252ToUtf8(std::string_view text) {
    static constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::u16string units;
    units.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        units += byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return Utf8FromUtf16(units);
}

}  // namespace korvane
