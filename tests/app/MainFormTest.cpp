// The main window's logic on the in-memory platform: start-up in a fresh folder, unreadable documents
// set aside, where ignore.xml is looked for, the autorun option, the navigation's re-read rules and
// closing.
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "platform/Utf16.h"
#include "platform/memory/MemoryPlatform.h"
#include "registry/RegistryAccess.h"

namespace korvane {
namespace {

constexpr const char* kExe = "C:\\Korvane\\Korvane.exe";
constexpr const char* kRunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

ListItem Row(const std::string& caption, std::vector<std::string> subItems, bool checked) {
    ListItem row;
    row.caption = caption;
    row.subItems = std::move(subItems);
    row.checked = checked;
    return row;
}

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest() {
        memory.system().executable = kExe;
        memory.files().AddFolder("C:\\Korvane");
    }

    MainForm& Form() {
        if (!form) form = std::make_unique<MainForm>(memory.platform());
        return *form;
    }
    void Start() {
        Form().FormCreate();
        Form().FormShow();
    }
    void SetRunValue(const RegValue& value) {
        RegistryAccess reg(memory.platform().registry);
        reg.SetRoot(roots::CurrentUser);
        ASSERT_TRUE(reg.OpenRegKey(kRunKey, CreateIfMissing::Yes));
        reg.WriteRaw("ZazOru", value);
    }
    static RegValue Text(const std::string& text) { return RegValue{regtype::Sz, RegistryTextBytes(text)}; }
    std::optional<std::string> RunValue() {
        RegistryAccess reg(memory.platform().registry);
        reg.SetRoot(roots::CurrentUser);
        if (!reg.OpenRegKeyReadOnly(kRunKey) || !reg.ValueExists("ZazOru")) return std::nullopt;
        return reg.ReadText("ZazOru");
    }

