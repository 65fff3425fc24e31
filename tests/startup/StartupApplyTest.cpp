// Apply: entries moved between their Run keys and their parking places in both schemes, with the
// registry checked afterwards; value types kept; the restart message; the refusals; the Apply
// button's enable rules.
#include "startup/StartupTestSupport.h"

namespace korvane::testing {
namespace {

class StartupApplyTest : public StartupTest {
protected:
    void ExpectRestartMessageThenNothingElse() {
        const auto records = dialogs().Records();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].kind, DialogKind::MessageBox);
        EXPECT_EQ(records[0].text, "You must restart the computer to apply the changes.");
        EXPECT_EQ(records[0].title, "Korvane");
        EXPECT_EQ(records[0].icon, MessageIcon::Information);
    }
    std::optional<RegValue> Value(HKey root, const std::string& path, const std::string& name) {
        return registry().GetValue(root, path, name);
    }
    std::uint32_t TypeOf(HKey root, const std::string& path, const std::string& name) {
        auto value = Value(root, path, name);
        return value ? value->type : 0xFFFFFFFF;
    }
};

TEST_F(StartupApplyTest, SystemConfigurationSchemeParksAndRestoresAPerUserEntry) {
    // Windows XP and Windows 7 (class 8 before NT 6.2) park entries.
    for (const VersionRecord& version : {*VersionOfClass(6), kWindows7}) {
        SCOPED_TRACE(version.major);
        registry().DeleteTreeRaw(HKCU, "Software");
        registry().DeleteTreeRaw(HKLM, "Software");
        dialogs().Clear();
        UseVersion(version);
        registry().SetString(HKCU, kRun, "Agent", "%ProgramFiles%\\agent.exe /tray", regtype::ExpandSz);
        registry().SetString(HKCU, kRun, "Other", "C:\\other.exe");
        AddRecord("Kept", "Kept", "C:\\kept.exe", "HKLM", kRun);
        page.btnRefreshClick();

        ClickCheck("Agent");
        page.btnApply.Click();
        ExpectRestartMessageThenNothingElse();
        EXPECT_FALSE(registry().ValueExistsRaw(HKCU, kRun, "Agent"));
        const std::string record = kParking + "\\Agent";
        EXPECT_EQ(registry().ValueNamesRaw(HKLM, record),
                  (std::vector<std::string>{"command", "hkey", "inimapping", "item", "key"}));
        EXPECT_EQ(registry().GetString(HKLM, record, "command"), "%ProgramFiles%\\agent.exe /tray");
        EXPECT_EQ(TypeOf(HKLM, record, "command"), regtype::ExpandSz);
        EXPECT_EQ(registry().GetString(HKLM, record, "hkey"), "HKCU");
        EXPECT_EQ(registry().GetString(HKLM, record, "inimapping"), "0");
        EXPECT_EQ(registry().GetString(HKLM, record, "item"), "Agent");
        EXPECT_EQ(registry().GetString(HKLM, record, "key"), kRun);
        for (const char* name : {"hkey", "inimapping", "item", "key"})
            EXPECT_EQ(TypeOf(HKLM, record, name), regtype::Sz) << name;

        // The list was read again: the entry now shows as parked, where it will run from.
        ASSERT_GE(RowOf("Agent"), 0);
        EXPECT_FALSE(page.lvStartup.Checked(RowOf("Agent")));
        EXPECT_EQ(page.lvStartup.SubItem(RowOf("Agent"), 1), "HKCU\\" + kRun);
        EXPECT_FALSE(page.btnApply.Enabled());

        ClickCheck("Agent");
        page.btnApply.Click();
        EXPECT_EQ(registry().GetString(HKCU, kRun, "Agent"), "%ProgramFiles%\\agent.exe /tray");
        EXPECT_EQ(TypeOf(HKCU, kRun, "Agent"), regtype::ExpandSz);
        EXPECT_FALSE(registry().KeyExistsRaw(HKLM, record));
        EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kParking + "\\Kept"));
        EXPECT_EQ(registry().GetString(HKCU, kRun, "Other"), "C:\\other.exe");
        EXPECT_TRUE(page.lvStartup.Checked(RowOf("Agent")));
    }
}

TEST_F(StartupApplyTest, RecordOfAnotherProgramEnablesAsPlainStringAndCreatesTheRunKey) {
    AddRecord("Helper", "Helper", "C:\\helper.exe -s", "HKLM", kRun + "\\Nested");
    page.toolStartupClick();
    ClickCheck("Helper");
    page.btnApply.Click();
    EXPECT_EQ(registry().GetString(HKLM, kRun + "\\Nested", "Helper"), "C:\\helper.exe -s");
    EXPECT_EQ(TypeOf(HKLM, kRun + "\\Nested", "Helper"), regtype::Sz);
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kParking + "\\Helper"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kParking));  // only the record goes
}

