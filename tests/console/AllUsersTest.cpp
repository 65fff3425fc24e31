// A run as SYSTEM serving every user of the machine: three profiles, Alice signed in (her hive under
// HKEY_USERS\<SID>) and Bob and Carol signed out (their NTUSER.DAT and UsrClass.dat loaded for the run
// and always unloaded again). Findings, fixes and the undo history name each profile under
// HKEY_USERS\<SID>, so a restore writes back into that user's own hive.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "console/KorvanecFixture.h"
#include "console/UserProfiles.h"
#include "support/ForwardingRegistry.h"

namespace korvane::console {
namespace {

const std::string kAlice = "S-1-5-21-11-22-33-1001";
const std::string kBob = "S-1-5-21-11-22-33-1002";
const std::string kCarol = "S-1-5-21-11-22-33-1003";
const std::string kFileExts = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const std::string kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

class AllUsersTest : public KorvanecFixture {
protected:
    AllUsersTest() {
        MemorySystemInfo& system = memory.system();
        system.sid = kSystemSid;
        system.account = "NT AUTHORITY\\SYSTEM";
        system.elevated = true;
        system.localAppDataFolder = "C:\\WINDOWS\\system32\\config\\systemprofile\\AppData\\Local";
        memory.files().AddFolder("C:\\ProgramData");
        AddProfile(kAlice, "alice");
        AddProfile(kBob, "bob");
        AddProfile(kCarol, "carol");
        registry.SetString(roots::LocalMachine, kProfileList + "\\S-1-5-18", "ProfileImagePath",
                           "%systemroot%\\system32\\config\\systemprofile", regtype::ExpandSz);
        // SYSTEM's own keys: never a user's findings.
        registry.CreateKey(roots::CurrentUser, kFileExts + "\\.sys");
        // A class every user sees through the machine's classes.
        registry.CreateKey(roots::LocalMachine, "SOFTWARE\\Classes\\.xxx");

        registry.CreateKey(roots::Users, kAlice + "\\" + kFileExts + "\\.zzz");
        registry.CreateKey(roots::Users, kAlice + "\\" + kFileExts + "\\.xxx");
        InHive("C:\\Users\\bob\\NTUSER.DAT", [&](const std::string& hive) {
            registry.CreateKey(roots::Users, hive + "\\" + kFileExts + "\\.zzz");
            registry.CreateKey(roots::Users, hive + "\\" + kFileExts + "\\.yyy");
            registry.SetString(roots::Users, hive + "\\" + kFileExts + "\\.zzz", "Note", "bob's");
        });
        InHive(ClassesFile("bob"),
               [&](const std::string& hive) { registry.CreateKey(roots::Users, hive + "\\.yyy"); });
        InHive("C:\\Users\\carol\\NTUSER.DAT", [&](const std::string& hive) {
            registry.CreateKey(roots::Users, hive + "\\" + kFileExts + "\\.zzz");
        });
    }

