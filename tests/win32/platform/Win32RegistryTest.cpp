// Win32Registry against the real registry: the roots map to the real predefined keys, handles are
// real HKEYs, names cross the seam as UTF-8 while the registry holds true UTF-16, and value data
// crosses as the very bytes the registry holds.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/Utf16.h"
#include "win32/platform/Win32Registry.h"

namespace korvane::win32 {
namespace {

constexpr wchar_t ScratchPath[] = L"Software\\KorvaneWin32RegistryTests";

HKEY Real(HKey key) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(key));
}

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, ScratchPath);
        ASSERT_EQ(registry.createKey(roots::CurrentUser, "Software\\KorvaneWin32RegistryTests",
                                     access::AllAccess, scratch),
                  status::Success);
    }
    void TearDown() override {
        registry.closeKey(scratch);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, ScratchPath);
    }

    // Writes raw UTF-16 bytes past the seam, as another program would.
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExW(Real(scratch), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    Win32Registry registry;
    HKey scratch = 0;
};

TEST_F(Win32RegistryTest, RootsMapToThePredefinedKeys) {
    // HKEY_CLASSES_ROOT is sign-extended on Win64: a plain cast of 0x80000000 is not a valid handle.
    std::vector<std::string> classes;
    EXPECT_EQ(registry.enumSubkeys(roots::ClassesRoot, classes), status::Success);
    EXPECT_FALSE(classes.empty());
    HKey software = 0;
    ASSERT_EQ(registry.openKey(roots::LocalMachine, "Software", access::Read, software), status::Success);
    EXPECT_EQ(registry.closeKey(software), status::Success);
    // The key created through the seam is the one Windows sees under HKEY_CURRENT_USER.
    HKEY direct = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, ScratchPath, 0, KEY_READ, &direct), ERROR_SUCCESS);
    ::RegCloseKey(direct);
}

TEST_F(Win32RegistryTest, NonAsciiNamesAndDataAreTrueUtf16InTheRegistry) {
    const std::string keyName =
        "Kl\xC3\xBC\xC3\x9F\x65l-\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87-\xE6\x97\xA5\xE6\x9C\xAC-\xF0\x9F\x94\x91";
    const std::wstring wideKeyName = L"Kl\u00FC\u00DFel-\u041A\u043B\u044E\u0447-\u65E5\u672C-\U0001F511";
    HKey key = 0;
    ASSERT_EQ(registry.createKey(scratch, keyName, access::AllAccess, key), status::Success);
    const std::string data = "C:\\Programme\\Gr\xC3\xB6\xC3\x9F\x65\\\xE6\x97\xA5.exe";
    ASSERT_EQ(registry.setValue(key, keyName, RegValue{regtype::Sz, RegistryTextBytes(data)}),
              status::Success);

    // Read past the seam: the name and the data must be the real characters, not code-page guesses.
    HKEY direct = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(Real(scratch), wideKeyName.c_str(), 0, KEY_READ, &direct), ERROR_SUCCESS);
    wchar_t buffer[64] = {};
    DWORD size = sizeof(buffer);
    DWORD type = 0;
    EXPECT_EQ(::RegQueryValueExW(direct, wideKeyName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                 &size),
              ERROR_SUCCESS);
    ::RegCloseKey(direct);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(buffer), L"C:\\Programme\\Gr\u00F6\u00DFe\\\u65E5.exe");
    EXPECT_EQ(size, (std::wstring(buffer).size() + 1) * sizeof(wchar_t));

    // And back through the seam.
    std::vector<std::string> subkeys;
    ASSERT_EQ(registry.enumSubkeys(scratch, subkeys), status::Success);
    EXPECT_EQ(subkeys, std::vector<std::string>{keyName});
    RegValue value;
    ASSERT_EQ(registry.queryValue(key, keyName, value), status::Success);
    EXPECT_EQ(value.data, RegistryTextBytes(data));
    EXPECT_EQ(TextOfRegistryBytes(value.data), data);
    registry.closeKey(key);
}

TEST_F(Win32RegistryTest, MultiStringKeepsItsZerosAndOtherTypesTheirBytes) {
    const std::vector<std::uint8_t> list = Utf16LeBytes(std::u16string_view(u"eins\0zw\u00F6lf\0\0", 12));
    ASSERT_EQ(registry.setValue(scratch, "List", RegValue{regtype::MultiSz, list}), status::Success);
    const std::vector<std::uint8_t> binary = {0x00, 0xFF, 0x41, 0x00, 0x42};  // odd length, zeros inside
    ASSERT_EQ(registry.setValue(scratch, "Blob", RegValue{regtype::Binary, binary}), status::Success);
    const wchar_t link[] = L"\\Registry\\Machine";  // REG_LINK: UTF-16 without a terminator
    SetRaw(L"Link", REG_LINK, link, sizeof(link) - sizeof(wchar_t));

    const wchar_t expectedList[] = L"eins\0zw\u00F6lf\0";
    DWORD size = 0;
    ASSERT_EQ(::RegQueryValueExW(Real(scratch), L"List", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof(expectedList));

    // Wine enumerates values sorted by name, Windows in creation order: look them up by name.
    std::vector<NamedRegValue> values;
    ASSERT_EQ(registry.enumValues(scratch, values, true), status::Success);
    std::map<std::string, RegValue> byName;
    for (const NamedRegValue& value : values) byName[value.name] = value.value;
    ASSERT_EQ(byName.size(), 3u);
    EXPECT_EQ(byName["List"].data, list);
    EXPECT_EQ(byName["Blob"].data, binary);
    EXPECT_EQ(byName["Link"].type, regtype::Link);
    EXPECT_EQ(byName["Link"].data.size(), sizeof(link) - sizeof(wchar_t));
}

// Text other programs wrote is passed on as it is, so that recording it loses nothing; readers that
// want text still get it (TextOfRegistryBytes).
TEST_F(Win32RegistryTest, MalformedTextFromOtherProgramsPassesUnchanged) {
    // A zero right behind the data would make RegSetValueExW count it in: "X" keeps it out.
    SetRaw(L"Unterminated", REG_SZ, L"abcX", 3 * sizeof(wchar_t));
    SetRaw(L"OddLength", REG_EXPAND_SZ, L"xy", 3);  // one and a half characters
    SetRaw(L"Empty", REG_SZ, nullptr, 0);
    RegValue value;
    ASSERT_EQ(registry.queryValue(scratch, "Unterminated", value), status::Success);
    EXPECT_EQ(value.data, Utf16LeBytes(u"abc"));
    EXPECT_EQ(TextOfRegistryBytes(value.data), "abc");
    ASSERT_EQ(registry.queryValue(scratch, "OddLength", value), status::Success);
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{'x', 0, 'y'}));
    EXPECT_EQ(TextOfRegistryBytes(value.data), "x");
    ASSERT_EQ(registry.queryValue(scratch, "Empty", value), status::Success);
    EXPECT_EQ(value.type, regtype::Sz);
    EXPECT_TRUE(value.data.empty());
    std::vector<NamedRegValue> values;
    ASSERT_EQ(registry.enumValues(scratch, values, true), status::Success);
    ASSERT_EQ(values.size(), 3u);
    for (const NamedRegValue& value : values) {
        if (value.name == "OddLength") {
            EXPECT_EQ(value.value.data, (std::vector<std::uint8_t>{'x', 0, 'y'}));
        }
    }
}