    MemoryPlatform memory;
    std::unique_ptr<MainForm> form;
};

TEST_F(MainFormTest, FirstStartInAFreshFolder) {
    Start();
    MainForm& f = Form();
    EXPECT_EQ(f.state.ProgramFolder, "C:\\Korvane\\");
    EXPECT_EQ(f.state.BackupFolder, "C:\\Korvane\\Backup");
    EXPECT_TRUE(memory.files().directoryExists("C:\\Korvane\\Backup"));
    EXPECT_EQ(f.history.Document().DocumentElement().Name(), "Korvane");
    EXPECT_EQ(f.history.Document().DocumentElement().ChildCount(), 0);
    EXPECT_EQ(f.ignoreList.Document().DocumentElement().Name(), "IgnoreList");
    EXPECT_EQ(f.tabIgnoreList.lvIgnore.Count(), 0);
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabScanErrors);
    EXPECT_FALSE(f.cbAutoRun.Checked());
    EXPECT_EQ(f.dateFormat.FormatShortDate({2026, 12, 6, 20, 10, 32}), "12/06/2026");
    ASSERT_EQ(f.tabScanErrors.lvScanGroups.Count(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(f.tabScanErrors.lvScanGroups.Checked(i)) << i;
        EXPECT_EQ(f.tabScanErrors.lvScanGroups.SubItem(i, 0), "0") << i;
    }
    EXPECT_TRUE(memory.dialogs().Records().empty());
    // Nothing is written at start; Backup.xml appears when the window closes.
    EXPECT_FALSE(memory.files().fileExists("C:\\Korvane\\Backup.xml"));
    EXPECT_TRUE(f.FormClose());
    auto saved = memory.files().readFile("C:\\Korvane\\Backup.xml");
    ASSERT_TRUE(saved);
    EXPECT_NE(saved->find("<Korvane"), std::string::npos);
}

TEST_F(MainFormTest, ExistingDocumentsAreLoaded) {
    memory.files().AddFile("C:\\Korvane\\Backup.xml",
                           "<?xml version=\"1.0\"?><Korvane><ELEMENT NAME=\"x\"/></Korvane>");
    memory.files().AddFile("C:\\ignore.xml",
                           "<IgnoreList><ERROR ROOT=\"HKEY_CURRENT_USER\" KEY=\"Software\\A\" VALUE=\"v\"/>"
                           "<ERROR ROOT=\"HKEY_LOCAL_MACHINE\" KEY=\"B\" VALUE=\"w\"/></IgnoreList>");
    Start();
    EXPECT_EQ(Form().history.Document().DocumentElement().ChildCount(), 1);
    const ListView& ignore = Form().tabIgnoreList.lvIgnore;
    ASSERT_EQ(ignore.Count(), 2);
    EXPECT_EQ(ignore.Item(0).caption, "HKEY_CURRENT_USER");
    EXPECT_EQ(ignore.SubItem(0, 0), "Software\\A");
    EXPECT_EQ(ignore.SubItem(0, 1), "v");
    EXPECT_FALSE(ignore.Checked(0));
    EXPECT_EQ(ignore.Item(1).caption, "HKEY_LOCAL_MACHINE");
}

// Used to stop start-up at the first unreadable file, and the next close overwrote the history.
TEST_F(MainFormTest, UnreadableDocumentsAreSetAsideAndStartUpCompletes) {
    memory.system().now = {2024, 3, 5, 7, 8, 9};
    memory.files().AddFile("C:\\Korvane\\Backup.xml", "<Korvane><ELEMENT");
    memory.files().AddFile("C:\\ignore.xml", "not xml at all");
    SetRunValue(Text(kExe));
    Start();
    MainForm& f = Form();

    auto errors = memory.dialogs().Records();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].kind, DialogKind::Error);
    EXPECT_NE(errors[0].text.find("Backup.xml.corrupt-20240305-070809"), std::string::npos) << errors[0].text;
    EXPECT_NE(errors[1].text.find("ignore.xml.corrupt-20240305-070809"), std::string::npos) << errors[1].text;

    EXPECT_EQ(memory.files().ContentsRaw("C:\\Korvane\\Backup.xml.corrupt-20240305-070809"),
              "<Korvane><ELEMENT");
    EXPECT_EQ(memory.files().ContentsRaw("C:\\ignore.xml.corrupt-20240305-070809"), "not xml at all");
    EXPECT_FALSE(memory.files().fileExists("C:\\Korvane\\Backup.xml"));
    EXPECT_FALSE(memory.files().fileExists("C:\\ignore.xml"));

    // Both documents start empty and the remaining steps ran.
    EXPECT_EQ(f.history.Document().DocumentElement().Name(), "Korvane");
    EXPECT_EQ(f.ignoreList.Document().DocumentElement().Name(), "IgnoreList");
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabScanErrors);
    EXPECT_TRUE(f.cbAutoRun.Checked());
    EXPECT_EQ(f.tabScanErrors.lvScanGroups.Count(), 12);

    // Closing writes a fresh Backup.xml; the set-aside copy stays as it was.
    EXPECT_TRUE(f.FormClose());
    EXPECT_TRUE(memory.files().fileExists("C:\\Korvane\\Backup.xml"));
    EXPECT_EQ(memory.files().ContentsRaw("C:\\Korvane\\Backup.xml.corrupt-20240305-070809"),
              "<Korvane><ELEMENT");
}

TEST_F(MainFormTest, SetAsideNeverOverwritesAnEarlierCopy) {
    memory.system().now = {2024, 3, 5, 7, 8, 9};
    memory.files().AddFile("C:\\Korvane\\Backup.xml.corrupt-20240305-070809", "first");
    memory.files().AddFile("C:\\Korvane\\Backup.xml", "second <");
    Start();
    EXPECT_EQ(memory.files().ContentsRaw("C:\\Korvane\\Backup.xml.corrupt-20240305-070809"), "first");
    EXPECT_EQ(memory.files().ContentsRaw("C:\\Korvane\\Backup.xml.corrupt-20240305-070809-2"), "second <");
}

TEST_F(MainFormTest, IgnoreXmlIsLookedUpInTheCurrentFolder) {
    memory.files().AddFolder("C:\\Work");
    ASSERT_TRUE(memory.files().setCurrentDirectory("C:\\Work"));
    memory.files().AddFile("C:\\Work\\ignore.xml",
                           "<IgnoreList><ERROR ROOT=\"HKEY_USERS\" KEY=\"K\" VALUE=\"V\"/></IgnoreList>");
    memory.files().AddFile("C:\\Korvane\\ignore.xml",
                           "<IgnoreList><ERROR ROOT=\"beside the program\" KEY=\"K\" VALUE=\"V\"/>"
                           "<ERROR ROOT=\"beside the program\" KEY=\"L\" VALUE=\"V\"/></IgnoreList>");
    Start();
    ASSERT_EQ(Form().tabIgnoreList.lvIgnore.Count(), 1);
    EXPECT_EQ(Form().tabIgnoreList.lvIgnore.Item(0).caption, "HKEY_USERS");
    // Showing the Backup page moves the current folder to the program's folder.
    Form().toolBackup.Click();
    EXPECT_EQ(memory.files().currentDirectory(), "C:\\Korvane");
}

