// RegistryAccess against the in-memory registry: how paths are resolved, the read-only fallbacks,
// the exact error texts for wrong types and refused writes, absent values, and tree deletion.
#include <gtest/gtest.h>

#include <functional>
#include <string_view>

#include "platform/Utf16.h"
#include "platform/memory/MemoryRegistry.h"
#include "registry/RegistryAccess.h"

namespace korvane {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RegistryError& error) {
        return error.what();
    }
    return "(no error)";
}

class RegistryAccessTest : public ::testing::Test {
protected:
    MemoryRegistry registry;
};

TEST_F(RegistryAccessTest, ResolvesAbsolutePathsFromTheRootAndRelativeOnesFromTheOpenKey) {
    registry.CreateKey(roots::CurrentUser, "Software\\Vendor\\App\\Sub");
    registry.CreateKey(roots::CurrentUser, "Vendor");  // same name directly under the root
    registry.SetString(roots::CurrentUser, "Software\\Vendor", "where", "nested");
    registry.SetString(roots::CurrentUser, "Vendor", "where", "root");
    RegistryAccess access(registry);

    // With no key open a relative path starts at the root.
    ASSERT_TRUE(access.OpenRegKey("Software", CreateIfMissing::No));
    EXPECT_EQ(access.CurrentPath(), "Software");
    ASSERT_TRUE(access.OpenRegKey("Vendor", CreateIfMissing::No));
    EXPECT_EQ(access.CurrentPath(), "Software\\Vendor");
    EXPECT_EQ(access.ReadText("where"), "nested");

    ASSERT_TRUE(access.OpenRegKey("\\Vendor", CreateIfMissing::No));
    EXPECT_EQ(access.CurrentPath(), "Vendor");
    EXPECT_EQ(access.ReadText("where"), "root");

    ASSERT_TRUE(access.OpenRegKey("\\Software\\Vendor\\App", CreateIfMissing::No));
    ASSERT_TRUE(access.OpenRegKey("Sub", CreateIfMissing::No));
    EXPECT_EQ(access.CurrentPath(), "Software\\Vendor\\App\\Sub");

    // A failed open leaves the current key as it was.
    EXPECT_FALSE(access.OpenRegKey("Nowhere", CreateIfMissing::No));
    EXPECT_EQ(access.CurrentPath(), "Software\\Vendor\\App\\Sub");
    EXPECT_NE(access.CurrentKey(), 0u);
    // Only one key is ever held open.
    EXPECT_EQ(registry.OpenHandleCount(), 1u);
}

TEST_F(RegistryAccessTest, CreatesMissingKeysOnlyWhenAsked) {
    RegistryAccess access(registry);
    EXPECT_FALSE(access.OpenRegKey("\\Software\\New\\Deep", CreateIfMissing::No));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\New"));

    ASSERT_TRUE(access.OpenRegKey("\\Software\\New\\Deep", CreateIfMissing::Yes));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\New\\Deep"));
    access.WriteText("v", "x");
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\New\\Deep", "v"), "x");

    // An existing key is opened as it is, its values kept.
    ASSERT_TRUE(access.OpenRegKey("\\Software\\New\\Deep", CreateIfMissing::Yes));
    EXPECT_EQ(access.ReadText("v"), "x");
}

TEST_F(RegistryAccessTest, ReadOnlyOpenReachesAKeyThatRefusesWriting) {
    registry.SetString(roots::LocalMachine, "Locked", "name", "kept");
    registry.DenyWrite(roots::LocalMachine, "Locked");
    RegistryAccess access(registry);
    access.SetRoot(roots::LocalMachine);

    EXPECT_FALSE(access.OpenRegKey("\\Locked", CreateIfMissing::No));
    EXPECT_EQ(access.Access(), access::AllAccess);
    ASSERT_TRUE(access.OpenRegKeyReadOnly("\\Locked"));
    EXPECT_EQ(access.Access(), access::Read);
    EXPECT_EQ(access.ReadText("name"), "kept");
    EXPECT_EQ(MessageOf([&] { access.WriteText("name", "changed"); }), "Failed to set data for 'name'");
    EXPECT_EQ(registry.GetString(roots::LocalMachine, "Locked", "name"), "kept");
}

