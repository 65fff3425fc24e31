// How a registry value is written as text in the undo history and read back: the TYPE names and
// the VALUE encodings. Pure text work; nothing here touches the registry or the document.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"

namespace korvane {

namespace historytype {
inline constexpr const char* String = "rdString";
inline constexpr const char* ExpandString = "rdExpandString";
inline constexpr const char* Integer = "rdInteger";
inline constexpr const char* Binary = "rdBinary";
// Followed by the registry type number in decimal ("rdRaw7"); VALUE in the rdBinary form.
inline constexpr const char* RawPrefix = "rdRaw";
}  // namespace historytype

// The ITEM attribute that says how the raw bytes of a text type (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ)
// are to be read. Entries recorded since text crosses the registry seam as UTF-16 carry
// kRegistryBytesEncoding: VALUE holds the registry's own bytes. Older entries have no such attribute,
// and their bytes are UTF-8 text that is converted back as it was then.
inline constexpr const char* kEncodingAttribute = "ENCODING";
inline constexpr const char* kRegistryBytesEncoding = "UTF-16LE";

// Every "\" becomes "\\".
std::string EscapeBackslashes(const std::string& text);
// Left to right: "\\" gives "\", a lone "\" is dropped, everything else is copied. Undoes
// EscapeBackslashes exactly and removes the run markers of binary text.
std::string UnescapeBackslashes(const std::string& text);

// Exactly 8 upper-case hexadecimal digits, most significant first.
std::string EncodeInteger(std::uint32_t value);
// The number in hexadecimal text; 0 when the text is not a hexadecimal number of 32 bits.
std::uint32_t DecodeInteger(const std::string& text);

// Two upper-case digits per byte, separated by ","; a "\" after the comma that follows byte 25, 50,
// 75, … (so the first run holds 26 bytes, later runs 25). Empty data gives empty text.
std::string EncodeBinary(const std::vector<std::uint8_t>& bytes);
// Decodes text that UnescapeBackslashes has already cleaned: pieces between commas, each a
// hexadecimal number whose low 8 bits are one byte. Empty text gives no bytes. Nothing when a piece
// is not a hexadecimal number (a hand-edited file): the caller must not write a partial value.
std::optional<std::vector<std::uint8_t>> DecodeBinary(const std::string& text);

// TYPE and VALUE texts of one value, and the ENCODING of raw text bytes (empty when there is none).
struct EncodedValue {
    std::string type;
    std::string value;
    std::string encoding;
};
// The history form of a registry value: REG_SZ as rdString and REG_EXPAND_SZ as rdExpandString when
// their bytes are one valid UTF-16 string with one terminator (the text comes back as the very same
// bytes), REG_DWORD (4 bytes) as rdInteger, REG_BINARY as rdBinary, everything else as rdRaw<type>
// with the exact bytes (text types then with kRegistryBytesEncoding), so that no value changes.
EncodedValue EncodeValue(const RegValue& value);

enum class DecodeStatus { Ok, NoValue, BadData };
struct DecodedValue {
    DecodeStatus status = DecodeStatus::NoValue;
    RegValue value;
};
// The registry value an ITEM's TYPE, (already unescaped) VALUE and ENCODING stand for. NoValue for a
// TYPE the program does not know (nothing is written for it); BadData when binary text holds a piece
// that is not a hexadecimal byte.
DecodedValue DecodeValue(const std::string& type, const std::string& unescapedText,
                         const std::string& encoding = "");

}  // namespace korvane
