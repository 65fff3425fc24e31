// The Publisher column: checked on workers after the list is shown, each answer put on the rows of its
// program whatever their order, cached for the session per file and time stamp; the two switches that
// hide rows signed by Microsoft; and the removal of an entry whose program is missing.
#include "core/UserSettings.h"
#include "startup/StartupTestSupport.h"

namespace korvane::testing {
namespace {

class StartupPublisherTest : public StartupTest {
protected:
    StartupPublisherTest() {
        UseVersion(kWindows10);
        AddProgram("Signed", "C:\\Apps\\signed.exe",
                   SignatureAnswer{SignatureState::Verified, "Contoso Ltd", ""});
        AddProgram(
            "Tampered", "C:\\Apps\\bad.exe",
            SignatureAnswer{SignatureState::NotVerified, "", "the file was changed after it was signed"});
        AddProgram("Plain", "C:\\Apps\\plain.exe");
        registry().SetString(HKCU, kRun, "Gone", "\"C:\\Apps\\gone.exe\" /tray");
        AddProgram("MsTool", "C:\\WINDOWS\\system32\\mstool.exe",
                   SignatureAnswer{SignatureState::Verified, "Microsoft Windows", ""});
    }

    void AddProgram(const std::string& name, const std::string& path,
                    std::optional<SignatureAnswer> answer = std::nullopt) {
        registry().SetString(HKCU, kRun, name, path);
        memory.files().AddFile(path, "MZ");
        if (answer) memory.signatures().SetAnswer(path, *answer);
    }
    MemorySignatureVerifier& verifier() { return memory.signatures(); }
};

TEST_F(StartupPublisherTest, TheListIsShownFirstAndEachStateArrivesAfterwards) {
    page.toolStartupClick();
    ASSERT_EQ(page.lvStartup.Count(), 5);
    // Answers reach the list only through the window's thread, after the listing has returned.
    for (const ListItem& row : page.lvStartup.Items()) EXPECT_EQ(row.subItems.at(2), "") << row.caption;

    WaitForPublishers();
    EXPECT_EQ(PublisherOf("Signed"), "Verified: Contoso Ltd");
    EXPECT_EQ(PublisherOf("Tampered"), "Not verified: the file was changed after it was signed");
    EXPECT_EQ(PublisherOf("Plain"), "Unsigned");
    EXPECT_EQ(PublisherOf("Gone"), "File not found");
    EXPECT_EQ(PublisherOf("MsTool"), "Verified: Microsoft Windows");
}

TEST_F(StartupPublisherTest, AnswersFindTheirRowsAfterTheUserSortedTheList) {
    registry().SetString(HKCU, kRun, "Signed again", "C:\\Apps\\signed.exe /second");
    page.toolStartupClick();
    page.lvStartup.ColumnClick(0);
    page.lvStartup.ColumnClick(0);  // descending: every row moved
    WaitForPublishers();
    EXPECT_EQ(PublisherOf("Signed"), "Verified: Contoso Ltd");
    EXPECT_EQ(PublisherOf("Signed again"), "Verified: Contoso Ltd");
    EXPECT_EQ(PublisherOf("Plain"), "Unsigned");
    EXPECT_EQ(PublisherOf("Gone"), "File not found");
}

TEST_F(StartupPublisherTest, AFileIsCheckedOncePerSessionUntilItChanges) {
    registry().SetString(HKCU, kRun, "Signed again", "C:\\Apps\\signed.exe /second");
    page.toolStartupClick();
    WaitForPublishers();
    // Five programs (two rows share one); the missing one is asked about every time.
    EXPECT_EQ(verifier().CheckCount(), 5);
    page.btnRefreshClick();
    WaitForPublishers();
    EXPECT_EQ(verifier().CheckCount(), 6);
    EXPECT_EQ(PublisherOf("Signed again"), "Verified: Contoso Ltd");

    // A new time stamp (an update of the program) is checked again, with its new answer.
    verifier().SetLastWrite("C:\\Apps\\signed.exe", 133000000000000000ull);
    verifier().SetAnswer("C:\\Apps\\signed.exe",
                         {SignatureState::NotVerified, "", "the certificate was revoked"});
    page.btnRefreshClick();
    WaitForPublishers();
    EXPECT_EQ(verifier().CheckCount(), 8);
    EXPECT_EQ(PublisherOf("Signed"), "Not verified: the certificate was revoked");

    // The cache belongs to the session, not to the page: another page asks nothing again.
    StartupPage second(state, history);
    second.toolStartupClick();
    ASSERT_TRUE(memory.ui().PumpUntil([&] { return !second.PublishersPending(); }));
    EXPECT_EQ(verifier().CheckCount(), 9);
}

TEST_F(StartupPublisherTest, HideVerifiedMicrosoftEntriesKeepsTheTickAndTheOtherRowsStates) {
    page.toolStartupClick();
    WaitForPublishers();
    page.cbHideMicrosoft.Click();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Signed", "Tampered", "Plain", "Gone"}));
    EXPECT_EQ(page.StartupStates.size(), 4u);
    EXPECT_EQ(page.HiddenCount(), 1);

    // Apply still changes the row the user unticked, and only it.
    ClickCheck("Plain");
    page.btnApplyClick();
    WaitForPublishers();
    EXPECT_EQ(Approved(HKCU, "Run", "Plain").value().data.at(0), 3);
    EXPECT_FALSE(Approved(HKCU, "Run", "MsTool").has_value());
    EXPECT_EQ(RowOf("MsTool"), -1);  // hidden again after Apply's new listing

    // The tick is kept in the user's settings; a new page starts with it.
    EXPECT_TRUE(ReadSettingFlag(registry(), kHideMicrosoftSetting, false));
    StartupPage second(state, history);
    EXPECT_TRUE(second.cbHideMicrosoft.Checked());

    page.cbHideMicrosoft.Click();
    EXPECT_EQ(page.lvStartup.Count(), 5);
    EXPECT_EQ(page.StartupStates, (std::vector<bool>{true, true, false, true, true}));
    EXPECT_FALSE(ReadSettingFlag(registry(), kHideMicrosoftSetting, true));
}

TEST_F(StartupPublisherTest, WindowsOwnServicesShowOnlyWithShowWindowsEntries) {
    registry().DeleteTreeRaw(HKCU, kRun);
    memory.files().AddFile("C:\\WINDOWS\\system32\\svchost.exe", "MZ");
    verifier().SetAnswer("C:\\WINDOWS\\system32\\svchost.exe",
                         {SignatureState::Verified, "Microsoft Windows", ""});
    memory.files().AddFile("C:\\Program Files\\Ms\\agent.exe", "MZ");
    verifier().SetAnswer("C:\\Program Files\\Ms\\agent.exe",
                         {SignatureState::Verified, "Microsoft Corporation", ""});
    memory.files().AddFile("C:\\WINDOWS\\fake.exe", "MZ");
    memory.services().AddService(
        {"Dhcp", "DHCP Client", "%SystemRoot%\\system32\\svchost.exe -k LocalService"});
    memory.services().AddService({"MsAgent", "Microsoft Agent", "\"C:\\Program Files\\Ms\\agent.exe\""});
    memory.services().AddService({"Fake", "Fake Windows", "\\SystemRoot\\fake.exe"});  // unsigned: shown

    page.toolStartupClick();
    WaitForPublishers();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Microsoft Agent", "Fake Windows"}));
    EXPECT_EQ(PublisherOf("Fake Windows"), "Unsigned");

    page.cbShowWindows.Click();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Microsoft Agent", "Fake Windows", "DHCP Client"}));
    EXPECT_EQ(PublisherOf("DHCP Client"), "Verified: Microsoft Windows");
    // Hiding Microsoft's entries hides it again, with the other Microsoft service.
    page.cbHideMicrosoft.Click();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Fake Windows"}));
}

TEST_F(StartupPublisherTest, AnEntryWhoseProgramIsMissingIsRemovedAfterBeingRecorded) {
    page.toolStartupClick();
    WaitForPublishers();
    page.lvStartup.SetSelected(RowOf("Plain"), true);
    EXPECT_FALSE(page.btnRemove.Enabled());
    page.lvStartup.SetSelected(RowOf("Gone"), true);
    EXPECT_TRUE(page.btnRemove.Enabled());

    dialogs().ScriptAnswers({false});
    page.btnRemove.Click();
    EXPECT_TRUE(registry().ValueExistsRaw(HKCU, kRun, "Gone"));
    EXPECT_EQ(history.EntryCount(), 0);

    page.btnRemove.Click();
    EXPECT_FALSE(registry().ValueExistsRaw(HKCU, kRun, "Gone"));
    EXPECT_EQ(RowOf("Gone"), -1);
    ASSERT_EQ(history.EntryCount(), 1);
    EXPECT_EQ(history.Entries()[0].type, "HKEY_CURRENT_USER\\" + kRun + "\\Gone");
    EXPECT_TRUE(memory.files().fileExists(history.FilePath()));  // saved before the deletion

    history.RestoreEntry(0);
    EXPECT_EQ(registry().GetString(HKCU, kRun, "Gone"), "\"C:\\Apps\\gone.exe\" /tray");
}

TEST_F(StartupPublisherTest, TasksServicesAndFolderFilesAreNeverRemovedHere) {
    ScheduledTask task;
    task.path = "\\Lost";
    task.name = "Lost";
    task.command = "C:\\Apps\\lost.exe";
    task.logonTrigger = true;
    memory.tasks().AddTask(task);
    memory.services().AddService({"LostSvc", "Lost service", "C:\\Apps\\lostsvc.exe"});
    page.toolStartupClick();
    WaitForPublishers();
    for (const std::string name : {"Lost", "Lost service"}) {
        EXPECT_EQ(PublisherOf(name), "File not found");
        page.lvStartup.SetSelected(RowOf(name), true);
        EXPECT_FALSE(page.btnRemove.Enabled()) << name;
    }
}

}  // namespace
}  // namespace korvane::testing