TEST_F(RegistryAccessTest, ReadOnlyOpenFailsForAKeyThatCannotBeOpenedAndKeepsTheRights) {
    registry.CreateKey(roots::CurrentUser, "Sealed");
    registry.CreateKey(roots::CurrentUser, "Open");
    registry.DenyOpen(roots::CurrentUser, "Sealed");
    RegistryAccess access(registry);
    ASSERT_TRUE(access.OpenRegKey("\\Open", CreateIfMissing::No));

    EXPECT_FALSE(access.OpenRegKeyReadOnly("\\Sealed"));
    EXPECT_EQ(access.Access(), access::AllAccess);
    EXPECT_EQ(access.CurrentPath(), "Open");
    EXPECT_FALSE(access.KeyExists("\\Sealed"));
}

// Refuses every open that asks for more than `allowed`, as a key's security descriptor would.
class RestrictedRegistry : public MemoryRegistry {
public:
    std::uint32_t allowed = access::AllAccess;
    std::vector<std::uint32_t> asked;
    long openKey(HKey parent, const std::string& path, std::uint32_t mask, HKey& out) override {
        asked.push_back(mask);
        const long result = MemoryRegistry::openKey(parent, path, mask, out);
        if (result != status::Success || (mask & ~allowed) == 0) return result;
        closeKey(out);  // the key is there, but not for these rights
        out = 0;
        return status::AccessDenied;
    }
};

TEST(RegistryAccessFallback, TriesReadThenReadWithoutNotifyThenQueryOnly) {
    RestrictedRegistry registry;
    registry.SetString(roots::CurrentUser, "K", "v", "data");
    RegistryAccess access(registry);

    registry.allowed = access::ReadWithoutNotify;
    ASSERT_TRUE(access.OpenRegKeyReadOnly("\\K"));
    EXPECT_EQ(access.Access(), access::ReadWithoutNotify);
    EXPECT_EQ(registry.asked, (std::vector<std::uint32_t>{access::Read, access::ReadWithoutNotify}));

    registry.allowed = access::QueryValue;
    registry.asked.clear();
    ASSERT_TRUE(access.OpenRegKeyReadOnly("\\K"));
    EXPECT_EQ(access.Access(), access::QueryValue);
    EXPECT_EQ(registry.asked,
              (std::vector<std::uint32_t>{access::Read, access::ReadWithoutNotify, access::QueryValue}));
    EXPECT_EQ(access.ReadText("v"), "data");

    // The rights that worked stay the object's rights for later opens.
    registry.asked.clear();
    ASSERT_TRUE(access.OpenRegKey("\\K", CreateIfMissing::No));
    EXPECT_EQ(registry.asked, (std::vector<std::uint32_t>{access::QueryValue}));

    // A missing key is not asked for three times.
    registry.asked.clear();
    EXPECT_FALSE(access.OpenRegKeyReadOnly("\\Missing"));
    EXPECT_EQ(registry.asked.size(), 1u);
}

TEST_F(RegistryAccessTest, KeyExistsLeavesTheCurrentKeyAlone) {
    registry.CreateKey(roots::CurrentUser, "A\\B");
    RegistryAccess access(registry);
    ASSERT_TRUE(access.OpenRegKey("\\A", CreateIfMissing::No));
    const HKey before = access.CurrentKey();

    EXPECT_TRUE(access.KeyExists("B"));  // relative to the open key
    EXPECT_TRUE(access.KeyExists("\\A\\B"));
    EXPECT_TRUE(access.KeyExists("\\a\\b"));  // the registry ignores case
    EXPECT_FALSE(access.KeyExists("\\B"));
    EXPECT_EQ(access.CurrentKey(), before);
    EXPECT_EQ(access.CurrentPath(), "A");
    EXPECT_EQ(registry.OpenHandleCount(), 1u);
}

