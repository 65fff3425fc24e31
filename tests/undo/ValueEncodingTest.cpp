// The text forms of registry values in the undo history, byte for byte, and their way back.
#include <gtest/gtest.h>

#include "platform/Utf16.h"
#include "undo/ValueEncoding.h"

namespace korvane {
namespace {

std::vector<std::uint8_t> Units(std::u16string_view text) {
    return Utf16LeBytes(text);
}

std::vector<std::uint8_t> Sequence(int count) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
    return bytes;
}

TEST(ValueEncoding, BackslashesDoubleAndComeBack) {
    EXPECT_EQ(EscapeBackslashes("C:\\Program Files\\A"), "C:\\\\Program Files\\\\A");
    EXPECT_EQ(EscapeBackslashes("\\\\server\\share"), "\\\\\\\\server\\\\share");
    EXPECT_EQ(UnescapeBackslashes("\\\\\\\\server\\\\share"), "\\\\server\\share");
    EXPECT_EQ(EscapeBackslashes("a\\b"), "a\\\\b");
    // A lone backslash is dropped, which is what removes the run markers of binary text.
    EXPECT_EQ(UnescapeBackslashes("00,\\1A"), "00,1A");
    EXPECT_EQ(UnescapeBackslashes("a\\"), "a");
    EXPECT_EQ(UnescapeBackslashes("\\\\\\"), "\\");
    for (std::string text : {"", "\\", "\\\\\\", "x\\\\y\\", "%SystemRoot%\\system32\\a.dll"})
        EXPECT_EQ(UnescapeBackslashes(EscapeBackslashes(text)), text) << text;
}

TEST(ValueEncoding, IntegerIsEightUpperCaseDigits) {
    EXPECT_EQ(EncodeInteger(1), "00000001");
    EXPECT_EQ(EncodeInteger(0x1A), "0000001A");
    EXPECT_EQ(EncodeInteger(0xFFFFFFFF), "FFFFFFFF");
    EXPECT_EQ(DecodeInteger("0000001A"), 26u);
    EXPECT_EQ(DecodeInteger("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(DecodeInteger("1a"), 26u);
    // Not a hexadecimal number of 32 bits: 0.
    EXPECT_EQ(DecodeInteger(""), 0u);
    EXPECT_EQ(DecodeInteger("12G4"), 0u);
    EXPECT_EQ(DecodeInteger("100000000"), 0u);
    EXPECT_EQ(DecodeInteger("000000001A"), 26u);
}

TEST(ValueEncoding, BinaryRunsOfTwentySixThenTwentyFive) {
    EXPECT_EQ(EncodeBinary({}), "");
    EXPECT_EQ(EncodeBinary({0xAB}), "AB");
    EXPECT_EQ(EncodeBinary(Sequence(30)),
              "00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19,\\1A,1B,1C,1D");
    // Exactly 26 bytes: byte 25 is the last, so neither comma nor marker follows it.
    EXPECT_EQ(EncodeBinary(Sequence(26)).back(), '9');
    EXPECT_EQ(EncodeBinary(Sequence(26)).find('\\'), std::string::npos);
    std::string long76 = EncodeBinary(Sequence(77));
    EXPECT_EQ(std::count(long76.begin(), long76.end(), '\\'), 3);
    EXPECT_NE(long76.find("19,\\1A"), std::string::npos);
    EXPECT_NE(long76.find("32,\\33"), std::string::npos);
    EXPECT_NE(long76.find("4B,\\4C"), std::string::npos);
}

TEST(ValueEncoding, BinaryDecodesBackAndRefusesBadPieces) {
    for (int count : {0, 1, 25, 26, 27, 30, 51, 300}) {
        auto bytes = Sequence(count);
        auto decoded = DecodeBinary(UnescapeBackslashes(EncodeBinary(bytes)));
        ASSERT_TRUE(decoded) << count;
        EXPECT_EQ(*decoded, bytes) << count;
    }
    EXPECT_EQ(DecodeBinary("1FF,a"), (std::vector<std::uint8_t>{0xFF, 0x0A}));  // low 8 bits
    EXPECT_FALSE(DecodeBinary("00,ZZ,01"));
    EXPECT_FALSE(DecodeBinary("00,,01"));
    EXPECT_FALSE(DecodeBinary("00,"));
    EXPECT_FALSE(DecodeBinary(" 00"));
}

TEST(ValueEncoding, ClassicTypesKeepTheirForms) {
    EncodedValue text = EncodeValue({regtype::Sz, Units(std::u16string_view(u"C:\\A\0", 5))});
    EXPECT_EQ(text.type, "rdString");
    EXPECT_EQ(text.value, "C:\\\\A");
    EXPECT_EQ(text.encoding, "");
    EncodedValue accent = EncodeValue({regtype::Sz, RegistryTextBytes("caf\xC3\xA9 \xF0\x9F\x94\x91")});
    EXPECT_EQ(accent.type, "rdString");
    EXPECT_EQ(accent.value, "caf\xC3\xA9 \xF0\x9F\x94\x91");
    EncodedValue number = EncodeValue({regtype::Dword, {0x1A, 0, 0, 0}});
    EXPECT_EQ(number.type, "rdInteger");
    EXPECT_EQ(number.value, "0000001A");
    EncodedValue bytes = EncodeValue({regtype::Binary, {}});
    EXPECT_EQ(bytes.type, "rdBinary");
    EXPECT_EQ(bytes.value, "");
}

// Used to record REG_EXPAND_SZ as a plain string and the other types as an empty string.
TEST(ValueEncoding, EveryOtherTypeSurvivesByteForByte) {
    std::vector<RegValue> values = {
        {regtype::ExpandSz, Units(std::u16string_view(u"%S%\\x\0", 6))},
        {regtype::MultiSz, Units(std::u16string_view(u"a\0b\\c\0\0", 7))},
        {regtype::Qword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {regtype::None, {}},
        {regtype::None, {0xDE, 0xAD}},
        {regtype::DwordBigEndian, {0, 0, 0, 1}},
        {regtype::Link, {'x', 0}},
        {0x12345, {9}},
        {regtype::Dword, {1, 2}},                                 // a short number is no rdInteger
        {regtype::Sz, Units(std::u16string_view(u"a\0b\0", 4))},  // text after the terminator
        {regtype::Binary, Sequence(60)},
        {regtype::Sz, {'a', 0, 'b'}},                                   // an odd byte count
        {regtype::Sz, Units(u"ab")},                                    // no terminator
        {regtype::ExpandSz, Units(std::u16string_view(u"ab\0\0", 4))},  // an extra zero
        {regtype::Sz, Units(std::u16string_view(u"a\xD800"
                                                u"b\0",
                                                4))},  // an unpaired surrogate
        {regtype::Sz, {}},                             // not even a terminator
    };
    for (const RegValue& value : values) {
        EncodedValue encoded = EncodeValue(value);
        DecodedValue decoded =
            DecodeValue(encoded.type, UnescapeBackslashes(encoded.value), encoded.encoding);
        ASSERT_EQ(decoded.status, DecodeStatus::Ok) << encoded.type;
        EXPECT_EQ(decoded.value.type, value.type) << encoded.type;
        EXPECT_EQ(decoded.value.data, value.data) << encoded.type;
    }
    EXPECT_EQ(EncodeValue(values[0]).type, "rdExpandString");
    EXPECT_EQ(EncodeValue(values[0]).value, "%S%\\\\x");
    EXPECT_EQ(EncodeValue(values[1]).type, "rdRaw7");
    EXPECT_EQ(EncodeValue(values[1]).value, "61,00,00,00,62,00,5C,00,63,00,00,00,00,00");
    EXPECT_EQ(EncodeValue(values[1]).encoding, "UTF-16LE");
    EXPECT_EQ(EncodeValue(values[2]).type, "rdRaw11");
    EXPECT_EQ(EncodeValue(values[2]).encoding, "");  // only text types have bytes to tell apart
    EXPECT_EQ(EncodeValue(values[3]).type, "rdRaw0");
    EXPECT_EQ(EncodeValue(values[8]).type, "rdRaw4");
    for (size_t i : {9u, 11u, 12u, 14u, 15u}) {
        EXPECT_EQ(EncodeValue(values[i]).type, "rdRaw1") << i;
        EXPECT_EQ(EncodeValue(values[i]).encoding, "UTF-16LE") << i;
    }
    EXPECT_EQ(EncodeValue(values[13]).type, "rdRaw2");
    EXPECT_EQ(EncodeValue(values[11]).value, "61,00,62");
}

// Entries written while text crossed the seam as UTF-8 hold UTF-8 bytes in their raw text forms and
// no ENCODING: they come back as UTF-16, unit for unit, as they did then.
TEST(ValueEncoding, RawTextOfEarlierEntriesIsUtf8) {
    DecodedValue multi = DecodeValue("rdRaw7", "61,00,C3,A9,00,00");
    ASSERT_EQ(multi.status, DecodeStatus::Ok);
    EXPECT_EQ(multi.value.type, regtype::MultiSz);
    EXPECT_EQ(multi.value.data, Units(std::u16string_view(u"a\0\u00E9\0\0", 5)));
    DecodedValue text = DecodeValue("rdRaw1", "61,00,62,00");
    EXPECT_EQ(text.value.type, regtype::Sz);
    EXPECT_EQ(text.value.data, Units(std::u16string_view(u"a\0b\0", 4)));
    // REG_LINK and the non-text types always held the registry's own bytes.
    EXPECT_EQ(DecodeValue("rdRaw6", "61,00").value.data, (std::vector<std::uint8_t>{0x61, 0}));
    EXPECT_EQ(DecodeValue("rdRaw3", "C3,A9").value.data, (std::vector<std::uint8_t>{0xC3, 0xA9}));
    // The same bytes with the marker are taken as they are.
    EXPECT_EQ(DecodeValue("rdRaw7", "61,00,C3,A9", "UTF-16LE").value.data,
              (std::vector<std::uint8_t>{0x61, 0, 0xC3, 0xA9}));
}

TEST(ValueEncoding, DecodingUnknownAndBadTypes) {
    EXPECT_EQ(DecodeValue("rdstring", "x").status, DecodeStatus::NoValue);  // case counts
    EXPECT_EQ(DecodeValue("rdRaw", "00").status, DecodeStatus::NoValue);
    EXPECT_EQ(DecodeValue("rdRaw-1", "00").status, DecodeStatus::NoValue);
    EXPECT_EQ(DecodeValue("rdRaw99999999999", "00").status, DecodeStatus::NoValue);
    EXPECT_EQ(DecodeValue("rdBinary", "0x").status, DecodeStatus::BadData);
    EXPECT_EQ(DecodeValue("rdRaw7", "61,QQ").status, DecodeStatus::BadData);
    DecodedValue bad = DecodeValue("rdInteger", "zz");
    ASSERT_EQ(bad.status, DecodeStatus::Ok);
    EXPECT_EQ(bad.value.data, (std::vector<std::uint8_t>{0, 0, 0, 0}));
    DecodedValue text = DecodeValue("rdString", "");
    EXPECT_EQ(text.value.type, regtype::Sz);
    EXPECT_EQ(text.value.data, (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(DecodeValue("rdExpandString", "%A%\xC3\xA9").value.data,
              Units(std::u16string_view(u"%A%\u00E9\0", 5)));
}

}  // namespace
}  // namespace korvane