TEST_F(Win32RegistryTest, LongNamesAndLargeDataNeedNoFixedBuffers) {
    const std::string longName(200, 'k');
    const std::string longValueName(5000, 'v');
    std::string bigText(100000, 'd');
    HKey key = 0;
    ASSERT_EQ(registry.createKey(scratch, longName, access::AllAccess, key), status::Success);
    registry.closeKey(key);
    ASSERT_EQ(registry.setValue(scratch, longValueName, RegValue{regtype::Sz, RegistryTextBytes(bigText)}),
              status::Success);
    std::vector<std::string> subkeys;
    ASSERT_EQ(registry.enumSubkeys(scratch, subkeys), status::Success);
    EXPECT_EQ(subkeys, std::vector<std::string>{longName});
    std::vector<NamedRegValue> values;
    ASSERT_EQ(registry.enumValues(scratch, values, true), status::Success);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, longValueName);
    EXPECT_EQ(values[0].value.data.size(), (bigText.size() + 1) * 2);
    RegValue value;
    ASSERT_EQ(registry.queryValue(scratch, longValueName, value), status::Success);
    EXPECT_EQ(value.data.size(), (bigText.size() + 1) * 2);
}

TEST_F(Win32RegistryTest, StatusCodesComeBackUnchanged) {
    HKey key = 0;
    EXPECT_EQ(registry.openKey(scratch, "Missing", access::Read, key), status::FileNotFound);
    RegValue value;
    EXPECT_EQ(registry.queryValue(scratch, "Missing", value), status::FileNotFound);
    EXPECT_EQ(registry.deleteValue(scratch, "Missing"), status::FileNotFound);
    ASSERT_EQ(registry.createKey(scratch, "Parent\\Child", access::AllAccess, key), status::Success);
    registry.closeKey(key);
    EXPECT_NE(registry.deleteKey(scratch, "Parent"), status::Success);
    EXPECT_EQ(registry.deleteKey(scratch, "Parent\\Child"), status::Success);
    EXPECT_EQ(registry.deleteKey(scratch, "Parent"), status::Success);
    // Writing through a key opened for reading is refused by Windows itself.
    HKey readOnly = 0;
    ASSERT_EQ(
        registry.openKey(roots::CurrentUser, "Software\\KorvaneWin32RegistryTests", access::Read, readOnly),
        status::Success);
    EXPECT_EQ(registry.setValue(readOnly, "x", RegValue{regtype::Dword, {1, 0, 0, 0}}), status::AccessDenied);
    registry.closeKey(readOnly);
}

// Both registry views are addressed by their physical paths: what a 32-bit program writes to a
// redirected key is the Wow6432Node key to Korvane, whichever build runs, and the 64-bit key stays apart.
TEST(Win32RegistryViews, The32BitViewIsItsWow6432NodeKeyForBothBuilds) {
    Win32Registry registry;
    constexpr wchar_t kTestKey[] = L"Software\\KorvaneWin32ViewTest";
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_32KEY, 0);
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY, 0);
    HKEY written = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                                nullptr, &written, nullptr),
              ERROR_SUCCESS);
    const DWORD seven = 7;
    ::RegSetValueExW(written, L"n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), sizeof seven);
    ::RegCloseKey(written);

    HKey key = 0;
    ASSERT_EQ(registry.openKey(roots::LocalMachine, "Software\\Wow6432Node\\KorvaneWin32ViewTest",
                               access::Read, key),
              status::Success);
    RegValue value;
    EXPECT_EQ(registry.queryValue(key, "n", value), status::Success);
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
    registry.closeKey(key);
    EXPECT_EQ(registry.openKey(roots::LocalMachine, "Software\\KorvaneWin32ViewTest", access::Read, key),
              status::FileNotFound);

    // Deleted through its physical path, it is gone from the 32-bit view.
    EXPECT_EQ(registry.deleteKey(roots::LocalMachine, "Software\\Wow6432Node\\KorvaneWin32ViewTest"),
              status::Success);
    HKEY gone = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTestKey, 0, KEY_READ | KEY_WOW64_32KEY, &gone),
              ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace korvane::win32
