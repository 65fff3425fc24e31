// The uninstall list's new columns (install date in the date format, size in KB/MB/GB), sorting every
// column on a header click, the command "&Uninstall" starts, and the filter box.
#include "uninstall/UninstallColumns.h"
#include "uninstall/UninstallCommandLine.h"
#include "uninstall/UninstallTestSupport.h"

namespace korvane::testing {
namespace {

class UninstallColumnsTest : public UninstallTest {
protected:
    void AddSized(const std::string& key, const std::string& name, std::uint32_t kilobytes,
                  const std::string& date) {
        AddProgram(HKLM, kUninstall, key, name);
        registry().SetDword(HKLM, kUninstall + "\\" + key, "EstimatedSize", kilobytes);
        registry().SetString(HKLM, kUninstall + "\\" + key, "InstallDate", date);
    }
};

TEST_F(UninstallColumnsTest, InstallDateIsShownInTheDateFormat) {
    DateFormat format;
    EXPECT_EQ(FormatInstallDate("20240315", format), "03/15/2024");
    format.ShortDateFormat = "dd.mm.yyyy";
    EXPECT_EQ(FormatInstallDate("20240315", format), "15.03.2024");
    format.DateSeparator = '-';
    format.ShortDateFormat = "yyyy/m/d";
    EXPECT_EQ(FormatInstallDate("20240305", format), "2024-3-5");
    // Anything but a date "YYYYMMDD" is shown as stored.
    for (const char* odd : {"", "2024-03-15", "3/15/2024", "20241315", "20240300", "2024031", "2024031a"})
        EXPECT_EQ(FormatInstallDate(odd, format), odd);

    state.dateFormat.ShortDateFormat = "dd/mm/yyyy";
    AddSized("A", "Alpha", 10, "20231231");
    page.ListUninstallEntries();
    EXPECT_EQ(Column("Alpha", kInstalledColumn), "31/12/2023");
}

TEST_F(UninstallColumnsTest, SizeIsShownInKilobytesMegabytesOrGigabytes) {
    EXPECT_EQ(FormatEstimatedSize(std::nullopt), "");
    EXPECT_EQ(FormatEstimatedSize(0), "0 KB");
    EXPECT_EQ(FormatEstimatedSize(1023), "1023 KB");
    EXPECT_EQ(FormatEstimatedSize(1024), "1.0 MB");
    EXPECT_EQ(FormatEstimatedSize(250000), "244.1 MB");
    EXPECT_EQ(FormatEstimatedSize(1024 * 1024), "1.0 GB");
    EXPECT_EQ(FormatEstimatedSize(3'500'000), "3.3 GB");
    EXPECT_EQ(FormatEstimatedSize(0xFFFFFFFF), "4096.0 GB");

    AddSized("A", "Alpha", 2048, "20240101");
    page.ListUninstallEntries();
    EXPECT_EQ(Column("Alpha", kSizeColumn), "2.0 MB");
}

TEST_F(UninstallColumnsTest, VersionsCompareNumberByNumber) {
    SystemInfo& system = memory.system();
    EXPECT_LT(CompareVersions("1.2", "1.10", system), 0);
    EXPECT_GT(CompareVersions("10.0.1", "9.9.9", system), 0);
    EXPECT_EQ(CompareVersions("1.02", "1.2", system), 0);
    EXPECT_LT(CompareVersions("1.2", "1.2.1", system), 0);
    EXPECT_GT(CompareVersions("1.2.1", "1.2", system), 0);
    EXPECT_LT(CompareVersions("1.0 beta", "1.0 Release", system), 0);  // text parts ignore case
    EXPECT_LT(CompareVersions("", "1", system), 0);
    EXPECT_LT(CompareVersions("99999999999999999999", "100000000000000000000", system), 0);
}

TEST_F(UninstallColumnsTest, EveryColumnSortsAscendingThenDescendingKeepingCheckMarks) {
    AddSized("1", "bravo", 900, "20240102");
    AddSized("2", "Alpha", 2048, "20231231");
    AddSized("3", "charlie", 1'500'000, "garbage");
    registry().SetString(HKLM, kUninstall + "\\1", "DisplayVersion", "10.1");
    registry().SetString(HKLM, kUninstall + "\\2", "DisplayVersion", "9.8");
    registry().SetString(HKLM, kUninstall + "\\3", "DisplayVersion", "10.0.5");
    registry().SetString(HKLM, kUninstall + "\\1", "Publisher", "zeta");
    registry().SetString(HKLM, kUninstall + "\\2", "Publisher", "Beta");
    registry().SetString(HKLM, kUninstall + "\\3", "Publisher", "alpha");
    page.ListUninstallEntries();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha", "bravo", "charlie"}));  // by name at first
    ClickCheck("bravo");

    struct Case {
        int column;
        std::vector<std::string> ascending;
    };
    const Case cases[] = {
        {0, {"Alpha", "bravo", "charlie"}},
        {1 + kUninstallPathColumn, {"bravo", "Alpha", "charlie"}},  // C:\1\, C:\2\, C:\3\ ...
        {1 + kPublisherColumn, {"charlie", "Alpha", "bravo"}},
        {1 + kVersionColumn, {"Alpha", "charlie", "bravo"}},
        {1 + kInstalledColumn, {"charlie", "Alpha", "bravo"}},  // no date first, then by date
        {1 + kSizeColumn, {"bravo", "Alpha", "charlie"}},
    };
    for (const Case& c : cases) {
        page.lvAddRemove.ColumnClick(c.column);
        EXPECT_EQ(Captions(), c.ascending) << c.column;
        page.lvAddRemove.ColumnClick(c.column);
        EXPECT_EQ(Captions(), (std::vector<std::string>(c.ascending.rbegin(), c.ascending.rend())))
            << c.column;
        EXPECT_TRUE(page.lvAddRemove.Checked(RowOf("bravo")));
        EXPECT_FALSE(page.lvAddRemove.Checked(RowOf("Alpha")));
    }
    // A refill keeps the order the user chose.
    page.btnRefresh1Click();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"charlie", "Alpha", "bravo"}));
}