TEST_F(StartupApplyTest, DashSchemeMovesValuesWithTheirTypeAndCreatesTheDashKey) {
    for (int versionClass : {2, 4}) {  // class 4 lists the dash keys, so Apply uses them too
        SCOPED_TRACE(versionClass);
        registry().DeleteTreeRaw(HKLM, "Software");
        UseVersionClass(versionClass);
        registry().SetString(HKLM, kRun, "Tray", "%windir%\\tray.exe", regtype::ExpandSz);
        registry().SetString(HKLM, kRunServices, "Svc", "C:\\svc.exe");
        page.btnRefreshClick();

        ClickCheck("Tray");
        ClickCheck("Svc");
        page.btnApply.Click();
        EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun, "Tray"));
        EXPECT_EQ(registry().GetString(HKLM, kRun + "-", "Tray"), "%windir%\\tray.exe");
        EXPECT_EQ(TypeOf(HKLM, kRun + "-", "Tray"), regtype::ExpandSz);
        EXPECT_EQ(registry().GetString(HKLM, kRunServices + "-", "Svc"), "C:\\svc.exe");
        EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kParking));
        EXPECT_EQ(Rows(), (std::vector<Row>{{"Tray", "%windir%\\tray.exe", "HKLM\\" + kRun + "-", false},
                                            {"Svc", "C:\\svc.exe", "HKLM\\" + kRunServices + "-", false}}));

        ClickCheck("Tray");
        page.btnApply.Click();
        EXPECT_EQ(TypeOf(HKLM, kRun, "Tray"), regtype::ExpandSz);
        EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun + "-", "Tray"));
        EXPECT_TRUE(page.lvStartup.Checked(RowOf("Tray")));
        EXPECT_FALSE(page.lvStartup.Checked(RowOf("Svc")));
    }
}

TEST_F(StartupApplyTest, ApplyWithoutChangesOrOnUnknownWindowsOnlyTellsAndRereads) {
    registry().SetString(HKLM, kRun, "App", "C:\\app.exe");
    page.toolStartupClick();
    registry().SetString(HKLM, kRun, "Arrived", "C:\\arrived.exe");
    page.btnApplyClick();
    ExpectRestartMessageThenNothingElse();
    EXPECT_EQ(page.lvStartup.Count(), 2);

    dialogs().Clear();
    UseVersionClass(0);
    page.btnApplyClick();
    ExpectRestartMessageThenNothingElse();
    EXPECT_EQ(page.lvStartup.Count(), 0);
    EXPECT_EQ(registry().ValueNamesRaw(HKLM, kRun), (std::vector<std::string>{"App", "Arrived"}));
}

TEST_F(StartupApplyTest, EmptyOrNestedNamesNeverTouchTheParkingKey) {
    registry().SetString(HKLM, kRun, "", "C:\\default.exe");
    registry().SetString(HKLM, kRun, "a\\b", "C:\\ab.exe");
    AddRecord("Other", "Other", "C:\\o.exe", "HKLM", kRun);
    AddRecord("NoItem", "", "C:\\noitem.exe", "HKLM", kRun);
    page.toolStartupClick();
    ASSERT_EQ(page.lvStartup.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        const std::string name = page.lvStartup.Item(i).caption;
        if (name != "Other") page.lvStartup.UserToggleCheck(i);
    }
    page.btnApply.Click();

    const auto texts = MessageBoxTexts();
    ASSERT_EQ(texts.size(), 4u);  // three refusals, then the restart message
    EXPECT_NE(texts[0].find("without a name in HKLM\\" + kRun), std::string::npos) << texts[0];
    EXPECT_NE(texts[1].find("'a\\b'"), std::string::npos) << texts[1];
    EXPECT_NE(texts[2].find("without a name"), std::string::npos) << texts[2];
    EXPECT_EQ(texts[3], "You must restart the computer to apply the changes.");
    EXPECT_EQ(dialogs().Records()[0].icon, MessageIcon::Warning);

    EXPECT_EQ(registry().GetString(HKLM, kRun, ""), "C:\\default.exe");
    EXPECT_EQ(registry().GetString(HKLM, kRun, "a\\b"), "C:\\ab.exe");
    EXPECT_EQ(registry().SubkeyNamesRaw(HKLM, kParking), (std::vector<std::string>{"NoItem", "Other"}));
    EXPECT_TRUE(registry().ValueNamesRaw(HKLM, kParking).empty());
    EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Other", "command"), "C:\\o.exe");
    EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun, "NoItem"));
}

TEST_F(StartupApplyTest, RecordWithoutARootOrKeyIsNotEnabled) {
    AddRecord("Odd", "Odd", "C:\\odd.exe", "HKEY_LOCAL_MACHINE", kRun);
    AddRecord("Rootless", "Rootless", "C:\\r.exe", "HKCU", "");
    page.toolStartupClick();
    page.btnEnableClick();
    page.btnApplyClick();

    const auto texts = MessageBoxTexts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NE(texts[0].find("'Odd' in HKEY_LOCAL_MACHINE\\" + kRun), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("registry root"), std::string::npos) << texts[0];
    EXPECT_NE(texts[1].find("'Rootless' in HKCU\\"), std::string::npos) << texts[1];
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kParking + "\\Odd"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kParking + "\\Rootless"));
    EXPECT_FALSE(registry().ValueExistsRaw(HKCU, "", "Rootless"));
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kRun));
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Odd")));  // read again: still parked
}