class RegistryValuesTest : public RegistryAccessTest {
protected:
    void SetUp() override {
        registry.SetString(roots::CurrentUser, "V", "Text", "plain");
        registry.SetString(roots::CurrentUser, "V", "Expand", "%SystemRoot%\\x.dll", regtype::ExpandSz);
        registry.SetDword(roots::CurrentUser, "V", "Count", 7);
        registry.SetValue(roots::CurrentUser, "V", "Blob", {regtype::Binary, {1, 2, 3, 4}});
        registry.SetValue(roots::CurrentUser, "V", "Multi",
                          {regtype::MultiSz, Bytes(std::string("a\0b\0\0", 5))});
        registry.SetValue(roots::CurrentUser, "V", "Wide", {regtype::Qword, {1, 0, 0, 0, 0, 0, 0, 0}});
        registry.SetValue(roots::CurrentUser, "V", "Nothing", {regtype::None, {}});
        ASSERT_TRUE(access.OpenRegKey("\\V", CreateIfMissing::No));
    }
    RegistryAccess access{registry};
};

TEST_F(RegistryValuesTest, KindsFollowTheStoredType) {
    EXPECT_EQ(access.GetValueKind("Text"), ValueKind::Text);
    EXPECT_EQ(access.GetValueKind("Expand"), ValueKind::ExpandText);
    EXPECT_EQ(access.GetValueKind("Count"), ValueKind::Number);
    EXPECT_EQ(access.GetValueKind("Blob"), ValueKind::Bytes);
    EXPECT_EQ(access.GetValueKind("Multi"), ValueKind::Unknown);
    EXPECT_EQ(access.GetValueKind("Wide"), ValueKind::Unknown);
    EXPECT_EQ(access.GetValueKind("Missing"), ValueKind::Unknown);
}

TEST_F(RegistryValuesTest, WrongTypesRaiseTheExactMessages) {
    EXPECT_EQ(MessageOf([&] { access.ReadText("Count"); }), "Invalid data type for 'Count'");
    EXPECT_EQ(MessageOf([&] { access.ReadText("Blob"); }), "Invalid data type for 'Blob'");
    EXPECT_EQ(MessageOf([&] { access.ReadText("Multi"); }), "Invalid data type for 'Multi'");
    EXPECT_EQ(MessageOf([&] { access.ReadNumber("Text"); }), "Invalid data type for 'Text'");
    EXPECT_EQ(MessageOf([&] { access.ReadNumber("Wide"); }), "Invalid data type for 'Wide'");
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(MessageOf([&] { access.ReadBytes("Text", buffer, 16); }), "Invalid data type for 'Text'");
    EXPECT_EQ(MessageOf([&] { access.ReadBytes("Expand", buffer, 16); }), "Invalid data type for 'Expand'");
    EXPECT_EQ(MessageOf([&] { access.ReadBytes("Count", buffer, 16); }), "Invalid data type for 'Count'");
}

TEST_F(RegistryValuesTest, AbsentValuesReadAsNothingExceptANumber) {
    EXPECT_EQ(access.ReadText("Missing"), "");
    EXPECT_EQ(access.ValueSize("Missing"), -1);
    EXPECT_FALSE(access.ValueExists("Missing"));
    std::uint8_t buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(access.ReadBytes("Missing", buffer, 4), 0);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(MessageOf([&] { access.ReadNumber("Missing"); }), "Failed to get data for 'Missing'");
    // An empty value of any type reads as empty text.
    EXPECT_EQ(access.ValueSize("Nothing"), 0);
    EXPECT_EQ(access.ReadText("Nothing"), "");
}

