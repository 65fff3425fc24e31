// Reading a shortcut's target (see ShellLink.h). The layout is the shell link binary format: a
// 76-byte header, an optional list of shell items, then the location block with the local base path
// (ANSI, and from header size 0x24 on also UTF-16) and a common path suffix.
#include "uninstall/ShellLink.h"

#include <cstdint>

#include "platform/PathText.h"
#include "platform/Utf16.h"

namespace korvane {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::uint32_t kHasTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}

    std::optional<std::uint32_t> U32(std::size_t at) const {
        if (at + 4 > bytes_.size()) return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = value << 8 | Byte(at + static_cast<std::size_t>(i));
        return value;
    }
    std::optional<std::uint16_t> U16(std::size_t at) const {
        if (at + 2 > bytes_.size()) return std::nullopt;
        return static_cast<std::uint16_t>(Byte(at) | Byte(at + 1) << 8);
    }
    // A zero-terminated single-byte text; nothing when it runs off the end or leaves plain ASCII,
    // whose meaning depends on the code page of the machine that wrote it.
    std::optional<std::string> Ascii(std::size_t at) const {
        std::string text;
        for (std::size_t i = at; i < bytes_.size(); ++i) {
            const std::uint8_t c = Byte(i);
            if (c == 0) return text;
            if (c >= 0x80) return std::nullopt;
            text += static_cast<char>(c);
        }
        return std::nullopt;
    }
    std::optional<std::string> Utf16(std::size_t at) const {
        std::u16string text;
        for (std::size_t i = at; i + 1 < bytes_.size(); i += 2) {
            const auto unit = static_cast<char16_t>(Byte(i) | Byte(i + 1) << 8);
            if (unit == 0) return Utf8FromUtf16(text);
            text += unit;
        }
        return std::nullopt;
    }

private:
    std::uint32_t Byte(std::size_t at) const { return static_cast<std::uint8_t>(bytes_[at]); }
    const std::string& bytes_;
};

}  // namespace

std::optional<std::string> ShellLinkTarget(const std::string& bytes) {
    const Reader read(bytes);
    const auto headerSize = read.U32(0);
    const auto flags = read.U32(0x14);
    if (!headerSize || *headerSize != kHeaderSize || !flags || !(*flags & kHasLinkInfo)) return std::nullopt;
    std::size_t at = kHeaderSize;
    if (*flags & kHasTargetIdList) {
        const auto idListSize = read.U16(at);
        if (!idListSize) return std::nullopt;
        at += 2 + *idListSize;
    }
    const auto infoSize = read.U32(at);
    const auto infoHeaderSize = read.U32(at + 4);
    const auto infoFlags = read.U32(at + 8);
    if (!infoSize || !infoHeaderSize || !infoFlags || at + *infoSize > bytes.size()) return std::nullopt;
    if (!(*infoFlags & kVolumeIdAndLocalBasePath)) return std::nullopt;
    std::optional<std::string> base;
    std::optional<std::string> suffix;
    if (*infoHeaderSize >= 0x24) {
        const auto baseOffset = read.U32(at + 0x1C);
        const auto suffixOffset = read.U32(at + 0x20);
        if (baseOffset && *baseOffset) base = read.Utf16(at + *baseOffset);
        if (suffixOffset && *suffixOffset) suffix = read.Utf16(at + *suffixOffset);
    }
    if (!base) {
        const auto baseOffset = read.U32(at + 0x10);
        const auto suffixOffset = read.U32(at + 0x18);
        if (!baseOffset || !suffixOffset) return std::nullopt;
        base = read.Ascii(at + *baseOffset);
        suffix = read.Ascii(at + *suffixOffset);
    }
    if (!base || base->empty()) return std::nullopt;
    std::string target = *base;
    if (suffix && !suffix->empty()) {
        target = WithBackslash(std::move(target)) + *suffix;
    }
    return target;
}

}  // namespace korvane