TEST_F(StartupApplyTest, TargetThatCannotBeWrittenLeavesTheRowAndTheOthersGoOn) {
    registry().SetString(HKLM, kRun, "Locked", "C:\\locked.exe");
    registry().SetString(HKCU, kRun, "Free", "C:\\free.exe");
    registry().DenyWrite(HKLM, kRun);
    page.toolStartupClick();
    page.btnDisableClick();
    page.btnApplyClick();
    EXPECT_EQ(registry().GetString(HKLM, kRun, "Locked"), "C:\\locked.exe");
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kParking + "\\Locked"));
    EXPECT_FALSE(registry().ValueExistsRaw(HKCU, kRun, "Free"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kParking + "\\Free"));
    // The refused entry is not passed off as changed: the user hears of it after the restart message.
    const auto records = dialogs().Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].text, "You must restart the computer to apply the changes.");
    EXPECT_EQ(records[1].kind, DialogKind::Error);
    EXPECT_EQ(records[1].text, "1 startup entry could not be changed: it needs administrator rights.");
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Locked")));
}

TEST_F(StartupApplyTest, AStandardUserWhoseEveryChangeIsRefusedIsOfferedARestartAndNoComputerRestart) {
    registry().SetString(HKLM, kRun, "Machine", "C:\\machine.exe");
    registry().SetString(HKCU, kRun, "Mine", "C:\\mine.exe");  // parked below HKLM: refused as well
    registry().SetStandardUser(true);
    std::vector<std::string> restartedOn;
    state.restartAsAdministrator = [&](const std::string& name) {
        restartedOn.push_back(name);
        return true;
    };
    state.MainControl.AddPage(page);
    page.toolStartupClick();
    page.btnDisableClick();
    dialogs().ScriptAnswers({true});
    page.btnApplyClick();

    EXPECT_EQ(registry().GetString(HKLM, kRun, "Machine"), "C:\\machine.exe");
    EXPECT_EQ(registry().GetString(HKCU, kRun, "Mine"), "C:\\mine.exe");
    const auto records = dialogs().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, DialogKind::Confirm);
    EXPECT_EQ(records[0].text,
              "2 startup entries could not be changed: they need administrator rights.\n\n"
              "Restart Korvane as administrator?");
    EXPECT_EQ(restartedOn, (std::vector<std::string>{"tabStartup"}));
    // Listed again as the registry holds them: both still enabled.
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Machine")));
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Mine")));
}

TEST_F(StartupApplyTest, DisablingKeepsTheValueWhenTheParkingKeyIsReadOnly) {
    registry().SetString(HKCU, kRun, "Keep", "C:\\keep.exe");
    registry().CreateKey(HKLM, kParking);
    registry().DenyWrite(HKLM, kParking);
    page.toolStartupClick();
    ClickCheck("Keep");
    page.btnApplyClick();
    EXPECT_EQ(registry().GetString(HKCU, kRun, "Keep"), "C:\\keep.exe");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Keep", "C:\\keep.exe", "HKCU\\" + kRun, true}}));
}

TEST_F(StartupApplyTest, ApplyButtonFollowsTheDifferencesFromTheListedState) {
    registry().SetString(HKLM, kRun, "One", "C:\\1.exe");
    registry().SetString(HKLM, kRun, "Two", "C:\\2.exe");
    page.toolStartupClick();
    EXPECT_TRUE(page.btnApply.Enabled());  // enabled when the window opens

    page.lvStartup.Click();  // a click that changes nothing
    EXPECT_FALSE(page.btnApply.Enabled());
    ClickCheck("Two");
    EXPECT_TRUE(page.btnApply.Enabled());
    ClickCheck("Two");
    EXPECT_FALSE(page.btnApply.Enabled());

    page.btnDisable.Click();  // check all / uncheck all alone leave the button as it is
    EXPECT_FALSE(page.btnApply.Enabled());
    page.lvStartup.Click();
    EXPECT_TRUE(page.btnApply.Enabled());
    page.btnEnable.Click();
    EXPECT_TRUE(page.btnApply.Enabled());
    EXPECT_TRUE(page.lvStartup.Checked(0) && page.lvStartup.Checked(1));

    ClickCheck("One");
    page.btnApply.Click();
    EXPECT_FALSE(page.btnApply.Enabled());
    EXPECT_EQ(page.StartupStates, (std::vector<bool>{true, false}));  // the listing after Apply
}

}  // namespace
}  // namespace korvane::testing