TEST_F(RegistryValuesTest, TextIsReadUpToItsFirstZeroAndNotExpanded) {
    registry.SetValue(roots::CurrentUser, "V", "Two",
                      {regtype::Sz, Utf16LeBytes(std::u16string_view(u"abc\0def\0", 8))});
    registry.SetString(roots::CurrentUser, "V", "Accent", "caf\xC3\xA9");
    // An odd last byte and a missing terminator, as other programs leave them.
    std::vector<std::uint8_t> odd = Utf16LeBytes(u"odd");
    odd.push_back('!');
    registry.SetValue(roots::CurrentUser, "V", "Odd", {regtype::Sz, odd});
    EXPECT_EQ(access.ReadText("Two"), "abc");
    EXPECT_EQ(access.ReadText("Expand"), "%SystemRoot%\\x.dll");
    EXPECT_EQ(access.ReadText("Accent"), "caf\xC3\xA9");
    EXPECT_EQ(access.ReadText("Odd"), "odd");
    EXPECT_EQ(access.ValueSize("Text"), 12);    // "plain" and its zero, as the registry holds them
    EXPECT_EQ(access.ValueSize("Accent"), 10);  // UTF-16 units and the zero
    EXPECT_EQ(access.ReadNumber("Count"), 7);
}

TEST_F(RegistryValuesTest, ReadBytesCopiesUpToTheCapacity) {
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(access.ReadBytes("Blob", buffer, 4), 4);  // exactly the size fits
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 4), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(MessageOf([&] { access.ReadBytes("Blob", buffer, 3); }), "Invalid data type for 'Blob'");
    // Types without a kind of their own are copied as bytes.
    EXPECT_EQ(access.ReadBytes("Wide", buffer, 8), 8);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(access.ReadBytes("Multi", buffer, 8), 5);
    EXPECT_EQ(buffer[2], 'b');
}

TEST_F(RegistryValuesTest, WritesStoreTheTypesTheReadsExpect) {
    access.WriteText("T", "hello");
    access.WriteNumber("N", -2);
    access.WriteBytes("B", {0, 255});
    EXPECT_EQ(registry.GetValue(roots::CurrentUser, "V", "T")->data,
              Utf16LeBytes(std::u16string_view(u"hello\0", 6)));
    EXPECT_EQ(registry.GetValue(roots::CurrentUser, "V", "T")->type, regtype::Sz);
    EXPECT_EQ(registry.GetValue(roots::CurrentUser, "V", "N")->data,
              (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(registry.GetValue(roots::CurrentUser, "V", "N")->type, regtype::Dword);
    EXPECT_EQ(access.ReadNumber("N"), -2);
    EXPECT_EQ(access.GetValueKind("B"), ValueKind::Bytes);
    EXPECT_EQ(access.ValueSize("B"), 2);

    access.CloseRegKey();
    EXPECT_EQ(MessageOf([&] { access.WriteNumber("N", 1); }), "Failed to set data for 'N'");
}

TEST_F(RegistryValuesTest, EachReadCostsOneBackendCall) {
    registry.ResetCounters();
    access.ReadText("Text");
    EXPECT_EQ(registry.CallCount(), 1u);
    access.GetValueKind("Text");
    access.ValueSize("Text");
    EXPECT_EQ(registry.CallCount(), 3u);
}

TEST_F(RegistryAccessTest, ListsSubkeysAndValueNamesIntoAnEmptiedList) {
    registry.CreateKey(roots::CurrentUser, "L\\beta");
    registry.CreateKey(roots::CurrentUser, "L\\Alpha");
    registry.SetString(roots::CurrentUser, "L", "second", "2");
    registry.SetString(roots::CurrentUser, "L", "", "default");
    RegistryAccess access(registry);
    ASSERT_TRUE(access.OpenRegKey("\\L", CreateIfMissing::No));

    std::vector<std::string> names{"stale"};
    access.ListSubkeys(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta"}));
    EXPECT_TRUE(access.HasSubkeys());
    access.ListValueNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"second", ""}));

    ASSERT_TRUE(access.OpenRegKey("Alpha", CreateIfMissing::No));
    EXPECT_FALSE(access.HasSubkeys());
    access.ListValueNames(names);
    EXPECT_TRUE(names.empty());  // no default value set: no empty name
}

