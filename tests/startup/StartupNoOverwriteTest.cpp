// A move never overwrites another entry: in the dash scheme a value of the same name where the entry
// would go refuses the move with a message naming both; in the system-configuration scheme a record
// whose name is taken gets a free one, and enabling finds its record by what the record says.
#include "startup/StartupTestSupport.h"

namespace korvane::testing {
namespace {

using StartupNoOverwriteTest = StartupTest;

// Used to overwrite the first record: disabling the HKLM and the HKCU "Agent" left one record, and the
// machine-wide command was lost.
TEST_F(StartupNoOverwriteTest, TheSameNameParkedFromBothRootsKeepsBothRecords) {
    registry().SetString(HKLM, kRun, "Agent", "C:\\machine.exe");
    registry().SetString(HKCU, kRun, "Agent", "C:\\user.exe", regtype::ExpandSz);
    page.toolStartupClick();
    page.btnDisableClick();
    page.btnApplyClick();

    EXPECT_EQ(registry().SubkeyNamesRaw(HKLM, kParking), (std::vector<std::string>{"Agent", "Agent (2)"}));
    EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun, "Agent"));
    EXPECT_FALSE(registry().ValueExistsRaw(HKCU, kRun, "Agent"));
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Agent", "C:\\machine.exe", "HKLM\\" + kRun, false},
                                        {"Agent", "C:\\user.exe", "HKCU\\" + kRun, false}}));

    // Enabling the per-user row takes its own record, whatever the record is called.
    page.lvStartup.UserToggleCheck(1);
    page.btnApplyClick();
    EXPECT_EQ(registry().GetString(HKCU, kRun, "Agent"), "C:\\user.exe");
    EXPECT_EQ(registry().GetValue(HKCU, kRun, "Agent")->type, regtype::ExpandSz);
    EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun, "Agent"));
    EXPECT_EQ(registry().SubkeyNamesRaw(HKLM, kParking), (std::vector<std::string>{"Agent"}));
    EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Agent", "hkey"), "HKLM");

    // Now the per-user entry runs and the machine's is parked.
    ASSERT_EQ(Rows(), (std::vector<Row>{{"Agent", "C:\\user.exe", "HKCU\\" + kRun, true},
                                        {"Agent", "C:\\machine.exe", "HKLM\\" + kRun, false}}));
    page.lvStartup.UserToggleCheck(1);
    page.btnApplyClick();
    EXPECT_EQ(registry().GetString(HKLM, kRun, "Agent"), "C:\\machine.exe");
    EXPECT_TRUE(registry().SubkeyNamesRaw(HKLM, kParking).empty());
    EXPECT_EQ(MessageBoxTexts().size(), 3u);  // the restart message, once per Apply
}

TEST_F(StartupNoOverwriteTest, EnablingFindsTheRecordByItsValuesNotByTheCaption) {
    // The record named after the caption belongs to another entry.
    AddRecord("Agent", "Agent", "C:\\machine.exe", "HKLM", kRun);
    AddRecord("Agent.user", "Agent", "C:\\user.exe", "HKCU", kRun);
    page.toolStartupClick();
    int userRow = -1;
    for (int i = 0; i < page.lvStartup.Count(); ++i)
        if (page.lvStartup.Tag<StartupEntry>(i)->root == HKCU) userRow = i;
    ASSERT_GE(userRow, 0);
    page.lvStartup.UserToggleCheck(userRow);
    page.btnApplyClick();
    EXPECT_EQ(registry().GetString(HKCU, kRun, "Agent"), "C:\\user.exe");
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kParking + "\\Agent.user"));
    EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Agent", "command"), "C:\\machine.exe");
}

// Used to overwrite the value already there with the parked command.
TEST_F(StartupNoOverwriteTest, EnablingOverAnExistingValueIsRefusedWithBothNamed) {
    AddRecord("Agent", "Agent", "C:\\parked.exe", "HKCU", kRun);
    registry().SetString(HKCU, kRun, "agent", "C:\\running.exe");  // names ignore case
    page.toolStartupClick();
    ASSERT_EQ(page.lvStartup.Count(), 2);
    page.btnEnableClick();
    page.btnApplyClick();

    EXPECT_EQ(registry().GetString(HKCU, kRun, "Agent"), "C:\\running.exe");
    EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Agent", "command"), "C:\\parked.exe");
    const auto texts = MessageBoxTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[0].find("'Agent' in HKCU\\" + kRun + " was not moved"), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("HKCU\\" + kRun + " already holds a startup entry 'Agent'"), std::string::npos)
        << texts[0];
    EXPECT_EQ(dialogs().Records()[0].icon, MessageIcon::Warning);
}

