// Shortcut files for the tests, written as the shell writes a link to a local file: the header, no
// shell items, and the location block with the path in ANSI and in UTF-16.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Utf16.h"

namespace korvane::testing {

inline void PutU32(std::string& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// `target` in plain ASCII goes into the ANSI field too; with `unicode` false only there.
inline std::string ShellLinkBytes(const std::string& target, bool unicode = true) {
    std::string link(0x4C, '\0');
    PutU32(link, 0, 0x4C);
    PutU32(link, 0x04, 0x00021401);  // the shell link class
    PutU32(link, 0x0C, 0x000000C0);
    PutU32(link, 0x14, 0x02);  // HasLinkInfo
    const std::size_t headerSize = unicode ? 0x24 : 0x1C;
    std::string info(headerSize, '\0');
    const std::size_t volumeAt = info.size();
    info += std::string("\x10\0\0\0\x03\0\0\0\0\0\0\0\x10\0\0\0", 16);  // a fixed drive, no label
    const std::size_t baseAt = info.size();
    info += target + '\0';
    const std::size_t suffixAt = info.size();
    info += '\0';
    std::size_t baseUnicodeAt = 0, suffixUnicodeAt = 0;
    if (unicode) {
        baseUnicodeAt = info.size();
        for (char16_t unit : Utf16FromUtf8(target)) {
            info += static_cast<char>(unit & 0xFF);
            info += static_cast<char>(unit >> 8);
        }
        info += std::string(2, '\0');
        suffixUnicodeAt = info.size();
        info += std::string(2, '\0');
    }
    PutU32(info, 0, static_cast<std::uint32_t>(info.size()));
    PutU32(info, 4, static_cast<std::uint32_t>(headerSize));
    PutU32(info, 8, 0x01);  // VolumeIDAndLocalBasePath
    PutU32(info, 0x0C, static_cast<std::uint32_t>(volumeAt));
    PutU32(info, 0x10, static_cast<std::uint32_t>(baseAt));
    PutU32(info, 0x14, 0);
    PutU32(info, 0x18, static_cast<std::uint32_t>(suffixAt));
    if (unicode) {
        PutU32(info, 0x1C, static_cast<std::uint32_t>(baseUnicodeAt));
        PutU32(info, 0x20, static_cast<std::uint32_t>(suffixUnicodeAt));
    }
    return link + info + std::string(4, '\0');  // no string data, an empty extra-data block
}

}  // namespace korvane::testing