TEST_F(MainFormTest, AutorunReadsAndWritesTheRunValue) {
    Start();
    MainForm& f = Form();
    EXPECT_FALSE(f.IsAutorunSet());

    f.cbAutoRun.Click();  // the user ticks the box
    EXPECT_TRUE(f.cbAutoRun.Checked());
    EXPECT_EQ(RunValue(), std::optional<std::string>(kExe));
    EXPECT_TRUE(f.IsAutorunSet());

    f.cbAutoRun.Click();  // and clears it again: the value goes
    EXPECT_FALSE(f.cbAutoRun.Checked());
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_NO_THROW(f.SetAutorun(false));  // an absent value is no error

    // The registry ignores case, the comparison does not.
    SetRunValue(Text("c:\\korvane\\KORVANE.EXE"));
    EXPECT_FALSE(f.IsAutorunSet());
    SetRunValue(Text(std::string("\"") + kExe + "\""));
    EXPECT_FALSE(f.IsAutorunSet());
    SetRunValue(Text(kExe));
    EXPECT_TRUE(f.IsAutorunSet());
}

TEST_F(MainFormTest, AutorunBoxAtStartFollowsTheRegistry) {
    SetRunValue(Text("C:\\KORVANE\\Korvane.exe"));
    Start();
    EXPECT_FALSE(Form().cbAutoRun.Checked());
    // A value of another type cannot name the program: unticked, and no error at start.
    SetRunValue(RegValue{regtype::Dword, {1, 0, 0, 0}});
    EXPECT_FALSE(Form().IsAutorunSet());
    EXPECT_TRUE(memory.dialogs().Records().empty());
}

TEST_F(MainFormTest, RestoreHistoryAndBackupPagesAreReReadOnEveryVisit) {
    Start();
    MainForm& f = Form();
    int listings = 0;
    f.tabBackup.ListRestorePoints = [&] {
        ++listings;
        f.tabBackup.ltbk.Add("12-06-2026 8_10_32 PM");
    };
    f.toolBackup.Click();
    f.toolBackup.Click();
    EXPECT_EQ(listings, 2);
    EXPECT_EQ(f.tabBackup.ltbk.Count(), 1);  // emptied before every listing
    EXPECT_EQ(f.state.BackupFolder, "C:\\Korvane\\Backup\\");
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabBackup);

    // A stale row is dropped by the visit: the history list is rebuilt from the document.
    f.tabHistory.lvHistory.Add(Row("stale", {}, false));
    f.toolHistory.Click();
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabHistory);
    EXPECT_EQ(f.tabHistory.lvHistory.Count(), 0);

    int scans = 0;
    f.tabToolbar.ScanToolbar_BitBtn.onClick = [&] { ++scans; };
    f.toolToolbar.Click();
    f.toolToolbar.Click();
    EXPECT_EQ(scans, 2);
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabToolbar);
}

TEST_F(MainFormTest, StartupUninstallAndIgnorePagesReadOnlyWhenEmpty) {
    Start();
    MainForm& f = Form();
    int startupListings = 0, uninstallListings = 0;
    f.tabStartup.ListStartupEntries = [&] {
        ++startupListings;
        f.tabStartup.lvStartup.Add(Row("entry", {"cmd", "HKLM\\Run"}, true));
    };
    f.tabAddRemove.ListUninstallEntries = [&] {
        ++uninstallListings;
        f.tabAddRemove.lvAddRemove.Add(Row("Program", {"uninst.exe", "key"}, false));
    };
    f.toolStartup.Click();
    f.toolStartup.Click();
    f.toolAddRemove.Click();
    f.toolAddRemove.Click();
    EXPECT_EQ(startupListings, 1);
    EXPECT_EQ(uninstallListings, 1);
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabAddRemove);

    f.ignoreList.Document().DocumentElement().AppendChild("ERROR").SetAttribute("ROOT", "HKEY_USERS");
    f.toolIgnore.Click();  // empty list: reloaded
    EXPECT_EQ(f.tabIgnoreList.lvIgnore.Count(), 1);
    f.ignoreList.Document().DocumentElement().AppendChild("ERROR").SetAttribute("ROOT", "HKEY_USERS");
    f.toolIgnore.Click();  // rows present: left as they are
    EXPECT_EQ(f.tabIgnoreList.lvIgnore.Count(), 1);

    f.toolE.Click();
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabIE);
    EXPECT_EQ(f.tabIE.lvDeletedFiles.Count(), 0);
}

