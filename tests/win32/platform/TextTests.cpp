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

TEST(Text, BrokenInputBecomesReplacementCharacters) {
    EXPECT_EQ(Widen("a\xFF"
                    "b"),
              L"a\uFFFDb");
    EXPECT_EQ(Narrow(std::wstring(L"x") + wchar_t(0xD800) + L"y"), "x\xEF\xBF\xBDy");  // lone surrogate
}

}  // namespace
}  // namespace korvane::win32