TEST_F(UninstallColumnsTest, CommandLineChoice) {
    UninstallEntry entry;
    entry.key = KeyName::Key(HKLM, kUninstall + "\\{8E6F3A1B-0C2D-4E5F-9A8B-7C6D5E4F3A2B}");
    entry.uninstallString = "MsiExec.exe /I{8E6F3A1B-0C2D-4E5F-9A8B-7C6D5E4F3A2B}";
    entry.quietUninstallString = "C:\\app\\remove.exe /silent";
    const std::string system = "C:\\WINDOWS\\system32\\";

    EXPECT_EQ(UninstallCommandLine(entry, false, system), entry.uninstallString);
    EXPECT_EQ(UninstallCommandLine(entry, true, system), entry.quietUninstallString);
    entry.windowsInstaller = true;
    EXPECT_EQ(UninstallCommandLine(entry, false, system),
              "\"C:\\WINDOWS\\system32\\msiexec.exe\" /x {8E6F3A1B-0C2D-4E5F-9A8B-7C6D5E4F3A2B}");
    EXPECT_EQ(UninstallCommandLine(entry, true, system),
              "\"C:\\WINDOWS\\system32\\msiexec.exe\" /x {8E6F3A1B-0C2D-4E5F-9A8B-7C6D5E4F3A2B} /qn");
    EXPECT_EQ(UninstallCommandLine(entry, false, ""),
              "msiexec.exe /x {8E6F3A1B-0C2D-4E5F-9A8B-7C6D5E4F3A2B}");

    // A Windows Installer entry whose key is no product code runs its own command.
    entry.key = KeyName::Key(HKLM, kUninstall + "\\Contoso App");
    EXPECT_EQ(UninstallCommandLine(entry, false, system), entry.uninstallString);
    entry.quietUninstallString.clear();
    EXPECT_EQ(UninstallCommandLine(entry, true, system), entry.uninstallString);  // no quiet one: the usual

    EXPECT_TRUE(IsProductCode("{00000000-aaaa-BBBB-cccc-0123456789ab}"));
    EXPECT_FALSE(IsProductCode("{00000000-aaaa-BBBB-cccc-0123456789a}"));
    EXPECT_FALSE(IsProductCode("{00000000-aaaa-BBBB-cccc-0123456789ag}"));
    EXPECT_FALSE(IsProductCode("00000000-aaaa-BBBB-cccc-0123456789ab"));
    EXPECT_FALSE(IsProductCode("{00000000aaaa-BBBB-cccc-0123456789abc}"));
}

