// The text forms of registry values in the undo history (see ValueEncoding.h).
#include "undo/ValueEncoding.h"

#include <charconv>

#include "platform/Utf16.h"

namespace korvane {

namespace {

const char* const kHexDigits = "0123456789ABCDEF";

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The value of a run of hexadecimal digits, or nothing when the text holds anything else or more
// significant bits than `bits`.
std::optional<std::uint32_t> ParseHex(std::string_view text, int bits) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        int digit = HexDigitValue(c);
        if (digit < 0) return std::nullopt;
        value = (value << 4) | static_cast<std::uint64_t>(digit);
        if (value >> bits) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

bool IsTextType(std::uint32_t type) {
    return type == regtype::Sz || type == regtype::ExpandSz || type == regtype::MultiSz;
}

// Raw text bytes of an entry recorded before text crossed the seam as UTF-16: they were the UTF-8
// form of the registry's text, converted back unit for unit (terminators included) when restored.
std::vector<std::uint8_t> FromEarlierUtf8(const std::vector<std::uint8_t>& bytes) {
    return Utf16LeBytes(
        Utf16FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

}  // namespace

std::string EscapeBackslashes(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

std::string UnescapeBackslashes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        }
    }
    return out;
}

std::string EncodeInteger(std::uint32_t value) {
    std::string out(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4) out[static_cast<size_t>(i)] = kHexDigits[value & 0xF];
    return out;
}

std::uint32_t DecodeInteger(const std::string& text) {
    return ParseHex(text, 32).value_or(0);
}

std::string EncodeBinary(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return {};
    // Written in place: a repair encodes tens of thousands of these.
    const size_t n = bytes.size();
    std::string out(n * 3 - 1 + (n >= 2 ? (n - 2) / 25 : 0), ',');
    char* at = out.data();
    for (size_t i = 0; i < n; ++i) {
        *at++ = kHexDigits[bytes[i] >> 4];
        *at++ = kHexDigits[bytes[i] & 0xF];
        if (i + 1 == n) break;
        ++at;  // the comma
        if (i > 0 && i % 25 == 0) *at++ = '\\';
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> DecodeBinary(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    if (text.empty()) return bytes;
    bytes.reserve(text.size() / 3 + 1);
    std::string_view rest(text);
    while (true) {
        size_t comma = rest.find(',');
        // Only the low 8 bits count, but the piece must still be a number the registry editor
        // of the time would have read, hence the 32-bit limit.
        auto piece = ParseHex(rest.substr(0, comma), 32);
        if (!piece) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*piece & 0xFF));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return bytes;
}

EncodedValue EncodeValue(const RegValue& value) {
    switch (value.type) {
        case regtype::Sz:
            if (auto text = CleanRegistryText(value.data))
                return {historytype::String, EscapeBackslashes(*text), ""};
            break;
        case regtype::ExpandSz:
            if (auto text = CleanRegistryText(value.data))
                return {historytype::ExpandString, EscapeBackslashes(*text), ""};
            break;
        case regtype::Dword:
            if (value.data.size() == 4) {
                std::uint32_t n = static_cast<std::uint32_t>(value.data[0]) |
                                  static_cast<std::uint32_t>(value.data[1]) << 8 |
                                  static_cast<std::uint32_t>(value.data[2]) << 16 |
                                  static_cast<std::uint32_t>(value.data[3]) << 24;
                return {historytype::Integer, EncodeInteger(n), ""};
            }
            break;
        case regtype::Binary:
            return {historytype::Binary, EncodeBinary(value.data), ""};
        default:
            break;
    }
    // Data the classic forms cannot carry keeps its type and its bytes.
    return {historytype::RawPrefix + std::to_string(value.type), EncodeBinary(value.data),
            IsTextType(value.type) ? kRegistryBytesEncoding : ""};
}

DecodedValue DecodeValue(const std::string& type, const std::string& text, const std::string& encoding) {
    DecodedValue out;
    if (type == historytype::String || type == historytype::ExpandString) {
        out.value.type = type == historytype::String ? regtype::Sz : regtype::ExpandSz;
        out.value.data = RegistryTextBytes(text);
        out.status = DecodeStatus::Ok;
        return out;
    }
    if (type == historytype::Integer) {
        std::uint32_t n = DecodeInteger(text);
        out.value.type = regtype::Dword;
        out.value.data = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                          static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
        out.status = DecodeStatus::Ok;
        return out;
    }
    std::uint32_t registryType = 0;
    if (type == historytype::Binary) {
        registryType = regtype::Binary;
    } else if (type.starts_with(historytype::RawPrefix)) {
        std::string_view number(type);
        number.remove_prefix(std::string_view(historytype::RawPrefix).size());
        if (number.empty()) return out;
        for (char c : number)
            if (c < '0' || c > '9') return out;
        auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), registryType);
        if (error != std::errc() || end != number.data() + number.size()) return out;
    } else {
        return out;
    }
    auto bytes = DecodeBinary(text);
    if (!bytes) {
        out.status = DecodeStatus::BadData;
        return out;
    }
    out.value.type = registryType;
    const bool earlierUtf8 = IsTextType(registryType) && encoding != kRegistryBytesEncoding;
    out.value.data = earlierUtf8 ? FromEarlierUtf8(*bytes) : std::move(*bytes);
    out.status = DecodeStatus::Ok;
    return out;
}

}  // namespace korvane
