// UTF-8 <-> UTF-16 at the edge: every character survives, embedded zeros included.
#include <gtest/gtest.h>

#include "win32/platform/Text.h"

namespace korvane::win32 {
namespace {

TEST(Text, RoundTripsEveryPlaneAndEmbeddedZeros) {
    const std::string text("a\0\xC3\xA9\xE6\x97\xA5\xF0\x9F\x94\x91\0", 12);
    const std::wstring wide = Widen(text);
    EXPECT_EQ(wide, std::wstring(L"a\0\u00E9\u65E5\U0001F511\0", 7));
    EXPECT_EQ(Narrow(wide), text);
    EXPECT_EQ(Widen(""), L"");
    EXPECT_EQ(Narrow(L""), "");
}

TEST(Text, BrokenUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Widen("a\xFF"
                    "b"),
              L"a\uFFFDb");
    EXPECT_EQ(Widen("\xC3"), L"\uFFFD");                      // cut short
    EXPECT_EQ(Widen("\xE0\x80\x80"), L"\uFFFD\uFFFD\uFFFD");  // overlong
}

// Names are UTF-16 without a check: one with an unpaired surrogate must come back as it was, or a key
// so named could be neither recorded nor deleted.
TEST(Text, UnpairedSurrogatesSurviveTheRoundTrip) {
    const std::wstring lone = std::wstring(L"x") + wchar_t(0xD800) + L"y" + wchar_t(0xDFFF);
    EXPECT_EQ(Narrow(lone), "x\xED\xA0\x80y\xED\xBF\xBF");
    EXPECT_EQ(Widen(Narrow(lone)), lone);
    const std::wstring pair = L"\U0001F511";  // a proper pair is one character in UTF-8
    EXPECT_EQ(Narrow(pair), "\xF0\x9F\x94\x91");
}

}  // namespace
}  // namespace korvane::win32
