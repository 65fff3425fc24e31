// The checksum file's text: what is written, what is read back, and what is refused as damaged.
#include <gtest/gtest.h>

#include "backup/RestorePointManifest.h"

namespace korvane {
namespace {

Sha256Digest Digest(std::uint8_t first, std::uint8_t last) {
    Sha256Digest digest{};
    digest.front() = first;
    digest.back() = last;
    return digest;
}

const std::string kZeros62(62, '0');

TEST(RestorePointManifest, OneLinePerFileInSha256sumLayout) {
    const std::string text =
        FormatManifest({{"HKEY_USERS.reg", Digest(0xAB, 0x01)}, {"b.reg", Digest(0, 0xFF)}});
    EXPECT_EQ(text, "ab" + kZeros62.substr(0, 60) + "01  HKEY_USERS.reg\r\n" + "00" + kZeros62.substr(0, 60) +
                        "ff  b.reg\r\n");
    const auto back = ParseManifest(text);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0].fileName, "HKEY_USERS.reg");
    EXPECT_EQ((*back)[0].digest, Digest(0xAB, 0x01));
    EXPECT_EQ((*back)[1].digest, Digest(0, 0xFF));
    EXPECT_EQ(FormatManifest({}), "");
}

TEST(RestorePointManifest, ReadsWhatSha256sumAndEditorsWrite) {
    // LF line ends, the binary-mode star, capital hex digits, blank lines, no final line end.
    const auto entries =
        ParseManifest("\nAB" + kZeros62.substr(0, 60) + "01 *x.reg\n\n" + kZeros62 + "00  y z.reg");
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].fileName, "x.reg");
    EXPECT_EQ((*entries)[0].digest, Digest(0xAB, 0x01));
    EXPECT_EQ((*entries)[1].fileName, "y z.reg");
    EXPECT_TRUE(ParseManifest("")->empty());
}

TEST(RestorePointManifest, RefusesDamagedLines) {
    const std::string hex = "ab" + kZeros62;
    EXPECT_TRUE(ParseManifest(hex + "  a.reg").has_value());
    EXPECT_FALSE(ParseManifest(hex.substr(1) + "  a.reg").has_value());            // a digit short
    EXPECT_FALSE(ParseManifest("g" + hex.substr(1) + "  a.reg").has_value());      // not hex
    EXPECT_FALSE(ParseManifest(hex + " a.reg").has_value());                       // one blank only
    EXPECT_FALSE(ParseManifest(hex + "  ").has_value());                           // no name
    EXPECT_FALSE(ParseManifest(hex + "  a.reg\n" + hex + "  a.reg").has_value());  // twice
    // Anything the registry editor would look for outside the restore point's folder.
    EXPECT_FALSE(ParseManifest(hex + "  ..\\HKEY_USERS.reg").has_value());
    EXPECT_FALSE(ParseManifest(hex + "  C:\\x.reg").has_value());
    EXPECT_FALSE(ParseManifest(hex + "  sub/x.reg").has_value());
    EXPECT_FALSE(ParseManifest(hex + "  ..").has_value());
    // One bad line spoils the file, wherever it stands.
    EXPECT_FALSE(ParseManifest(hex + "  a.reg\r\nrubbish\r\n").has_value());
}

}  // namespace
}  // namespace korvane
