// "&Delete entries" used to say nothing when the registry kept a key (a machine-wide entry for a user
// without administrator rights): the entry was simply listed again, as if the click had been missed.
// It now tells, as repair and plug-in removal do, and offers the restart as administrator.
#include <gtest/gtest.h>

#include "core/AppState.h"
#include "platform/memory/MemoryPlatform.h"
#include "uninstall/UninstallPage.h"

namespace korvane {
namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr HKey HKLM = roots::LocalMachine;

class UninstallDeleteRefusalsTest : public ::testing::Test {
protected:
    UninstallDeleteRefusalsTest() {
        memory.files().AddFolder("C:\\Korvane");
        state.ProgramFolder = "C:\\Korvane\\";
        history.Load();
        for (const char* name : {"Machine", "Stuck", "Free"})
            registry.SetString(HKLM, kUninstall + "\\" + name, "DisplayName", std::string(name) + " App");
        registry.SetString(HKLM, kUninstall + "\\Stuck\\Locked", "v", "1");
        registry.DenyWrite(HKLM, kUninstall + "\\Machine");
        // A sub-key nobody may open: the entry's key cannot go, though it is writable itself.
        registry.DenyOpen(HKLM, kUninstall + "\\Stuck\\Locked");
        state.MainControl.AddPage(page);
        state.MainControl.SetActivePage(page);
        state.restartAsAdministrator = [this](const std::string& pageName) {
            restartedOn.push_back(pageName);
            return true;
        };
    }
    void DeleteAll() {
        page.ListUninstallEntries();
        page.lvAddRemove.SetAllChecked(true);
        memory.dialogs().ScriptAnswers({true, true});  // "Are you sure...?", then the restart offer
        page.btnDeleteEntry.Click();
    }

    MemoryPlatform memory;
    MemoryRegistry& registry = memory.registry();
    AppState state{memory.platform()};
    UndoHistory history{state};
    UninstallPage page{state, history};
    std::vector<std::string> restartedOn;
};

TEST_F(UninstallDeleteRefusalsTest, KeysThatStayAreToldAndRightsComeWithTheRestartOffer) {
    DeleteAll();
    EXPECT_FALSE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Free"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Machine"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Stuck"));
    const std::vector<std::string> texts = memory.dialogs().Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "1 entry could not be deleted from the registry.");
    EXPECT_EQ(texts[2],
              "1 entry could not be deleted from the registry: it needs administrator rights.\n\n"
              "Restart Korvane as administrator?");
    EXPECT_EQ(restartedOn, std::vector<std::string>{page.Name()});
    // The list shows what is left.
    EXPECT_EQ(page.lvAddRemove.Count(), 2);
}

TEST_F(UninstallDeleteRefusalsTest, ADeletionThatWentThroughSaysNothingMore) {
    registry.ClearDenials();
    DeleteAll();
    EXPECT_EQ(page.lvAddRemove.Count(), 0);
    EXPECT_EQ(memory.dialogs().Texts().size(), 1u);  // the question alone
    EXPECT_TRUE(restartedOn.empty());
}

}  // namespace
}  // namespace korvane