TEST_F(MainFormTest, ScanPageRebuildsGroupsOnlyWithoutFindings) {
    Start();
    MainForm& f = Form();
    f.toolE.Click();
    f.tabScanErrors.lvScanGroups.SetChecked(3, false);
    f.toolScanErrors.Click();
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabScanErrors);
    EXPECT_TRUE(f.tabScanErrors.lvScanGroups.Checked(3));  // rebuilt: all checked again

    f.tabScanErrors.lvErrors.Add(Row("Type", {"HKEY_CURRENT_USER\\K", "", ""}, true));
    f.tabScanErrors.lvScanGroups.SetChecked(3, false);
    f.toolScanErrors.Click();
    EXPECT_FALSE(f.tabScanErrors.lvScanGroups.Checked(3));  // findings listed: groups kept
}

TEST_F(MainFormTest, HandlerErrorsGoToTheErrorBoxAndTheProgramGoesOn) {
    Start();
    MainForm& f = Form();
    f.tabStartup.ListStartupEntries = [] { throw std::runtime_error("Access is denied"); };
    f.Run([&] { f.toolStartup.Click(); });
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Records().back().text, "Access is denied");
    f.Run([&] { f.toolE.Click(); });
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabIE);
}

TEST_F(MainFormTest, ClosingWhenBackupXmlCannotBeWrittenAsksTheUser) {
    Start();
    MainForm& f = Form();
    f.history.Document().DocumentElement().AppendChild("ELEMENT");
    memory.files().FailWrite("C:\\Korvane\\Backup.xml");
    memory.files().FailWrite("C:\\Korvane\\Backup.xml.tmp");
    memory.dialogs().ScriptAnswers({false});
    EXPECT_FALSE(f.FormClose());  // the user keeps the window open
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Confirm), 1u);
    memory.files().ClearFailures();
    EXPECT_TRUE(f.FormClose());
    auto saved = memory.files().readFile("C:\\Korvane\\Backup.xml");
    ASSERT_TRUE(saved);
    EXPECT_NE(saved->find("ELEMENT"), std::string::npos);
}

TEST_F(MainFormTest, ARestartAsAdministratorStartsKorvaneElevatedOnThePageAndClosesThisWindow) {
    Start();
    MainForm& f = Form();
    int closes = 0;
    f.closeWindow = [&] { ++closes; };
    f.toolStartup.Click();
    f.history.Document().DocumentElement().AppendChild("ELEMENT").SetAttribute("NAME", "recorded");
    EXPECT_TRUE(f.state.restartAsAdministrator("tabStartup"));
    // The new instance finds the history on disk.
    const auto saved = memory.files().readFile("C:\\Korvane\\Backup.xml");
    ASSERT_TRUE(saved);
    EXPECT_NE(saved->find("recorded"), std::string::npos);
    const auto calls = memory.processes().Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, ProcessCallKind::StartElevated);
    EXPECT_EQ(calls[0].commandLine, std::string(kExe) + " /page:tabStartup");
    EXPECT_EQ(closes, 1);

    // The user says no to Windows' question: this window stays.
    memory.processes().SetBehaviour([](const std::string&, const std::string&) { return std::nullopt; });
    EXPECT_FALSE(f.RestartAsAdministrator("tabStartup"));
    EXPECT_EQ(closes, 1);
}

TEST_F(MainFormTest, AHistoryThatCannotBeSavedStartsNoOtherInstance) {
    Start();
    MainForm& f = Form();
    f.history.Document().DocumentElement().AppendChild("ELEMENT");
    memory.files().FailWrite("C:\\Korvane");
    EXPECT_ANY_THROW(f.RestartAsAdministrator("tabScanErrors"));
    EXPECT_TRUE(memory.processes().Calls().empty());
}

TEST_F(MainFormTest, StartedOnThePageOfARestartItOpensItAndTheScanPageScansAgain) {
    memory.registry().SetString(roots::LocalMachine,
                                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a.exe", "",
                                "C:\\Gone\\a.exe");
    memory.system().arguments = {"/other", "/page:tabScanErrors"};
    Start();
    MainForm& f = Form();
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabScanErrors);
    ASSERT_TRUE(memory.ui().PumpUntil([&] { return !f.tabScanErrors.ScanErrorsThread.Active(); }));
    EXPECT_EQ(f.tabScanErrors.lvErrors.Count(), 1);
    EXPECT_EQ(f.tabScanErrors.lblScanLabel.Caption(), "Scan done !");
}

