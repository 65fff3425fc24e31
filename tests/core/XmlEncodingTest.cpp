// Telling a file's encoding before the parser reads it: what is left to the parser, what is converted
// here and what is refused.
#include <gtest/gtest.h>

#include "platform/XmlEncoding.h"

namespace korvane {
namespace {

TEST(XmlEncodingTest, DeclarationsAreReadInAnyCaseWithEitherQuote) {
    EXPECT_EQ(DeclaredXmlEncoding("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>"), "utf-8");
    EXPECT_EQ(DeclaredXmlEncoding("<?xml version='1.0' encoding='Windows-1252'?><a/>"), "windows-1252");
    EXPECT_EQ(DeclaredXmlEncoding("<?xml version=\"1.0\"?><a encoding=\"x\"/>"), "");
    EXPECT_EQ(DeclaredXmlEncoding(" <?xml version=\"1.0\" encoding=\"UTF-8\"?>"), "");  // not at the start
    EXPECT_EQ(DeclaredXmlEncoding("<?xml version=\"1.0\" encoding=\"UTF-8?>"), "");     // never closed
    EXPECT_EQ(DeclaredXmlEncoding(""), "");
}

TEST(XmlEncodingTest, OnlyWindows1252IsConvertedAndUnknownEncodingsOfNonAsciiTextAreRefused) {
    const std::string cp1252 = "<?xml version=\"1.0\" encoding=\"cp1252\"?><a v=\"\x80\"/>";
    EXPECT_EQ(SniffXmlEncoding(cp1252).kind, XmlEncodingKind::Windows1252);
    EXPECT_EQ(SniffXmlEncoding("<?xml version=\"1.0\" encoding=\"UTF-16\"?>").kind,
              XmlEncodingKind::LeftToParser);
    EXPECT_EQ(SniffXmlEncoding("<a/>").kind, XmlEncodingKind::LeftToParser);

    const SniffedXmlEncoding koi8 =
        SniffXmlEncoding("<?xml version=\"1.0\" encoding=\"KOI8-R\"?><a v=\"\xC1\"/>");
    EXPECT_EQ(koi8.kind, XmlEncodingKind::Unsupported);
    EXPECT_EQ(koi8.declared, "koi8-r");
    // Plain ASCII reads the same in every ASCII-compatible encoding.
    EXPECT_EQ(SniffXmlEncoding("<?xml version=\"1.0\" encoding=\"KOI8-R\"?><a/>").kind,
              XmlEncodingKind::LeftToParser);
    // A byte-order mark decides before any declaration.
    EXPECT_EQ(
        SniffXmlEncoding("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"KOI8-R\"?><a v=\"\xC3\xA4\"/>").kind,
        XmlEncodingKind::LeftToParser);
}

TEST(XmlEncodingTest, Windows1252BytesBecomeTheirCharacters) {
    EXPECT_EQ(Windows1252ToUtf8("a\x80\xE4\x9F"), "a\xE2\x82\xAC\xC3\xA4\xC5\xB8");  // a € ä Ÿ
    EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81");  // undefined in the code page: kept as U+0081
    EXPECT_EQ(Windows1252ToUtf8(""), "");
}

}  // namespace
}  // namespace korvane
