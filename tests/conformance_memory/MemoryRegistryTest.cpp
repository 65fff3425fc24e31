// The in-memory registry beyond the conformance suite: its test hooks (keys that cannot be opened or
// written), the Windows rules Wine does not share (value creation order, upper-case key order, create
// rights of a handle), raw helpers, counters, and use from two threads.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "platform/Utf16.h"
#include "platform/memory/MemoryRegistry.h"

namespace korvane {
namespace {

constexpr HKey HKCU = roots::CurrentUser;
constexpr HKey HKLM = roots::LocalMachine;

class MemoryRegistryTest : public ::testing::Test {
protected:
    HKey Open(HKey parent, const std::string& path, std::uint32_t mask, long expected = status::Success) {
        HKey key = 0;
        EXPECT_EQ(reg.openKey(parent, path, mask, key), expected) << path;
        if (expected == status::Success) opened.push_back(key);
        return key;
    }
    void TearDown() override {
        for (HKey key : opened) reg.closeKey(key);
    }
    static RegValue Text(const std::string& text) { return RegValue{regtype::Sz, RegistryTextBytes(text)}; }

    MemoryRegistry reg;
    std::vector<HKey> opened;
};

TEST_F(MemoryRegistryTest, ValuesKeepCreationOrderAsOnWindows) {
    reg.CreateKey(HKCU, "K");
    HKey key = Open(HKCU, "K", access::AllAccess);
    for (const char* name : {"zeta", "Alpha", "mid"})
        ASSERT_EQ(reg.setValue(key, name, Text(name)), status::Success);
    EXPECT_EQ(reg.ValueNamesRaw(HKCU, "K"), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    // Overwriting keeps the place; deleting and adding again moves to the end.
    ASSERT_EQ(reg.setValue(key, "ZETA", Text("again")), status::Success);
    EXPECT_EQ(reg.ValueNamesRaw(HKCU, "K"), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    ASSERT_EQ(reg.deleteValue(key, "zeta"), status::Success);
    // The values after the deleted one are still found under their names.
    RegValue mid;
    ASSERT_EQ(reg.queryValue(key, "MID", mid), status::Success);
    EXPECT_EQ(mid.data, Text("mid").data);
    EXPECT_EQ(reg.GetString(HKCU, "K", "alpha"), "Alpha");
    ASSERT_EQ(reg.setValue(key, "zeta", Text("new")), status::Success);
    std::vector<NamedRegValue> values;
    ASSERT_EQ(reg.enumValues(key, values, true), status::Success);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[2].name, "zeta");
    EXPECT_EQ(values[2].value.data, Text("new").data);
}

TEST_F(MemoryRegistryTest, SubkeysSortByUpperCasedNamesAsOnWindows) {
    // "_" lies between the upper- and the lower-case letters: Windows puts "a_b" after "Alpha".
    for (const char* name : {"a_b", "Alpha", "aXb", "0"}) reg.CreateKey(HKCU, std::string("S\\") + name);
    EXPECT_EQ(reg.SubkeyNamesRaw(HKCU, "S"), (std::vector<std::string>{"0", "Alpha", "aXb", "a_b"}));
}

TEST_F(MemoryRegistryTest, RawTypesAndOddDataAreKept) {
    reg.SetValue(HKLM, "T", "link", RegValue{regtype::Link, {1, 2}});
    reg.SetValue(HKLM, "T", "odd", RegValue{0x1234, {3}});
    reg.SetValue(HKLM, "T", "unterminated", RegValue{regtype::Sz, {'a', 0, 'b', 0}});
    reg.SetValue(HKLM, "T", "oddLength", RegValue{regtype::Sz, {'a', 0, 0, 0, 'b'}});
    EXPECT_EQ(reg.GetValue(HKLM, "T", "link")->type, regtype::Link);
    EXPECT_EQ(reg.GetValue(HKLM, "T", "odd")->type, 0x1234u);
    EXPECT_EQ(reg.GetValue(HKLM, "T", "unterminated")->data, (std::vector<std::uint8_t>{'a', 0, 'b', 0}));
    EXPECT_EQ(reg.GetString(HKLM, "T", "unterminated"), "ab");
    EXPECT_EQ(reg.GetValue(HKLM, "T", "oddLength")->data, (std::vector<std::uint8_t>{'a', 0, 0, 0, 'b'}));
    EXPECT_EQ(reg.GetString(HKLM, "T", "oddLength"), "a");
    // SetString stores what a program writing text leaves in the registry: UTF-16LE and one zero.
    reg.SetString(HKLM, "T", "text", "\xC3\xA9");
    EXPECT_EQ(reg.GetValue(HKLM, "T", "text")->data, (std::vector<std::uint8_t>{0xE9, 0, 0, 0}));
}

TEST_F(MemoryRegistryTest, DenyOpenRefusesTheKeyButNotItsNeighboursOrChildren) {
    reg.CreateKey(HKLM, "Software\\Locked\\Child");
    reg.CreateKey(HKLM, "Software\\Open");
    reg.DenyOpen(HKLM, "software\\LOCKED");

    Open(HKLM, "Software\\Locked", access::Read, status::AccessDenied);
    HKey key = 0;
    EXPECT_EQ(reg.createKey(HKLM, "Software\\Locked", access::Read, key), status::AccessDenied);
    HKey software = Open(HKLM, "Software", access::Read);
    Open(software, "Locked", access::Read, status::AccessDenied);
    // Still listed by its parent, as on Windows; the scan sees it and fails to open it.
    EXPECT_EQ(reg.SubkeyNamesRaw(HKLM, "Software"), (std::vector<std::string>{"Locked", "Open"}));
    Open(HKLM, "Software\\Open", access::Read);
    Open(HKLM, "Software\\Locked\\Child", access::Read);  // traversal is not checked
    EXPECT_EQ(reg.deleteKey(HKLM, "Software\\Locked\\Child"), status::Success);
    EXPECT_EQ(reg.deleteKey(HKLM, "Software\\Locked"), status::AccessDenied);
    EXPECT_TRUE(reg.KeyExistsRaw(HKLM, "Software\\Locked"));
    // No creating below a key that cannot be opened.
    EXPECT_EQ(reg.createKey(HKLM, "Software\\Locked\\New", access::AllAccess, key), status::AccessDenied);

    reg.ClearDenials();
    Open(HKLM, "Software\\Locked", access::Read);
}

TEST_F(MemoryRegistryTest, DenyOpenHoldsForAKeyNotYetCreated) {
    reg.DenyOpen(HKCU, "Later\\Key\\");
    HKey key = 0;
    EXPECT_EQ(reg.createKey(HKCU, "Later\\Key", access::AllAccess, key), status::AccessDenied);
    EXPECT_FALSE(reg.KeyExistsRaw(HKCU, "Later"));  // a refused create leaves nothing behind
    reg.CreateKey(HKCU, "Later\\Key");
    Open(HKCU, "Later\\Key", access::Read, status::AccessDenied);
}

TEST_F(MemoryRegistryTest, DenyWriteHoldsForAKeyNotYetCreated) {
    reg.CreateKey(HKCU, "Software");
    reg.DenyWrite(HKCU, "Software\\Locked\\Policy");
    HKey key = 0;
    // At the denied key, below it, and through a handle of its existing ancestor: refused, and no key
    // of the path is left behind.
    EXPECT_EQ(reg.createKey(HKCU, "Software\\Locked\\Policy", access::AllAccess, key), status::AccessDenied);
    EXPECT_EQ(reg.createKey(HKCU, "software\\LOCKED\\policy\\Sub\\Deeper", access::Read, key),
              status::AccessDenied);
    HKey software = Open(HKCU, "Software", access::AllAccess);
    EXPECT_EQ(reg.createKey(software, "Locked\\Policy\\Sub", access::AllAccess, key), status::AccessDenied);
    EXPECT_FALSE(reg.KeyExistsRaw(HKCU, "Software\\Locked"));

    // The parent of the denied key is not covered.
    HKey locked = 0;
    EXPECT_EQ(reg.createKey(software, "Locked", access::AllAccess, locked), status::Success);
    opened.push_back(locked);
    EXPECT_EQ(reg.createKey(locked, "Policy", access::AllAccess, key), status::AccessDenied);
    EXPECT_FALSE(reg.KeyExistsRaw(HKCU, "Software\\Locked\\Policy"));

    // Made past the rules, the key opens for reading only.
    reg.CreateKey(HKCU, "Software\\Locked\\Policy\\Sub");
    Open(HKCU, "Software\\Locked\\Policy\\Sub", access::Read);
    Open(HKCU, "Software\\Locked\\Policy\\Sub", access::AllAccess, status::AccessDenied);
}

TEST_F(MemoryRegistryTest, DenyWriteOpensForReadingOnlyThroughoutTheSubtree) {
    reg.SetString(HKLM, "Software\\Policy\\Sub", "v", "x");
    HKey before = Open(HKLM, "Software\\Policy\\Sub", access::AllAccess);  // opened before the rule
    reg.DenyWrite(HKLM, "Software\\Policy");

    HKey readable = Open(HKLM, "Software\\Policy\\Sub", access::Read);
    RegValue value;
    EXPECT_EQ(reg.queryValue(readable, "v", value), status::Success);
    Open(HKLM, "Software\\Policy", access::AllAccess, status::AccessDenied);
    Open(HKLM, "Software\\Policy\\Sub", access::SetValue, status::AccessDenied);
    Open(HKLM, "Software\\Policy\\Sub", access::Write, status::AccessDenied);
    HKey key = 0;
    EXPECT_EQ(reg.createKey(HKLM, "Software\\Policy\\Sub", access::AllAccess, key), status::AccessDenied);
    EXPECT_EQ(reg.createKey(HKLM, "Software\\Policy\\Sub\\New", access::Read, key), status::AccessDenied);
    EXPECT_FALSE(reg.KeyExistsRaw(HKLM, "Software\\Policy\\Sub\\New"));

    // A handle with write rights from before the rule cannot write either.
    EXPECT_EQ(reg.setValue(before, "w", Text("y")), status::AccessDenied);
    EXPECT_EQ(reg.deleteValue(before, "v"), status::AccessDenied);
    EXPECT_EQ(reg.deleteKey(HKLM, "Software\\Policy\\Sub"), status::AccessDenied);
    EXPECT_EQ(reg.GetString(HKLM, "Software\\Policy\\Sub", "v"), "x");

    // MAXIMUM_ALLOWED gets what is allowed: reading.
    HKey maximum = Open(HKLM, "Software\\Policy", 0x02000000);
    KeyInfo info;
    EXPECT_EQ(reg.queryInfo(maximum, info), status::Success);
    EXPECT_EQ(reg.setValue(maximum, "w", Text("y")), status::AccessDenied);

    // Neighbours are untouched.
    HKey other = 0;
    EXPECT_EQ(reg.createKey(HKLM, "Software\\Other", access::AllAccess, other), status::Success);
    opened.push_back(other);
    EXPECT_EQ(reg.setValue(other, "w", Text("y")), status::Success);
}

TEST_F(MemoryRegistryTest, AStandardUserReadsTheMachineButChangesOnlyItsOwnKeys) {
    reg.SetString(HKLM, "SOFTWARE\\App", "v", "x");
    reg.SetString(roots::ClassesRoot, "CLSID\\{A}", "", "class");
    reg.SetStandardUser(true);

    // Reading the machine goes on; asking for write rights there, or writing, is refused.
    HKey readable = Open(HKLM, "SOFTWARE\\App", access::Read);
    RegValue value;
    EXPECT_EQ(reg.queryValue(readable, "v", value), status::Success);
    Open(HKLM, "SOFTWARE\\App", access::AllAccess, status::AccessDenied);
    Open(roots::ClassesRoot, "CLSID\\{A}", access::AllAccess, status::AccessDenied);
    Open(roots::ClassesRoot, "CLSID\\{A}", access::Read);
    HKey key = 0;
    EXPECT_EQ(reg.createKey(HKLM, "SOFTWARE\\New", access::Read, key), status::AccessDenied);
    EXPECT_EQ(reg.createKey(roots::ClassesRoot, "CLSID\\{B}", access::Read, key), status::AccessDenied);
    EXPECT_EQ(reg.deleteKey(HKLM, "SOFTWARE\\App"), status::AccessDenied);
    EXPECT_EQ(reg.deleteKey(roots::ClassesRoot, "CLSID\\{A}"), status::AccessDenied);
    EXPECT_EQ(reg.setValue(HKLM, "w", Text("y")), status::AccessDenied);
    EXPECT_TRUE(reg.KeyExistsRaw(HKLM, "SOFTWARE\\App"));
    EXPECT_FALSE(reg.KeyExistsRaw(HKLM, "SOFTWARE\\New"));

    // The user's own keys are theirs.
    EXPECT_EQ(reg.createKey(HKCU, "Software\\Mine", access::AllAccess, key), status::Success);
    opened.push_back(key);
    EXPECT_EQ(reg.setValue(key, "w", Text("y")), status::Success);

    reg.SetStandardUser(false);
    EXPECT_EQ(reg.deleteKey(HKLM, "SOFTWARE\\App"), status::Success);
}

TEST_F(MemoryRegistryTest, HandleRightsAreCheckedAsWindowsDocumentsThem) {
    reg.CreateKey(HKCU, "R\\Existing");
    HKey read = Open(HKCU, "R", access::Read);
    HKey key = 0;
    // Wine lets this pass; Windows asks for KEY_CREATE_SUB_KEY on the handle.
    EXPECT_EQ(reg.createKey(read, "New", access::AllAccess, key), status::AccessDenied);
    EXPECT_EQ(reg.createKey(read, "Existing", access::Read, key), status::Success);
    opened.push_back(key);

    HKey enumOnly = Open(HKCU, "R", access::EnumerateSubKeys);
    KeyInfo info;
    std::vector<NamedRegValue> values;
    std::vector<std::string> names;
    EXPECT_EQ(reg.queryInfo(enumOnly, info), status::AccessDenied);
    EXPECT_EQ(reg.enumValues(enumOnly, values, false), status::AccessDenied);
    EXPECT_EQ(reg.enumSubkeys(enumOnly, names), status::Success);
    HKey queryOnly = Open(HKCU, "R", access::QueryValue);
    EXPECT_EQ(reg.enumSubkeys(queryOnly, names), status::AccessDenied);

    // Generic rights map onto the key rights.
    HKey generic = Open(HKCU, "R", 0x80000000 | 0x40000000);
    EXPECT_EQ(reg.setValue(generic, "g", Text("1")), status::Success);
    EXPECT_EQ(reg.enumSubkeys(generic, names), status::Success);
}

TEST_F(MemoryRegistryTest, MalformedPathsAndUnknownHandles) {
    reg.CreateKey(HKCU, "A\\B");
    HKey key = 0;
    EXPECT_EQ(reg.openKey(HKCU, "\\A", access::Read, key), 161);  // ERROR_BAD_PATHNAME, as Windows
    Open(HKCU, "A\\\\B", access::Read);                           // doubled backslashes collapse
    EXPECT_EQ(reg.openKey(0x1234567, "A", access::Read, key), status::InvalidHandle);
    EXPECT_EQ(reg.closeKey(0x1234567), status::InvalidHandle);
    EXPECT_EQ(reg.closeKey(HKCU), status::Success);  // predefined keys close quietly
    // Every predefined root is there and the roots are apart.
    for (HKey root : {roots::ClassesRoot, roots::CurrentUser, roots::LocalMachine, roots::Users,
                      roots::PerformanceData, roots::CurrentConfig, roots::DynData}) {
        std::vector<std::string> names;
        EXPECT_EQ(reg.enumSubkeys(root, names), status::Success);
        EXPECT_EQ(names.empty(), root != HKCU) << root;
    }
    EXPECT_EQ(reg.deleteKey(HKCU, ""), status::AccessDenied);  // a root is not deleted
    // A set-up with a mistyped path fails loudly.
    EXPECT_THROW(reg.SetString(HKCU, "\\Software", "v", "x"), std::invalid_argument);
    EXPECT_THROW(reg.CreateKey(0x1234, "Software"), std::invalid_argument);
}

TEST_F(MemoryRegistryTest, DeletingATreeInvalidatesHandlesBelowIt) {
    reg.SetDword(HKCU, "T\\A\\B", "n", 7);
    HKey deep = Open(HKCU, "T\\A\\B", access::Read);
    EXPECT_EQ(reg.GetValue(HKCU, "T\\A\\B", "n")->data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_TRUE(reg.DeleteTreeRaw(HKCU, "t\\a"));
    EXPECT_FALSE(reg.DeleteTreeRaw(HKCU, "T\\A"));
    RegValue value;
    EXPECT_EQ(reg.queryValue(deep, "n", value), status::KeyDeleted);
    HKey key = 0;
    EXPECT_EQ(reg.openKey(deep, "", access::Read, key), status::KeyDeleted);
    // The same name created again is a new key; the old handle stays deleted.
    reg.CreateKey(HKCU, "T\\A\\B");
    EXPECT_EQ(reg.queryValue(deep, "n", value), status::KeyDeleted);
}

TEST_F(MemoryRegistryTest, CountsCallsAndOpenHandles) {
    reg.CreateKey(HKCU, "C");  // test conveniences are not counted
    EXPECT_EQ(reg.CallCount(), 0u);
    HKey key = 0;
    ASSERT_EQ(reg.openKey(HKCU, "C", access::Read, key), status::Success);
    RegValue value;
    reg.queryValue(key, "absent", value);
    EXPECT_EQ(reg.OpenHandleCount(), 1u);
    reg.closeKey(key);
    EXPECT_EQ(reg.CallCount(), 3u);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
    reg.ResetCounters();
    EXPECT_EQ(reg.CallCount(), 0u);
}

TEST_F(MemoryRegistryTest, TwoThreadsMayUseItAtOnce) {
    auto work = [this](const std::string& prefix) {
        for (int i = 0; i < 200; ++i) {
            HKey key = 0;
            if (reg.createKey(HKCU, "Shared\\" + prefix + std::to_string(i), access::AllAccess, key) !=
                status::Success) {
                return;
            }
            reg.setValue(key, "", Text(prefix));
            std::vector<std::string> names;
            reg.enumSubkeys(HKCU, names);
            reg.closeKey(key);
        }
    };
    std::thread other(work, "w");
    work("t");
    other.join();
    EXPECT_EQ(reg.SubkeyNamesRaw(HKCU, "Shared").size(), 400u);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
    EXPECT_EQ(reg.CallCount(), 400u * 4);
}

}  // namespace
}  // namespace korvane
