// The Uninstall Manager's Verified Publisher column: the DisplayIcon's program and the uninstaller,
// checked after the list is shown, through the session's cache that the startup page shares.
#include "uninstall/UninstallColumns.h"
#include "uninstall/UninstallTestSupport.h"

namespace korvane::testing {
namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class UninstallPublisherTest : public UninstallTest {
protected:
    void AddEntry(const std::string& key, const std::string& name, const std::string& uninstall,
                  const std::string& icon) {
        registry().SetString(HKLM, kUninstall + "\\" + key, "DisplayName", name);
        registry().SetString(HKLM, kUninstall + "\\" + key, "UninstallString", uninstall);
        if (!icon.empty()) registry().SetString(HKLM, kUninstall + "\\" + key, "DisplayIcon", icon);
    }
    std::string SignatureOf(const std::string& name) {
        for (int i = 0; i < page.lvAddRemove.Count(); ++i)
            if (page.lvAddRemove.Item(i).caption == name)
                return page.lvAddRemove.SubItem(i, kSignatureColumn);
        return "(no row " + name + ")";
    }
};

TEST_F(UninstallPublisherTest, TheProgramLeadsAndTheUninstallerIsNamedWhenItDiffers) {
    memory.files().AddFile("C:\\App\\app.exe", "MZ");
    memory.files().AddFile("C:\\App\\uninst.exe", "MZ");
    memory.signatures().SetAnswer("C:\\App\\app.exe", {SignatureState::Verified, "Contoso Ltd", ""});
    memory.signatures().SetAnswer("C:\\App\\uninst.exe", {SignatureState::Verified, "Contoso Ltd", ""});
    AddEntry("App", "App", "\"C:\\App\\uninst.exe\" /S", "C:\\App\\app.exe,0");
    memory.files().AddFile("C:\\Tool\\tool.exe", "MZ");
    memory.signatures().SetAnswer("C:\\Tool\\tool.exe", {SignatureState::Verified, "Fabrikam", ""});
    AddEntry("Tool", "Tool", "C:\\Tool\\gone.exe", "\"C:\\Tool\\tool.exe\"");
    memory.files().AddFile("C:\\Plain\\remove.exe", "MZ");
    AddEntry("Plain", "Plain", "C:\\Plain\\remove.exe /x", "C:\\Plain\\plain.ico");

    page.ListUninstallEntries();
    EXPECT_EQ(SignatureOf("App"), "");  // shown before any answer
    ASSERT_TRUE(memory.ui().PumpUntil([&] { return !page.PublishersPending(); }));
    EXPECT_EQ(SignatureOf("App"), "Verified: Contoso Ltd");
    EXPECT_EQ(SignatureOf("Tool"), "Verified: Fabrikam; uninstaller: File not found");
    EXPECT_EQ(SignatureOf("Plain"), "Unsigned");  // an icon file signs nothing: the uninstaller speaks

    // The filter shows the rows again with their answers, without new checks.
    const int checks = memory.signatures().CheckCount();
    page.edFilter.SetText("Tool");
    page.edFilterChange();
    EXPECT_EQ(SignatureOf("Tool"), "Verified: Fabrikam; uninstaller: File not found");
    // A refresh asks the cache: only the missing file is looked at again.
    page.btnRefresh1Click();
    ASSERT_TRUE(memory.ui().PumpUntil([&] { return !page.PublishersPending(); }));
    EXPECT_EQ(memory.signatures().CheckCount(), checks + 1);
}

}  // namespace
}  // namespace korvane::testing