TEST_F(RegistryAccessTest, DeleteRegKeyRemovesAWholeTree) {
    registry.CreateKey(roots::CurrentUser, "Tree\\A\\B\\C");
    registry.CreateKey(roots::CurrentUser, "Tree\\D");
    registry.SetString(roots::CurrentUser, "Tree\\A\\B", "v", "x");
    registry.CreateKey(roots::CurrentUser, "Treehouse");
    RegistryAccess access(registry);

    EXPECT_TRUE(access.DeleteRegKey("\\Tree"));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Tree"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Treehouse"));
    EXPECT_FALSE(access.DeleteRegKey("\\Tree"));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);

    // Relative to the open key, and a path of several levels.
    registry.CreateKey(roots::CurrentUser, "P\\Q\\R\\S");
    ASSERT_TRUE(access.OpenRegKey("\\P", CreateIfMissing::No));
    EXPECT_TRUE(access.DeleteRegKey("Q\\R"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "P\\Q"));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "P\\Q\\R"));
}

TEST_F(RegistryAccessTest, DeleteRegKeyNeverTakesTheOpenKeyOrRootForAnEmptyPath) {
    registry.CreateKey(roots::CurrentUser, "Keep\\Child");
    RegistryAccess access(registry);
    EXPECT_FALSE(access.DeleteRegKey("\\"));
    ASSERT_TRUE(access.OpenRegKey("\\Keep", CreateIfMissing::No));
    EXPECT_FALSE(access.DeleteRegKey(""));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Keep\\Child"));
}

TEST_F(RegistryAccessTest, DeleteRegKeyReportsATreeItCouldNotFinish) {
    registry.CreateKey(roots::CurrentUser, "Tree\\Locked");
    registry.DenyWrite(roots::CurrentUser, "Tree\\Locked");
    RegistryAccess access(registry);
    EXPECT_FALSE(access.DeleteRegKey("\\Tree"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Tree\\Locked"));
}

TEST_F(RegistryAccessTest, DeleteValueReportsAnAbsentValueAsFalse) {
    registry.SetString(roots::CurrentUser, "K", "v", "x");
    RegistryAccess access(registry);
    EXPECT_FALSE(access.DeleteValue("v"));  // no key open
    ASSERT_TRUE(access.OpenRegKey("\\K", CreateIfMissing::No));
    EXPECT_FALSE(access.DeleteValue("absent"));
    EXPECT_TRUE(access.DeleteValue("v"));
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "K", "v"));
    EXPECT_FALSE(access.DeleteValue("v"));
}

TEST_F(RegistryAccessTest, SetRootClosesTheKeyOnlyWhenTheRootChanges) {
    registry.CreateKey(roots::CurrentUser, "Software");
    registry.CreateKey(roots::LocalMachine, "Only\\Here");
    {
        RegistryAccess access(registry);
        EXPECT_EQ(access.Root(), roots::CurrentUser);
        ASSERT_TRUE(access.OpenRegKey("\\Software", CreateIfMissing::No));
        access.SetRoot(roots::CurrentUser);
        EXPECT_NE(access.CurrentKey(), 0u);

        access.SetRoot(roots::LocalMachine);
        EXPECT_EQ(access.CurrentKey(), 0u);
        EXPECT_EQ(access.CurrentPath(), "");
        EXPECT_EQ(registry.OpenHandleCount(), 0u);
        EXPECT_TRUE(access.OpenRegKey("Only", CreateIfMissing::No));  // from the new root
        EXPECT_TRUE(access.KeyExists("\\Only\\Here"));
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u);  // released with the object
}

}  // namespace
}  // namespace korvane
