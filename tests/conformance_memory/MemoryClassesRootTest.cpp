// HKEY_CLASSES_ROOT of the in-memory registry as Windows merges it (Wine shows the machine's keys
// only, so the conformance suite checks just that part): the per-user key wins, sub-keys of both are
// listed, new keys go to the machine's, and a deletion through the view takes the key it shows.
#include <gtest/gtest.h>

#include "platform/Utf16.h"
#include "platform/memory/MemoryRegistry.h"

namespace korvane {
namespace {

constexpr HKey HKCR = roots::ClassesRoot;
constexpr HKey HKCU = roots::CurrentUser;
constexpr HKey HKLM = roots::LocalMachine;

class MemoryClassesRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        reg.SetString(HKLM, "Software\\Classes\\CLSID\\{1}", "", "machine");
        reg.SetString(HKLM, "Software\\Classes\\CLSID\\{1}\\LocalServer32", "", "m.exe");
        reg.SetString(HKCU, "Software\\Classes\\CLSID\\{1}", "", "user");
        reg.SetString(HKCU, "Software\\Classes\\CLSID\\{1}\\InprocServer32", "", "u.dll");
        reg.SetString(HKLM, "Software\\Classes\\CLSID\\{2}", "", "machine only");
    }
    std::string DefaultOf(HKey parent, const std::string& path) {
        HKey key = 0;
        if (reg.openKey(parent, path, access::Read, key) != status::Success) return "<none>";
        RegValue value;
        const long result = reg.queryValue(key, "", value);
        reg.closeKey(key);
        return result == status::Success ? TextOfRegistryBytes(value.data) : "<no value>";
    }
    std::vector<std::string> Subkeys(HKey parent, const std::string& path) {
        HKey key = 0;
        std::vector<std::string> names;
        if (reg.openKey(parent, path, access::Read, key) != status::Success) return names;
        EXPECT_EQ(reg.enumSubkeys(key, names), status::Success);
        reg.closeKey(key);
        return names;
    }

    MemoryRegistry reg;
};

TEST_F(MemoryClassesRootTest, TheUsersKeyWinsAndSubkeysOfBothAreListed) {
    EXPECT_EQ(DefaultOf(HKCR, "CLSID\\{1}"), "user");
    EXPECT_EQ(DefaultOf(HKCR, "clsid\\{2}"), "machine only");
    EXPECT_EQ(Subkeys(HKCR, "CLSID"), (std::vector<std::string>{"{1}", "{2}"}));
    EXPECT_EQ(Subkeys(HKCR, "CLSID\\{1}"), (std::vector<std::string>{"InprocServer32", "LocalServer32"}));
    // Opening further down from a handle of the view stays in the view.
    HKey clsid = 0;
    ASSERT_EQ(reg.openKey(HKCR, "CLSID", access::Read, clsid), status::Success);
    EXPECT_EQ(DefaultOf(clsid, "{1}\\LocalServer32"), "m.exe");
    EXPECT_EQ(DefaultOf(clsid, "{1}\\InprocServer32"), "u.dll");
    KeyInfo info;
    ASSERT_EQ(reg.queryInfo(clsid, info), status::Success);
    EXPECT_EQ(info.subkeyCount, 2u);
    reg.closeKey(clsid);
    // The test helpers see the same view.
    EXPECT_EQ(reg.GetString(HKCR, "CLSID\\{1}", ""), "user");
    EXPECT_EQ(reg.SubkeyNamesRaw(HKCR, "CLSID\\{1}"),
              (std::vector<std::string>{"InprocServer32", "LocalServer32"}));
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST_F(MemoryClassesRootTest, WritesGoToTheKeyShownAndNewKeysToTheMachine) {
    HKey key = 0;
    ASSERT_EQ(reg.openKey(HKCR, "CLSID\\{1}", access::AllAccess, key), status::Success);
    ASSERT_EQ(reg.setValue(key, "AppID", RegValue{regtype::Sz, RegistryTextBytes("x")}), status::Success);
    reg.closeKey(key);
    EXPECT_TRUE(reg.ValueExistsRaw(HKCU, "Software\\Classes\\CLSID\\{1}", "AppID"));
    EXPECT_FALSE(reg.ValueExistsRaw(HKLM, "Software\\Classes\\CLSID\\{1}", "AppID"));

    ASSERT_EQ(reg.createKey(HKCR, "CLSID\\{3}\\Sub", access::AllAccess, key), status::Success);
    reg.closeKey(key);
    EXPECT_TRUE(reg.KeyExistsRaw(HKLM, "Software\\Classes\\CLSID\\{3}\\Sub"));
    EXPECT_FALSE(reg.KeyExistsRaw(HKCU, "Software\\Classes\\CLSID\\{3}"));
    reg.SetString(HKCR, ".new", "", "helper");
    EXPECT_EQ(reg.GetString(HKLM, "Software\\Classes\\.new", ""), "helper");
}

TEST_F(MemoryClassesRootTest, DeletingThroughTheViewTakesTheKeyItShows) {
    EXPECT_EQ(reg.deleteKey(HKCR, "CLSID\\{1}\\InprocServer32"), status::Success);
    // The user's {1} has no sub-key left; the view still lists the machine's LocalServer32 below it.
    EXPECT_EQ(reg.deleteKey(HKCR, "CLSID\\{1}"), status::Success);
    EXPECT_FALSE(reg.KeyExistsRaw(HKCU, "Software\\Classes\\CLSID\\{1}"));
    // Now the machine's key shows through.
    EXPECT_EQ(DefaultOf(HKCR, "CLSID\\{1}"), "machine");
    EXPECT_EQ(reg.deleteKey(HKCR, "CLSID\\{1}"), status::AccessDenied);  // it has a sub-key
    EXPECT_EQ(reg.deleteKey(HKCR, "CLSID\\{9}"), status::FileNotFound);
}

TEST_F(MemoryClassesRootTest, RulesOnTheViewHoldForBothHives) {
    reg.DenyOpen(HKCR, "CLSID\\{1}");
    reg.DenyWrite(HKCR, "CLSID\\{2}");
    HKey key = 0;
    EXPECT_EQ(reg.openKey(HKCR, "CLSID\\{1}", access::Read, key), status::AccessDenied);
    EXPECT_EQ(reg.openKey(HKLM, "Software\\Classes\\CLSID\\{1}", access::Read, key), status::AccessDenied);
    EXPECT_EQ(reg.openKey(HKCR, "CLSID\\{2}", access::AllAccess, key), status::AccessDenied);
    ASSERT_EQ(reg.openKey(HKCR, "CLSID\\{2}", access::Read, key), status::Success);
    reg.closeKey(key);
}

}  // namespace
}  // namespace korvane