TEST_F(MainFormTest, StartedOnAnotherPageItOpensThatOneAlone) {
    memory.system().arguments = {"/page:tabHistory"};
    Start();
    MainForm& f = Form();
    EXPECT_EQ(f.MainControl.ActivePage(), &f.tabHistory);
    EXPECT_FALSE(f.tabScanErrors.ScanErrorsThread.Active());
    EXPECT_EQ(f.tabScanErrors.lvErrors.Count(), 0);
}

TEST(DateFormatTest, ShortDateTokens) {
    DateFormat format;
    EXPECT_EQ(format.FormatShortDate({2026, 1, 2, 0, 0, 0}), "01/02/2026");
    format.ShortDateFormat = "d/m/yy";
    format.DateSeparator = '.';
    EXPECT_EQ(format.FormatShortDate({2026, 1, 2, 0, 0, 0}), "2.1.26");
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// Installed in Program Files and run by a standard user: the program's folder takes no new file.
class InstalledMainFormTest : public MainFormTest {
protected:
    InstalledMainFormTest() {
        memory.files().AddFolder(kLocalAppData);
        memory.files().FailWrite("C:\\Korvane");
    }
    static constexpr const char* kLocalAppData = "C:\\Users\\user\\AppData\\Local";
    static constexpr const char* kDataFolder = "C:\\Users\\user\\AppData\\Local\\Korvane\\";
};

TEST_F(InstalledMainFormTest, FilesLiveInTheUsersFolderTogether) {
    Start();
    MainForm& f = Form();
    EXPECT_EQ(f.state.ProgramFolder, kDataFolder);
    EXPECT_TRUE(memory.files().directoryExists(std::string(kDataFolder) + "Backup"));
    // Where ignore.xml is read and written.
    EXPECT_EQ(memory.files().currentDirectory(), "C:\\Users\\user\\AppData\\Local\\Korvane");
    EXPECT_TRUE(memory.dialogs().Records().empty());
    f.history.Document().DocumentElement().AppendChild("ELEMENT").SetAttribute("NAME", "x");
    EXPECT_TRUE(f.FormClose());
    EXPECT_TRUE(memory.files().ExistsRaw(std::string(kDataFolder) + "Backup.xml"));
    EXPECT_FALSE(memory.files().ExistsRaw("C:\\Korvane\\Backup.xml"));
    EXPECT_FALSE(memory.files().ExistsRaw(std::string(kDataFolder) + "korvane-write-test.tmp"));
}

TEST_F(InstalledMainFormTest, AHistoryBesideTheProgramIsTakenOverOnceAndLeftAsItIs) {
    const std::string old = "<Korvane><ELEMENT NAME=\"old\" TYPE=\"t\" PATH=\"p\"/></Korvane>";
    memory.files().AddFile("C:\\Korvane\\Backup.xml", old);
    Start();
    ASSERT_EQ(Form().history.EntryCount(), 1);
    auto records = memory.dialogs().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, DialogKind::Information);
    EXPECT_NE(records[0].text.find("C:\\Korvane\\Backup.xml"), std::string::npos) << records[0].text;
    EXPECT_NE(records[0].text.find(kDataFolder), std::string::npos) << records[0].text;
    EXPECT_TRUE(Form().FormClose());
    EXPECT_EQ(memory.files().ContentsRaw("C:\\Korvane\\Backup.xml"), old);

    // The next start reads the user's copy and says nothing.
    form.reset();
    memory.dialogs().Clear();
    Start();
    EXPECT_EQ(Form().history.EntryCount(), 1);
    EXPECT_TRUE(memory.dialogs().Records().empty());
}

TEST_F(MainFormTest, APortableCopyKeepsItsFilesBesideItAndTheCurrentFolderAlone) {
    memory.files().AddFolder("C:\\Elsewhere");
    memory.files().setCurrentDirectory("C:\\Elsewhere");
    Start();
    EXPECT_EQ(Form().state.ProgramFolder, "C:\\Korvane\\");
    EXPECT_EQ(memory.files().currentDirectory(), "C:\\Elsewhere");
}

}  // namespace
}  // namespace korvane