    static std::string ClassesFile(const std::string& user) {
        return "C:\\Users\\" + user + "\\AppData\\Local\\Microsoft\\Windows\\UsrClass.dat";
    }
    void AddProfile(const std::string& sid, const std::string& user) {
        registry.SetString(roots::LocalMachine, kProfileList + "\\" + sid, "ProfileImagePath",
                           "%SystemDrive%\\Users\\" + user, regtype::ExpandSz);
        memory.files().AddFolder("C:\\Users\\" + user);
        memory.files().AddFile("C:\\Users\\" + user + "\\NTUSER.DAT", "regf");
    }
    // Writes into a hive file as an administrator would with reg load / reg unload.
    void InHive(const std::string& file, const std::function<void(const std::string&)>& write) {
        memory.files().AddFile(file, "regf");
        ASSERT_EQ(registry.loadHive(roots::Users, "Test.Hive", file), status::Success);
        write("Test.Hive");
        ASSERT_EQ(registry.unloadHive(roots::Users, "Test.Hive"), status::Success);
    }
    bool KeyInHive(const std::string& file, const std::string& path) {
        bool exists = false;
        InHive(file, [&](const std::string& hive) {
            exists = registry.KeyExistsRaw(roots::Users, hive + "\\" + path);
        });
        return exists;
    }
    static std::string UserKey(const std::string& sid, const std::string& extension) {
        return "HKEY_USERS\\" + sid + "\\" + kFileExts + "\\" + extension;
    }
    std::map<std::string, std::string> ProfilesOfFindings() {
        std::map<std::string, std::string> profiles;
        for (const auto& finding : Findings())
            profiles[finding["keyName"]] =
                finding["profile"].is_null() ? "" : finding["profile"].get<std::string>();
        return profiles;
    }
};

TEST_F(AllUsersTest, EveryProfileIsScannedOnceAndEveryHiveUnloadedAfterwards) {
    ASSERT_EQ(Run({"scan", "--all-users", "--format", "json"}), kExitFindings) << err.str();
    const std::map<std::string, std::string> expected = {{kLm + kAppPaths + "\\gone.exe", ""},
                                                         {kLm + kSharedDlls + "\\C:\\Gone\\shared.dll", ""},
                                                         {UserKey(kAlice, ".zzz"), kAlice},
                                                         {UserKey(kBob, ".zzz"), kBob},
                                                         {UserKey(kCarol, ".zzz"), kCarol}};
    // Not .xxx (a machine class), not Bob's .yyy (his own class), not SYSTEM's .sys.
    EXPECT_EQ(ProfilesOfFindings(), expected);
    const nlohmann::json scope = Json()["scope"];
    EXPECT_EQ(scope["profiles"], (nlohmann::json{{{"sid", kAlice}, {"signedIn", true}},
                                                 {{"sid", kBob}, {"signedIn", false}},
                                                 {{"sid", kCarol}, {"signedIn", false}}}));
    EXPECT_EQ(scope["machineKeysOnly"], false);
    std::set<std::string> ids;
    for (const auto& finding : Findings()) ids.insert(finding["id"].get<std::string>());
    EXPECT_EQ(ids.size(), 5u) << "the same entry in three profiles gives three ids";
    EXPECT_TRUE(registry.MountedHivesRaw().empty());
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
    EXPECT_TRUE(memory.files().ExistsRaw("C:\\ProgramData\\Korvane"));
}

TEST_F(AllUsersTest, HivesAreUnloadedAlsoWhenTheScanThrows) {
    // The registry gives way while Carol's hive is read.
    class Failing : public testing::ForwardingRegistry {
    public:
        using ForwardingRegistry::ForwardingRegistry;
        long openKey(HKey parent, const std::string& path, std::uint32_t rights, HKey& out) override {
            if (path.find("Korvane.Profile." + kCarol + "\\") != std::string::npos)
                throw std::runtime_error("disk gone");
            return ForwardingRegistry::openKey(parent, path, rights, out);
        }
    } failing(registry);
    Platform platform{failing,     memory.files(),  memory.system(), memory.processes(),
                      memory.ui(), memory.dialogs()};
    EXPECT_EQ(RunKorvanec(platform, {"scan", "--all-users"}, out, err, false), kExitError);
    EXPECT_NE(err.str().find("disk gone"), std::string::npos) << err.str();
    EXPECT_TRUE(registry.MountedHivesRaw().empty());
}

TEST_F(AllUsersTest, AMountAKilledRunLeftIsUnloadedAtTheNextStart) {
    ASSERT_EQ(registry.loadHive(roots::Users, kMountPrefix + kBob, "C:\\Users\\bob\\NTUSER.DAT"),
              status::Success);
    ASSERT_EQ(Run({"history"}), kExitOk) << err.str();
    EXPECT_TRUE(registry.MountedHivesRaw().empty());
}

TEST_F(AllUsersTest, ASystemRunWithoutProfilesScansTheMachineKeysOnlyAndSaysSo) {
    ASSERT_EQ(Run({"scan", "--format", "json", "--summary"}), kExitFindings) << err.str();
    EXPECT_NE(LastLine().find("machine keys only"), std::string::npos) << LastLine();
    out.str(out.str().substr(0, out.str().size() - LastLine().size() - 1));
    EXPECT_EQ(Json()["scope"]["machineKeysOnly"], true);
    EXPECT_NE(Json()["scope"]["note"].get<std::string>().find("--all-users"), std::string::npos);
    for (const auto& finding : Findings()) EXPECT_EQ(finding["key"]["root"], "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(Findings().size(), 2u);
}

TEST_F(AllUsersTest, FixAndRestoreReachASignedOutUsersHive) {
    ASSERT_EQ(Run({"fix", "--key", UserKey(kBob, ".zzz"), "--user", kBob, "--format", "json"}), kExitOk)
        << err.str();
    EXPECT_EQ(Json()["changes"], 1);
    EXPECT_FALSE(KeyInHive("C:\\Users\\bob\\NTUSER.DAT", kFileExts + "\\.zzz"));
    EXPECT_TRUE(KeyInHive("C:\\Users\\bob\\NTUSER.DAT", kFileExts + "\\.yyy"));
    EXPECT_TRUE(memory.files().ExistsRaw("C:\\ProgramData\\Korvane\\Backup.xml"));
    // One line per change, with its history entry, in the data folder's log.
    const auto log = memory.files().readFile("C:\\ProgramData\\Korvane\\Logs\\korvanec.log");
    ASSERT_TRUE(log);
    EXPECT_NE(log->find("fix deleted " + UserKey(kBob, ".zzz") + " (history entry 0)"), std::string::npos)
        << *log;

    ASSERT_EQ(Run({"history", "--format", "json"}), kExitOk);
    EXPECT_EQ(Json()["entries"][0]["profile"], kBob);
    ASSERT_EQ(Run({"restore", "--all"}), kExitOk) << err.str();
    EXPECT_TRUE(registry.MountedHivesRaw().empty());
    bool restored = false;
    InHive("C:\\Users\\bob\\NTUSER.DAT", [&](const std::string& hive) {
        restored = registry.GetString(roots::Users, hive + "\\" + kFileExts + "\\.zzz", "Note") == "bob's";
    });
    EXPECT_TRUE(restored);
    EXPECT_FALSE(registry.KeyExistsRaw(roots::Users, kBob)) << "nothing written beside the hive";
}

TEST_F(AllUsersTest, UserTakesOneProfileAndRefusesWhatIsNone) {
    ASSERT_EQ(Run({"scan", "--user", kCarol, "--format", "json"}), kExitFindings) << err.str();
    EXPECT_EQ(ProfilesOfFindings().count(UserKey(kCarol, ".zzz")), 1u);
    EXPECT_EQ(ProfilesOfFindings().count(UserKey(kBob, ".zzz")), 0u);
    EXPECT_EQ(Run({"scan", "--user", "bob"}), kExitError);
    EXPECT_NE(err.str().find("not a SID"), std::string::npos);
    EXPECT_EQ(Run({"scan", "--user", "S-1-5-21-9-9-9-9"}), kExitError);
    EXPECT_EQ(Run({"scan", "--user", kBob, "--all-users"}), kExitError);
}

TEST_F(AllUsersTest, AProfileThatCannotBeLoadedIsSkippedWithItsReason) {
    registry.DenyHiveLoading(true);
    memory.files().deleteFile("C:\\Users\\carol\\NTUSER.DAT");
    ASSERT_EQ(Run({"scan", "--all-users", "--format", "json"}), kExitFindings) << err.str();
    const nlohmann::json skipped = Json()["scope"]["skipped"];
    ASSERT_EQ(skipped.size(), 2u);
    EXPECT_EQ(skipped[0]["sid"], kBob);
    EXPECT_NE(skipped[0]["reason"].get<std::string>().find("privileges"), std::string::npos);
    EXPECT_NE(skipped[1]["reason"].get<std::string>().find("does not exist"), std::string::npos);
    EXPECT_EQ(Json()["scope"]["profiles"].size(), 1u);
}

}  // namespace
}  // namespace korvane::console
