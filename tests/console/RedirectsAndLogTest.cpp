// The pieces under the fleet features: the registry a profile's scan sees, the in-memory hives a
// signed-out user's files become, and the change log that is set aside when it grows.
#include <gtest/gtest.h>

#include "console/ProfileRegistry.h"
#include "console/RunLog.h"
#include "console/UserProfiles.h"
#include "platform/memory/MemoryPlatform.h"
#include "registry/RegistryKey.h"

namespace korvane::console {
namespace {

const std::string kSid = "S-1-5-21-5-6-7-1001";

class RedirectsTest : public ::testing::Test {
protected:
    MemoryPlatform memory;
    MemoryRegistry& registry = memory.registry();
};

TEST_F(RedirectsTest, AProfileSeesItsOwnHiveAsTheCurrentUser) {
    registry.SetString(roots::Users, kSid + "\\Software\\App", "v", "user's");
    registry.SetString(roots::Users, kSid + "_Classes\\.own", "", "own class");
    registry.SetString(roots::LocalMachine, "SOFTWARE\\Classes\\.machine", "", "machine class");
    registry.SetString(roots::CurrentUser, "Software\\App", "v", "SYSTEM's");
    UserProfile profile{kSid, kSid, kSid + "_Classes", true};
    ProfileRegistry seen(registry, CurrentUserRedirects(profile));

    {
        RegistryKey app(seen);
        ASSERT_TRUE(app.Open(roots::CurrentUser, "Software\\App", access::Read));
        EXPECT_EQ(app.ReadText("v"), "user's");
        RegistryKey classes(seen);
        EXPECT_TRUE(classes.Open(roots::CurrentUser, "Software\\Classes\\.own", access::Read));
        // HKEY_CLASSES_ROOT: the user's classes over the machine's.
        RegistryKey own(seen), machine(seen), none(seen);
        EXPECT_TRUE(own.Open(roots::ClassesRoot, ".own", access::Read));
        EXPECT_TRUE(machine.Open(roots::ClassesRoot, ".machine", access::Read));
        EXPECT_EQ(none.OpenStatus(roots::ClassesRoot, ".nothing", access::Read), status::FileNotFound);
    }
    // Calls on the redirected root itself reach the user's hive.
    std::vector<std::string> subkeys;
    ASSERT_EQ(seen.enumSubkeys(roots::CurrentUser, subkeys), status::Success);
    EXPECT_EQ(subkeys, std::vector<std::string>{"Software"});
    ASSERT_EQ(seen.deleteKey(roots::CurrentUser, "Software\\App"), status::Success);
    EXPECT_FALSE(registry.KeyExistsRaw(roots::Users, kSid + "\\Software\\App"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\App"));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(RedirectsTest, HiveFilesKeepTheirTreesAndRefuseToGoWhileAKeyIsOpen) {
    ASSERT_EQ(registry.loadHive(roots::Users, "Mount", "C:\\Users\\bob\\NTUSER.DAT"), status::Success);
    registry.SetString(roots::Users, "Mount\\Software", "v", "kept");
    EXPECT_EQ(registry.loadHive(roots::Users, "Again", "c:\\users\\BOB\\ntuser.dat"), 32)
        << "mounted already";
    EXPECT_EQ(registry.loadHive(roots::Users, "Mount", "C:\\other.dat"), status::AccessDenied);
    EXPECT_EQ(registry.loadHive(roots::CurrentUser, "X", "C:\\other.dat"), status::InvalidParameter);
    {
        RegistryKey open(registry);
        ASSERT_TRUE(open.Open(roots::Users, "Mount\\Software", access::Read));
        EXPECT_EQ(registry.unloadHive(roots::Users, "Mount"), status::AccessDenied);
    }
    EXPECT_EQ(registry.deleteKey(roots::Users, "Mount"), status::AccessDenied);
    ASSERT_EQ(registry.unloadHive(roots::Users, "Mount"), status::Success);
    EXPECT_FALSE(registry.KeyExistsRaw(roots::Users, "Mount"));
    EXPECT_EQ(registry.unloadHive(roots::Users, "Mount"), status::FileNotFound);
    ASSERT_EQ(registry.loadHive(roots::Users, "Later", "C:\\Users\\bob\\NTUSER.DAT"), status::Success);
    EXPECT_EQ(registry.GetString(roots::Users, "Later\\Software", "v"), "kept");
    registry.DenyHiveLoading(true);
    EXPECT_EQ(registry.loadHive(roots::Users, "Other", "C:\\other.dat"), status::PrivilegeNotHeld);
}

TEST_F(RedirectsTest, ProfilesOfPeopleAreListedWithTheirFolders) {
    const std::string list = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
    registry.SetString(roots::LocalMachine, list + "\\S-1-5-18", "ProfileImagePath", "%systemroot%\\x");
    registry.SetString(roots::LocalMachine, list + "\\" + kSid, "ProfileImagePath",
                       "%SYSTEMDRIVE%\\Users\\ann\\", regtype::ExpandSz);
    registry.SetString(roots::LocalMachine, list + "\\S-1-12-1-9-9", "ProfileImagePath", "%HOMEDRIVE%\\x");
    registry.CreateKey(roots::LocalMachine, list + "\\S-1-5-21-bad");
    const std::vector<ProfileEntry> profiles = ListProfiles(registry, memory.system());
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles[0].sid, "S-1-12-1-9-9");
    EXPECT_EQ(profiles[0].folder, "") << "a variable the run cannot know leaves the folder unknown";
    EXPECT_EQ(profiles[1].sid, kSid);
    EXPECT_EQ(profiles[1].folder, "C:\\Users\\ann");
    EXPECT_TRUE(LooksLikeSid("S-1-5-18"));
    EXPECT_FALSE(LooksLikeSid("S-1-5--18"));
    EXPECT_FALSE(LooksLikeSid("S-1-5-18-"));
    EXPECT_FALSE(LooksLikeSid("..\\S-1-5-18"));
}

TEST_F(RedirectsTest, TheLogIsAppendedAndSetAsideWhenFull) {
    memory.files().AddFolder("C:\\Data");
    RunLog log(memory.files(), DefaultLogPath("C:\\Data\\"), 40);
    log.Add("first change, twenty-nine bytes");
    ASSERT_TRUE(log.Write());
    EXPECT_TRUE(memory.files().ExistsRaw("C:\\Data\\Logs"));
    log.Add("second");
    ASSERT_TRUE(log.Write());
    EXPECT_EQ(memory.files().readFile("C:\\Data\\Logs\\korvanec.log"),
              "first change, twenty-nine bytes\r\nsecond\r\n");
    log.Add("third");
    ASSERT_TRUE(log.Write());
    EXPECT_EQ(memory.files().readFile("C:\\Data\\Logs\\korvanec.log"), "third\r\n");
    EXPECT_EQ(memory.files().readFile("C:\\Data\\Logs\\korvanec.1.log"),
              "first change, twenty-nine bytes\r\nsecond\r\n");
    memory.files().FailWrite("C:\\Data\\Logs\\korvanec.log.tmp");
    log.Add("fourth");
    EXPECT_FALSE(log.Write());
    EXPECT_EQ(memory.files().readFile("C:\\Data\\Logs\\korvanec.log"), "third\r\n") << "never half a log";
}

}  // namespace
}  // namespace korvane::console
