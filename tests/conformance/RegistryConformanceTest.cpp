// Registry behaviour the program relies on, checked against whichever backend the build provides.
// Only what Windows documents and Wine also does is asserted: sub-key order is checked with letters
// and digits only (Windows sorts upper-cased names, Wine lower-cased ones), and value order is checked
// as a set here because Wine keeps values sorted while Windows keeps them in creation order.
#include <gtest/gtest.h>

#include <algorithm>

#include "conformance/RegistryFixture.h"

namespace korvane::conformance {
namespace {

TEST_F(RegistryConformance, OpenMissingKeyFailsWithFileNotFound) {
    HKey key = 0;
    EXPECT_EQ(reg().openKey(scratch(), "Missing", access::Read, key), status::FileNotFound);
    EXPECT_EQ(reg().openKey(scratch(), "Missing\\Deeper", access::Read, key), status::FileNotFound);
    // A failed open creates nothing.
    EXPECT_TRUE(Subkeys(scratch()).empty());
}

TEST_F(RegistryConformance, CreateKeyMakesTheWholePathAndReopensExisting) {
    {
        OpenKey leaf = Create("One\\Two\\Three");
        EXPECT_EQ(reg().setValue(leaf.get(), "Mark", TextValue("here")), status::Success);
    }
    EXPECT_EQ(Subkeys(scratch()), std::vector<std::string>{"One"});
    // Creating an existing key opens it and leaves its contents alone.
    OpenKey again = Create("One\\Two\\Three");
    RegValue value;
    EXPECT_EQ(reg().queryValue(again.get(), "Mark", value), status::Success);
    EXPECT_EQ(value.data, TextValue("here").data);

    HKey opened = 0;
    ASSERT_EQ(reg().openKey(target_.scratchRoot, target_.scratchPath + "\\One\\Two", access::Read, opened),
              status::Success);
    OpenKey two(reg(), opened);
    EXPECT_EQ(Subkeys(two.get()), std::vector<std::string>{"Three"});
}

TEST_F(RegistryConformance, EmptyPathAndTrailingBackslashOpenTheSameKey) {
    OpenKey child = Create("Child");
    ASSERT_EQ(reg().setValue(child.get(), "V", TextValue("x")), status::Success);

    HKey same = 0;
    ASSERT_EQ(reg().openKey(child.get(), "", access::Read, same), status::Success);
    OpenKey sameKey(reg(), same);
    EXPECT_EQ(ValueNames(sameKey.get()), std::vector<std::string>{"V"});

    HKey trailing = 0;
    ASSERT_EQ(reg().openKey(scratch(), "Child\\", access::Read, trailing), status::Success);
    OpenKey trailingKey(reg(), trailing);
    EXPECT_EQ(ValueNames(trailingKey.get()), std::vector<std::string>{"V"});
}

TEST_F(RegistryConformance, CloseKeyReleasesTheHandleOnce) {
    HKey key = 0;
    ASSERT_EQ(reg().createKey(scratch(), "Closing", access::AllAccess, key), status::Success);
    EXPECT_EQ(reg().closeKey(key), status::Success);
    EXPECT_EQ(reg().closeKey(key), status::InvalidHandle);
}

TEST_F(RegistryConformance, SubkeysEnumerateInCaseInsensitiveOrder) {
    for (const char* name : {"beta", "Alpha", "gamma", "Delta", "alpha2", "B1", "a"}) Create(name);
    EXPECT_EQ(Subkeys(scratch()),
              (std::vector<std::string>{"a", "Alpha", "alpha2", "B1", "beta", "Delta", "gamma"}));
    KeyInfo info;
    ASSERT_EQ(reg().queryInfo(scratch(), info), status::Success);
    EXPECT_EQ(info.subkeyCount, 7u);
    EXPECT_EQ(info.valueCount, 0u);
}

TEST_F(RegistryConformance, NamesAreCaseInsensitiveAndCasePreserving) {
    Create("MixedCase");
    {
        // Creating under another spelling opens the same key and keeps the first spelling.
        OpenKey upper = Create("MIXEDCASE");
        ASSERT_EQ(reg().setValue(upper.get(), "ValueName", TextValue("v")), status::Success);
    }
    EXPECT_EQ(Subkeys(scratch()), std::vector<std::string>{"MixedCase"});

    HKey key = 0;
    ASSERT_EQ(reg().openKey(scratch(), "mixedcase", access::Read, key), status::Success);
    OpenKey lower(reg(), key);
    RegValue value;
    EXPECT_EQ(reg().queryValue(lower.get(), "VALUENAME", value), status::Success);
    EXPECT_EQ(ValueNames(lower.get()), std::vector<std::string>{"ValueName"});

    // Writing a value under another spelling replaces its data, not its name.
    HKey writable = 0;
    ASSERT_EQ(reg().openKey(scratch(), "MixedCase", access::AllAccess, writable), status::Success);
    OpenKey w(reg(), writable);
    ASSERT_EQ(reg().setValue(w.get(), "valuename", TextValue("second")), status::Success);
    EXPECT_EQ(ValueNames(w.get()), std::vector<std::string>{"ValueName"});
    ASSERT_EQ(reg().queryValue(w.get(), "ValueName", value), status::Success);
    EXPECT_EQ(value.data, TextValue("second").data);
}

TEST_F(RegistryConformance, ValuesEnumerateEachOnceWithTypeAndData) {
    ASSERT_EQ(reg().setValue(scratch(), "zeta", TextValue("z")), status::Success);
    ASSERT_EQ(reg().setValue(scratch(), "Alpha", BytesValue(regtype::Dword, {1, 0, 0, 0})), status::Success);
    ASSERT_EQ(reg().setValue(scratch(), "mid", BytesValue(regtype::Binary, {9, 8})), status::Success);

    std::vector<NamedRegValue> values;
    ASSERT_EQ(reg().enumValues(scratch(), values, true), status::Success);
    ASSERT_EQ(values.size(), 3u);
    for (const NamedRegValue& v : values) {
        if (v.name == "zeta") {
            EXPECT_EQ(v.value.type, regtype::Sz);
            EXPECT_EQ(v.value.data, TextValue("z").data);
        } else if (v.name == "Alpha") {
            EXPECT_EQ(v.value.type, regtype::Dword);
            EXPECT_EQ(v.value.data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
        } else {
            EXPECT_EQ(v.name, "mid");
            EXPECT_EQ(v.value.type, regtype::Binary);
            EXPECT_EQ(v.value.data, (std::vector<std::uint8_t>{9, 8}));
        }
    }

    // Without data the names and types still come.
    ASSERT_EQ(reg().enumValues(scratch(), values, false), status::Success);
    ASSERT_EQ(values.size(), 3u);
    std::vector<std::string> names;
    for (const NamedRegValue& v : values) {
        names.push_back(v.name);
        if (v.name == "mid") {
            EXPECT_EQ(v.value.type, regtype::Binary);
        }
    }
    EXPECT_EQ(Sorted(names), (std::vector<std::string>{"Alpha", "mid", "zeta"}));

    KeyInfo info;
    ASSERT_EQ(reg().queryInfo(scratch(), info), status::Success);
    EXPECT_EQ(info.valueCount, 3u);
}

TEST_F(RegistryConformance, ValueTypesKeepTheirBytes) {
    struct Case {
        const char* name;
        RegValue value;
    };
    const std::vector<Case> cases = {
        {"Sz", TextValue("C:\\Program Files\\App\\app.exe")},
        {"EmptySz", TextValue("")},
        {"ExpandSz", TextValue("%SystemRoot%\\system32\\x.dll", regtype::ExpandSz)},
        {"MultiSz", UnitsValue(regtype::MultiSz, std::u16string_view(u"a\0bc\0\0", 6))},
        {"Dword", BytesValue(regtype::Dword, {0x78, 0x56, 0x34, 0x12})},
        {"Qword", BytesValue(regtype::Qword, {1, 2, 3, 4, 5, 6, 7, 8})},
        {"Binary", BytesValue(regtype::Binary, {0, 255, 0, 128})},
        {"EmptyBinary", BytesValue(regtype::Binary, {})},
        {"None", BytesValue(regtype::None, {7})},
        {"EmptyNone", BytesValue(regtype::None, {})},
    };
    for (const Case& c : cases)
        ASSERT_EQ(reg().setValue(scratch(), c.name, c.value), status::Success) << c.name;
    for (const Case& c : cases) {
        RegValue read;
        ASSERT_EQ(reg().queryValue(scratch(), c.name, read), status::Success) << c.name;
        EXPECT_EQ(read.type, c.value.type) << c.name;
        EXPECT_EQ(read.data, c.value.data) << c.name;
    }
    // A REG_SZ crosses the seam as the registry holds it: UTF-16 units plus one terminating zero.
    RegValue sz;
    ASSERT_EQ(reg().queryValue(scratch(), "EmptySz", sz), status::Success);
    EXPECT_EQ(sz.data, (std::vector<std::uint8_t>{0, 0}));
}

// What other programs leave in text values comes back byte for byte, through a read and a listing:
// the undo history records these bytes and must be able to write them back unchanged.
TEST_F(RegistryConformance, TextValuesKeepEveryByteTheyHold) {
    const std::vector<std::pair<std::string, RegValue>> cases = {
        {"OddLength", BytesValue(regtype::Sz, {'a', 0, 'b'})},
        {"Unterminated", UnitsValue(regtype::Sz, u"abc")},
        {"ExtraZeros", UnitsValue(regtype::ExpandSz, std::u16string_view(u"%x%\0\0\0", 6))},
        {"ZeroInside", UnitsValue(regtype::Sz, std::u16string_view(u"a\0b\0", 4))},
        {"LoneSurrogate", UnitsValue(regtype::Sz, std::u16string_view(u"x\xDC00"
                                                                      u"y\0",
                                                                      4))},
        {"BinaryAsText", BytesValue(regtype::Sz, {0xFF, 0xFE, 0x00, 0xD8, 0x41})},
        {"EmptyText", BytesValue(regtype::Sz, {})},
        {"MultiUnterminated", UnitsValue(regtype::MultiSz, std::u16string_view(u"a\0b", 3))},
        {"Link", UnitsValue(regtype::Link, u"\\Registry\\Machine")},
        {"UnknownType", BytesValue(0x4242, {1, 2, 3})},
    };
    for (const auto& [name, value] : cases)
        ASSERT_EQ(reg().setValue(scratch(), name, value), status::Success) << name;
    for (const auto& [name, value] : cases) {
        RegValue read;
        ASSERT_EQ(reg().queryValue(scratch(), name, read), status::Success) << name;
        EXPECT_EQ(read.type, value.type) << name;
        EXPECT_EQ(read.data, value.data) << name;
    }
    std::vector<NamedRegValue> listed;
    ASSERT_EQ(reg().enumValues(scratch(), listed, true), status::Success);
    ASSERT_EQ(listed.size(), cases.size());
    for (const NamedRegValue& v : listed) {
        auto match =
            std::find_if(cases.begin(), cases.end(), [&](const auto& c) { return c.first == v.name; });
        ASSERT_NE(match, cases.end()) << v.name;
        EXPECT_EQ(v.value.type, match->second.type) << v.name;
        EXPECT_EQ(v.value.data, match->second.data) << v.name;
    }
}

// Registry names are UTF-16 without any check: one with an unpaired surrogate must be listed, opened,
// read and deleted under the very name it has, or the program could neither record nor delete it.
TEST_F(RegistryConformance, NamesThatAreNotValidUtf16KeepTheirUnits) {
    const std::string key = "k" + Utf8FromUtf16(std::u16string(1, char16_t(0xD801))) + "z";
    const std::string value = Utf8FromUtf16(std::u16string(1, char16_t(0xDFFF))) + "v";
    {
        OpenKey created = Create(key);
        ASSERT_EQ(reg().setValue(created.get(), value, TextValue("data")), status::Success);
    }
    EXPECT_EQ(Subkeys(scratch()), std::vector<std::string>{key});
    HKey opened = 0;
    ASSERT_EQ(reg().openKey(scratch(), key, access::AllAccess, opened), status::Success);
    OpenKey keyHandle(reg(), opened);
    EXPECT_EQ(ValueNames(keyHandle.get()), std::vector<std::string>{value});
    RegValue read;
    ASSERT_EQ(reg().queryValue(keyHandle.get(), value, read), status::Success);
    EXPECT_EQ(read.data, TextValue("data").data);
    EXPECT_EQ(reg().deleteValue(keyHandle.get(), value), status::Success);
    EXPECT_EQ(reg().deleteKey(scratch(), key), status::Success);
    EXPECT_TRUE(Subkeys(scratch()).empty());
}

TEST_F(RegistryConformance, LongNamesAndControlCharactersInNames) {
    const std::string longKey(255, 'k');  // the longest key name Windows takes
    const std::string longValue(2000, 'v');
    const std::string odd = "tab\there \x01 & <\"quote\"> \r\n end ";
    {
        OpenKey created = Create(longKey + "\\" + odd);
        ASSERT_EQ(reg().setValue(created.get(), longValue, TextValue("x")), status::Success);
        ASSERT_EQ(reg().setValue(created.get(), odd, TextValue("y")), status::Success);
    }
    EXPECT_EQ(Subkeys(scratch()), std::vector<std::string>{longKey});
    HKey opened = 0;
    ASSERT_EQ(reg().openKey(scratch(), longKey + "\\" + odd, access::Read, opened), status::Success);
    OpenKey keyHandle(reg(), opened);
    EXPECT_EQ(Sorted(ValueNames(keyHandle.get())), Sorted({longValue, odd}));
}

TEST_F(RegistryConformance, DefaultValueIsTheEmptyName) {
    OpenKey key = Create("WithDefault");
    RegValue value;
    // A new key has no default value.
    EXPECT_EQ(reg().queryValue(key.get(), "", value), status::FileNotFound);
    ASSERT_EQ(reg().setValue(key.get(), "", TextValue("default text")), status::Success);
    ASSERT_EQ(reg().queryValue(key.get(), "", value), status::Success);
    EXPECT_EQ(value.type, regtype::Sz);
    EXPECT_EQ(value.data, TextValue("default text").data);
    EXPECT_EQ(ValueNames(key.get()), std::vector<std::string>{""});
    EXPECT_EQ(reg().deleteValue(key.get(), ""), status::Success);
    EXPECT_EQ(reg().queryValue(key.get(), "", value), status::FileNotFound);
}

TEST_F(RegistryConformance, DeleteKeyRefusesKeyWithSubkeysAndDeletesLeaf) {
    Create("Parent\\Child");
    EXPECT_EQ(reg().deleteKey(scratch(), "Parent"), status::AccessDenied);
    EXPECT_EQ(Subkeys(scratch()), std::vector<std::string>{"Parent"});

    EXPECT_EQ(reg().deleteKey(scratch(), "Parent\\Child"), status::Success);
    EXPECT_EQ(reg().deleteKey(scratch(), "parent"), status::Success);
    EXPECT_TRUE(Subkeys(scratch()).empty());
    EXPECT_EQ(reg().deleteKey(scratch(), "Parent"), status::FileNotFound);
}

TEST_F(RegistryConformance, HandleOfDeletedKeyReportsKeyDeleted) {
    OpenKey doomed = Create("Doomed");
    ASSERT_EQ(reg().deleteKey(scratch(), "Doomed"), status::Success);
    KeyInfo info;
    RegValue value;
    EXPECT_EQ(reg().queryInfo(doomed.get(), info), status::KeyDeleted);
    EXPECT_EQ(reg().queryValue(doomed.get(), "x", value), status::KeyDeleted);
    EXPECT_EQ(reg().setValue(doomed.get(), "x", TextValue("y")), status::KeyDeleted);
    EXPECT_EQ(reg().closeKey(doomed.release()), status::Success);
}

TEST_F(RegistryConformance, DeleteValueOfAbsentValueFailsWithFileNotFound) {
    RegValue value;
    EXPECT_EQ(reg().deleteValue(scratch(), "Absent"), status::FileNotFound);
    EXPECT_EQ(reg().queryValue(scratch(), "Absent", value), status::FileNotFound);
    ASSERT_EQ(reg().setValue(scratch(), "Present", TextValue("p")), status::Success);
    EXPECT_EQ(reg().deleteValue(scratch(), "PRESENT"), status::Success);
    EXPECT_EQ(reg().deleteValue(scratch(), "Present"), status::FileNotFound);
}

TEST_F(RegistryConformance, ReadOnlyHandleRefusesWrites) {
    Create("Guarded");
    HKey key = 0;
    ASSERT_EQ(reg().openKey(scratch(), "Guarded", access::Read, key), status::Success);
    OpenKey readOnly(reg(), key);
    EXPECT_EQ(reg().setValue(readOnly.get(), "x", TextValue("y")), status::AccessDenied);
    EXPECT_EQ(reg().deleteValue(readOnly.get(), "x"), status::AccessDenied);
    std::vector<std::string> names;
    EXPECT_EQ(reg().enumSubkeys(readOnly.get(), names), status::Success);
}

TEST_F(RegistryConformance, NonAsciiNamesAndDataSurvive) {
    const std::string german = "Ünïcødé";
    const std::string japanese = "日本";
    Create(german);
    {
        OpenKey key = Create(japanese);
        ASSERT_EQ(reg().setValue(key.get(), "名前", TextValue("データ Ærø")), status::Success);
        ASSERT_EQ(reg().setValue(key.get(), "Liste",
                                 UnitsValue(regtype::MultiSz, std::u16string_view(u"\u00E9\0x\0\0", 5))),
                  status::Success);
    }
    std::vector<std::string> names = Subkeys(scratch());
    EXPECT_EQ(Sorted(names), Sorted({german, japanese}));

    HKey key = 0;
    ASSERT_EQ(reg().openKey(scratch(), japanese, access::Read, key), status::Success);
    OpenKey opened(reg(), key);
    EXPECT_EQ(Sorted(ValueNames(opened.get())), Sorted({"名前", "Liste"}));
    RegValue value;
    ASSERT_EQ(reg().queryValue(opened.get(), "名前", value), status::Success);
    EXPECT_EQ(value.data, TextValue("データ Ærø").data);
    ASSERT_EQ(reg().queryValue(opened.get(), "Liste", value), status::Success);
    EXPECT_EQ(value.data, Utf16LeBytes(std::u16string_view(u"\u00E9\0x\0\0", 5)));

    EXPECT_EQ(reg().deleteKey(scratch(), german), status::Success);
    EXPECT_EQ(Subkeys(scratch()), std::vector<std::string>{japanese});
}

// What Windows and Wine share of HKEY_CLASSES_ROOT: it shows the machine's Software\Classes, and a key
// created through it lands there (Windows would show a per-user key first; Wine has none).
TEST_F(RegistryConformance, ClassesRootShowsTheMachinesClasses) {
    const std::string name = "KorvaneConformanceClasses";
    const std::string machine = "Software\\Classes\\" + name;
    DeleteKeyTree(reg(), roots::LocalMachine, machine);
    HKey key = 0;
    ASSERT_EQ(reg().createKey(roots::ClassesRoot, name + "\\Made", access::AllAccess, key), status::Success);
    ASSERT_EQ(reg().setValue(key, "v", TextValue("through the view")), status::Success);
    reg().closeKey(key);
    ASSERT_EQ(reg().openKey(roots::LocalMachine, machine + "\\Made", access::Read, key), status::Success);
    RegValue value;
    EXPECT_EQ(reg().queryValue(key, "v", value), status::Success);
    EXPECT_EQ(value.data, TextValue("through the view").data);
    reg().closeKey(key);

    ASSERT_EQ(reg().createKey(roots::LocalMachine, machine + "\\Direct", access::AllAccess, key),
              status::Success);
    reg().closeKey(key);
    ASSERT_EQ(reg().openKey(roots::ClassesRoot, name, access::Read, key), status::Success);
    EXPECT_EQ(Subkeys(key), (std::vector<std::string>{"Direct", "Made"}));
    reg().closeKey(key);

    EXPECT_EQ(reg().deleteKey(roots::ClassesRoot, name + "\\Made"), status::Success);
    EXPECT_EQ(reg().openKey(roots::LocalMachine, machine + "\\Made", access::Read, key),
              status::FileNotFound);
    DeleteKeyTree(reg(), roots::LocalMachine, machine);
}

}  // namespace
}  // namespace korvane::conformance