TEST_F(UninstallColumnsTest, UninstallStartsWhatTheQuietBoxAsksFor) {
    const std::string msi = "{8E6F3A1B-0C2D-4E5F-9A8B-7C6D5E4F3A2B}";
    AddProgram(HKLM, kUninstall, msi, "Installer App");
    registry().SetDword(HKLM, kUninstall + "\\" + msi, "WindowsInstaller", 1);
    AddProgram(HKCU, kUninstall, "Plain", "Plain App");
    registry().SetString(HKCU, kUninstall + "\\Plain", "QuietUninstallString", "C:\\Plain\\uninstall.exe /S");
    // The programs must exist: an uninstaller that cannot be found is not started.
    memory.files().AddFile("C:\\WINDOWS\\system32\\msiexec.exe");
    memory.files().AddFile("C:\\Plain\\uninstall.exe");
    page.ListUninstallEntries();
    page.btnCheckAlll2Click();

    EXPECT_EQ(page.cbQuiet.Caption(), "&Quiet");
    EXPECT_FALSE(page.cbQuiet.Checked());
    UninstallChecked();
    page.cbQuiet.Click();
    UninstallChecked();
    EXPECT_EQ(StartedCommands(), (std::vector<std::string>{
                                     "\"C:\\WINDOWS\\system32\\msiexec.exe\" /x " + msi,
                                     "\"C:\\Plain\\uninstall.exe\"",
                                     "\"C:\\WINDOWS\\system32\\msiexec.exe\" /x " + msi + " /qn",
                                     "\"C:\\Plain\\uninstall.exe\" /S",
                                 }));
    EXPECT_EQ(Column("Installer App", kUninstallPathColumn),
              "C:\\" + msi + "\\uninstall.exe");  // shown as stored
}

TEST_F(UninstallColumnsTest, FilterNarrowsByNameOrPublisherAndKeepsCheckMarks) {
    AddProgram(HKLM, kUninstall, "1", "Paint Studio", "Contoso");
    AddProgram(HKLM, kUninstall, "2", "Media Player", "Fabrikam");
    AddProgram(HKCU, kUninstall, "3", "Notes", "CONTOSO Ltd");
    page.ListUninstallEntries();
    ClickCheck("Media Player");
    ClickCheck("Notes");
    EXPECT_TRUE(page.btnUninstall.Enabled());

    page.edFilter.UserSetText("contoso");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Notes", "Paint Studio"}));
    EXPECT_TRUE(page.lvAddRemove.Checked(RowOf("Notes")));
    page.edFilter.UserSetText("contoso p");  // matches neither name nor publisher
    EXPECT_TRUE(Captions().empty());
    EXPECT_FALSE(page.btnUninstall.Enabled());  // nothing checked is shown
    page.edFilter.UserSetText("PLAY");
    EXPECT_EQ(Captions(), std::vector<std::string>{"Media Player"});
    EXPECT_TRUE(page.lvAddRemove.Checked(0));
    EXPECT_TRUE(page.btnUninstall.Enabled());

    // The actions work on what is shown: Notes, checked but hidden, is not started.
    for (const char* program : {"C:\\2\\uninstall.exe", "C:\\3\\uninstall.exe"})
        memory.files().AddFile(program);
    UninstallChecked();
    EXPECT_EQ(StartedCommands(), std::vector<std::string>{"\"C:\\2\\uninstall.exe\""});

    page.edFilter.UserSetText("");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Media Player", "Notes", "Paint Studio"}));
    EXPECT_TRUE(page.lvAddRemove.Checked(RowOf("Notes")));
    EXPECT_FALSE(page.lvAddRemove.Checked(RowOf("Paint Studio")));

    // A refill reads afresh: the filter stays, the check marks go.
    page.edFilter.UserSetText("o");
    page.btnRefresh1Click();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Notes", "Paint Studio"}));
    EXPECT_FALSE(page.lvAddRemove.Checked(0) || page.lvAddRemove.Checked(1));
}

}  // namespace
}  // namespace korvane::testing
