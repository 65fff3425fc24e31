// Scheduled tasks with a logon or boot trigger and automatic services on the page: which are listed
// and how, a task's enabling and disabling through its own flag, and its undo.
#include "registry/RegistryAccess.h"
#include "startup/StartupTestSupport.h"
#include "undo/TaskStateRecord.h"

namespace korvane::testing {
namespace {

class StartupTasksAndServicesTest : public StartupTest {
protected:
    StartupTasksAndServicesTest() { UseVersion(kWindows10); }

    static ScheduledTask Task(const std::string& path, bool logon, bool boot) {
        ScheduledTask task;
        task.path = path;
        task.name = path.substr(path.rfind('\\') + 1);
        task.command = "C:\\Program Files\\Vendor\\" + task.name + ".exe";
        task.logonTrigger = logon;
        task.bootTrigger = boot;
        return task;
    }
    MemoryScheduledTasks& tasks() { return memory.tasks(); }
};

TEST_F(StartupTasksAndServicesTest, OnlyTasksStartingAtLogonOrBootAreListedHiddenOnesToo) {
    ScheduledTask updater = Task("\\Vendor\\Updater", true, false);
    updater.arguments = "/silent";
    updater.author = "Vendor Inc.";
    updater.hidden = true;
    ScheduledTask agent = Task("\\Agent", false, true);
    agent.enabled = false;
    tasks().AddTask(updater);
    tasks().AddTask(agent);
    tasks().AddTask(Task("\\Nightly", false, false));  // a time trigger only
    ScheduledTask mailer = Task("\\Mailer", true, false);
    mailer.command.clear();  // an action that starts no program
    tasks().AddTask(mailer);

    page.toolStartupClick();
    EXPECT_EQ(Rows(),
              (std::vector<Row>{
                  {"Updater", "\"C:\\Program Files\\Vendor\\Updater.exe\" /silent",
                   "Scheduled task \\Vendor\\Updater, by Vendor Inc.", true},
                  {"Agent", "\"C:\\Program Files\\Vendor\\Agent.exe\"", "Scheduled task \\Agent", false},
              }));
    EXPECT_EQ(page.StartupStates, (std::vector<bool>{true, false}));
}

TEST_F(StartupTasksAndServicesTest, ServicesAreListedAfterTasksAndTasksNeedTaskSchedulerTwo) {
    tasks().AddTask(Task("\\Agent", true, false));
    memory.services().AddService({"VendorSvc", "Vendor Service", "\"C:\\Vendor\\svc.exe\" -run"});
    memory.services().AddService({"bare", "", "C:\\bare.exe"});
    page.toolStartupClick();
    EXPECT_EQ(Rows(),
              (std::vector<Row>{
                  {"Agent", "\"C:\\Program Files\\Vendor\\Agent.exe\"", "Scheduled task \\Agent", true},
                  {"Vendor Service", "\"C:\\Vendor\\svc.exe\" -run", "Service VendorSvc", true},
                  {"bare", "C:\\bare.exe", "Service bare", true},
              }));
    // Windows XP has services but no Task Scheduler 2.0.
    UseVersionClass(6);
    page.btnRefreshClick();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Vendor Service", "bare"}));
}

TEST_F(StartupTasksAndServicesTest, AnUnreachableSchedulerOrServiceManagerListsTheOtherSources) {
    registry().SetString(HKCU, kRun, "Tray", "C:\\tray.exe");
    tasks().AddTask(Task("\\Agent", true, false));
    tasks().SetReachable(false);
    memory.services().SetReachable(false);
    page.toolStartupClick();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Tray"}));
}

TEST_F(StartupTasksAndServicesTest, ServicesAreReadOnly) {
    memory.services().AddService({"VendorSvc", "Vendor Service", "C:\\Vendor\\svc.exe"});
    page.toolStartupClick();
    ClickCheck("Vendor Service");
    page.btnApplyClick();
    const auto texts = MessageBoxTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(
        texts[0],
        "The service 'Vendor Service' was not changed: services are listed here but not changed. Set its "
        "start type in the Services console (services.msc).");
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Vendor Service")));
}

TEST_F(StartupTasksAndServicesTest, DisablingATaskSetsItsFlagAndRestoreHistorySetsItBack) {
    tasks().AddTask(Task("\\Vendor\\Updater", true, false));
    page.toolStartupClick();
    ClickCheck("Updater");
    page.btnApplyClick();

    EXPECT_FALSE(tasks().Task("\\Vendor\\Updater")->enabled);
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Updater")));  // read again from the scheduler
    ASSERT_EQ(history.EntryCount(), 1);
    const HistoryEntry entry = history.Entries()[0];
    EXPECT_EQ(entry.name, "Updater");
    EXPECT_EQ(entry.type, "Scheduled task \\Vendor\\Updater");
    EXPECT_EQ(entry.path, "C:\\Program Files\\Vendor\\Updater.exe");
    EXPECT_TRUE(history.EntryKeys(0).empty());  // it names no registry key

    history.RestoreEntry(0);
    EXPECT_TRUE(tasks().Task("\\Vendor\\Updater")->enabled);
    EXPECT_EQ(history.EntryCount(), 0);

    // Enabling a disabled task records the disabled state.
    tasks().setTaskEnabled("\\Vendor\\Updater", false);
    page.btnRefreshClick();
    ClickCheck("Updater");
    page.btnApplyClick();
    EXPECT_TRUE(tasks().Task("\\Vendor\\Updater")->enabled);
    history.RestoreEntry(0);
    EXPECT_FALSE(tasks().Task("\\Vendor\\Updater")->enabled);
}

TEST_F(StartupTasksAndServicesTest, ATaskRefusedForLackOfRightsStaysAndLeavesNoHistoryEntry) {
    tasks().AddTask(Task("\\Locked", true, false));
    tasks().DenyChanges("\\Locked");
    page.toolStartupClick();
    ClickCheck("Locked");
    page.btnApplyClick();
    EXPECT_TRUE(tasks().Task("\\Locked")->enabled);
    EXPECT_EQ(history.EntryCount(), 0);
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Locked")));
    // No restart message: nothing changed; the offer to restart as administrator came instead.
    for (const std::string& text : MessageBoxTexts())
        EXPECT_NE(text, "You must restart the computer to apply the changes.");
}

TEST_F(StartupTasksAndServicesTest, RestoringATaskThatIsGoneRaisesAndKeepsTheEntry) {
    tasks().AddTask(Task("\\Gone", true, false));
    RecordTaskState(history, "Gone", "\\Other", "C:\\gone.exe", true);
    EXPECT_THROW(history.RestoreEntry(0), RegistryError);
    EXPECT_EQ(history.EntryCount(), 1);
}

}  // namespace
}  // namespace korvane::testing
