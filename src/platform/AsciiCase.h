// Letter case as Windows' names know it: only A-Z and a-z are folded. Every other byte, the bytes of
// UTF-8 sequences included, is compared exactly, so a name of another script is never changed.
// Locale-aware comparison (the sort of a list shown to a person) is the platform's, not this.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

inline std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

constexpr bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

constexpr bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

constexpr bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// Where `what` first stands in `text` at or after `from`, letter case aside; npos when nowhere. An
// empty `what` is found at `from` (as std::string_view::find finds it).
constexpr std::size_t FindNoCase(std::string_view text, std::string_view what, std::size_t from = 0) {
    if (from > text.size() || what.size() > text.size() - from) return std::string_view::npos;
    for (std::size_t at = from; at + what.size() <= text.size(); ++at)
        if (EqualsNoCase(text.substr(at, what.size()), what)) return at;
    return std::string_view::npos;
}

}  // namespace korvane