TEST_F(StartupNoOverwriteTest, DashSchemeRefusesToOverwriteEitherWayOnBothRoots) {
    UseVersionClass(2);
    for (HKey root : {HKLM, HKCU}) {
        const std::string abbreviation = root == HKLM ? "HKLM\\" : "HKCU\\";
        SCOPED_TRACE(abbreviation);
        registry().SetString(root, kRun, "Tray", "C:\\new.exe");
        registry().SetString(root, kRun + "-", "Tray", "C:\\parked.exe");
        const StartupEntry running = RunValue(root, kRun, "Tray", "C:\\new.exe");
        const StartupEntry parked = RunValue(root, kRun + "-", "Tray", "C:\\parked.exe");
        EXPECT_EQ(MoveStartupEntry(registry(), running, 2, false), MoveOutcome::RefusedTargetTaken);
        EXPECT_EQ(MoveStartupEntry(registry(), parked, 2, true), MoveOutcome::RefusedTargetTaken);
        EXPECT_EQ(registry().GetString(root, kRun, "Tray"), "C:\\new.exe");
        EXPECT_EQ(registry().GetString(root, kRun + "-", "Tray"), "C:\\parked.exe");
        // A free name moves as before.
        registry().SetString(root, kRun, "Solo", "C:\\solo.exe");
        EXPECT_EQ(MoveStartupEntry(registry(), RunValue(root, kRun, "Solo", "C:\\solo.exe"), 2, false),
                  MoveOutcome::Moved);
        EXPECT_EQ(registry().GetString(root, kRun + "-", "Solo"), "C:\\solo.exe");
        EXPECT_EQ(MoveTargetLocation(running, 2, false), abbreviation + kRun + "-");
        EXPECT_EQ(MoveTargetLocation(parked, 2, true), abbreviation + kRun);
    }
    // Through the page: the message names the entry and the one in the way.
    page.toolStartupClick();
    ClickCheck("Tray");
    page.btnApplyClick();
    const auto texts = MessageBoxTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[0].find("'Tray' in HKLM\\" + kRun + " was not moved: HKLM\\" + kRun +
                            "- already holds a startup entry 'Tray'"),
              std::string::npos)
        << texts[0];
}

TEST_F(StartupNoOverwriteTest, SystemConfigurationSchemeOnBothRootsNeverReplacesARecord) {
    for (HKey root : {HKLM, HKCU}) {
        const StartupEntry tool = RunValue(root, kRun, "Tool", "C:\\tool.exe");
        SCOPED_TRACE(tool.RegistryLocation());
        registry().DeleteTreeRaw(HKLM, kParking);
        AddRecord("Tool", "Tool", "C:\\older.exe", root == HKLM ? "HKCU" : "HKLM", kRun);
        registry().SetString(root, kRun, "Tool", "C:\\tool.exe");
        EXPECT_EQ(MoveStartupEntry(registry(), tool, 6, false), MoveOutcome::Moved);
        EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Tool", "command"), "C:\\older.exe");
        EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Tool (2)", "command"), "C:\\tool.exe");
        EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Tool (2)", "item"), "Tool");
        // Enabling goes through the parked record's own entry, as its row carries it.
        StartupEntry record = tool;
        record.kind = StartupKind::ParkedRecord;
        EXPECT_EQ(MoveStartupEntry(registry(), record, 6, true), MoveOutcome::Moved);
        EXPECT_EQ(registry().GetString(root, kRun, "Tool"), "C:\\tool.exe");
        EXPECT_EQ(registry().SubkeyNamesRaw(HKLM, kParking), (std::vector<std::string>{"Tool"}));
        registry().DeleteTreeRaw(root, kRun);
    }
}

}  // namespace
}  // namespace korvane::testing
