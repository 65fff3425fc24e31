// The text forms of registry values in the undo history, byte for byte, and their way back.
#include <gtest/gtest.h>

#include "undo/ValueEncoding.h"

namespace korvane {
namespace {

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
    EncodedValue text = EncodeValue({regtype::Sz, {'C', ':', '\\', 'A', 0}});
    EXPECT_EQ(text.type, "rdString");
    EXPECT_EQ(text.value, "C:\\\\A");
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
        {regtype::ExpandSz, {'%', 'S', '%', '\\', 'x', 0}},
        {regtype::MultiSz, {'a', 0, 'b', '\\', 'c', 0, 0}},
        {regtype::Qword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {regtype::None, {}},
        {regtype::None, {0xDE, 0xAD}},
        {regtype::DwordBigEndian, {0, 0, 0, 1}},
        {regtype::Link, {'x', 0}},
        {0x12345, {9}},
        {regtype::Dword, {1, 2}},         // a short number is no rdInteger
        {regtype::Sz, {'a', 0, 'b', 0}},  // text after the terminator
        {regtype::Binary, Sequence(60)},
    };
    for (const RegValue& value : values) {
        EncodedValue encoded = EncodeValue(value);
        DecodedValue decoded = DecodeValue(encoded.type, UnescapeBackslashes(encoded.value));
        ASSERT_EQ(decoded.status, DecodeStatus::Ok) << encoded.type;
        EXPECT_EQ(decoded.value.type, value.type) << encoded.type;
        EXPECT_EQ(decoded.value.data, value.data) << encoded.type;
    }
    EXPECT_EQ(EncodeValue(values[0]).type, "rdExpandString");
    EXPECT_EQ(EncodeValue(values[0]).value, "%S%\\\\x");
    EXPECT_EQ(EncodeValue(values[1]).type, "rdRaw7");
    EXPECT_EQ(EncodeValue(values[1]).value, "61,00,62,5C,63,00,00");
    EXPECT_EQ(EncodeValue(values[2]).type, "rdRaw11");
    EXPECT_EQ(EncodeValue(values[3]).type, "rdRaw0");
    EXPECT_EQ(EncodeValue(values[8]).type, "rdRaw4");
    EXPECT_EQ(EncodeValue(values[9]).type, "rdRaw1");
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
    EXPECT_EQ(text.value.data, (std::vector<std::uint8_t>{0}));
}

}  // namespace
}  // namespace korvane
