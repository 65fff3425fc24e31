// Task Scheduler 2.0 through Win32ScheduledTasks: a task registered through the COM interfaces with a
// logon trigger (in a folder of its own, hidden) is listed with its program, arguments and author, and
// is disabled and enabled again through its Enabled flag. These tests need the RPC service that Wine
// starts for the scheduler; tools/test runs them in a wineserver of their own, without a display.
// clang-format off
#include "win32/platform/ComSupport.h"
#include <taskschd.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>

#include "win32/platform/Win32ScheduledTasks.h"

namespace korvane::win32 {
namespace {

constexpr const wchar_t* kFolder = L"\\KorvaneTest";
constexpr const char* kTaskPath = "\\KorvaneTest\\Logon tool";

VARIANT Empty() {
    VARIANT value;
    ::VariantInit(&value);
    return value;
}

// Registers the task (and its folder) and deletes both when it goes.
class LogonTask {
public:
    LogonTask() {
        if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                      service_.PutVoid())) ||
            FAILED(service_->Connect(Empty(), Empty(), Empty(), Empty())))
            return;
        ComPtr<ITaskFolder> root;
        if (FAILED(service_->GetFolder(MakeBstr(L"\\").get(), root.Put()))) return;
        ComPtr<ITaskFolder> folder;
        if (FAILED(root->CreateFolder(MakeBstr(kFolder).get(), Empty(), folder.Put())) &&
            FAILED(root->GetFolder(MakeBstr(kFolder).get(), folder.Put())))
            return;
        ComPtr<ITaskDefinition> definition;
        if (FAILED(service_->NewTask(0, definition.Put()))) return;
        ComPtr<IRegistrationInfo> info;
        definition->get_RegistrationInfo(info.Put());
        info->put_Author(MakeBstr(L"Korvane tests").get());
        ComPtr<ITaskSettings> settings;
        definition->get_Settings(settings.Put());
        settings->put_Hidden(VARIANT_TRUE);
        ComPtr<ITriggerCollection> triggers;
        ComPtr<ITrigger> trigger;
        definition->get_Triggers(triggers.Put());
        if (FAILED(triggers->Create(TASK_TRIGGER_LOGON, trigger.Put()))) return;
        ComPtr<IActionCollection> actions;
        ComPtr<IAction> action;
        ComPtr<IExecAction> exec;
        definition->get_Actions(actions.Put());
        if (FAILED(actions->Create(TASK_ACTION_EXEC, action.Put())) ||
            FAILED(action->QueryInterface(IID_IExecAction, exec.PutVoid())))
            return;
        exec->put_Path(MakeBstr(L"C:\\windows\\system32\\notepad.exe").get());
        exec->put_Arguments(MakeBstr(L"/background").get());
        ComPtr<IRegisteredTask> registered;
        registered_ = SUCCEEDED(folder->RegisterTaskDefinition(
            MakeBstr(L"Logon tool").get(), definition.Get(), TASK_CREATE_OR_UPDATE, Empty(), Empty(),
            TASK_LOGON_INTERACTIVE_TOKEN, Empty(), registered.Put()));
    }
    ~LogonTask() {
        if (!service_) return;
        ComPtr<ITaskFolder> folder;
        if (SUCCEEDED(service_->GetFolder(MakeBstr(kFolder).get(), folder.Put())))
            folder->DeleteTask(MakeBstr(L"Logon tool").get(), 0);
        ComPtr<ITaskFolder> root;
        if (SUCCEEDED(service_->GetFolder(MakeBstr(L"\\").get(), root.Put())))
            root->DeleteFolder(MakeBstr(L"KorvaneTest").get(), 0);
    }
    LogonTask(const LogonTask&) = delete;
    LogonTask& operator=(const LogonTask&) = delete;

    bool Registered() const { return registered_; }

private:
    ComScope com_;
    ComPtr<ITaskService> service_;
    bool registered_ = false;
};

std::optional<ScheduledTask> Listed(const std::string& path) {
    Win32ScheduledTasks scheduler;
    std::vector<ScheduledTask> tasks;
    if (!scheduler.listTasks(tasks)) return std::nullopt;
    for (const ScheduledTask& task : tasks)
        if (task.path == path) return task;
    return std::nullopt;
}

TEST(Win32TaskScheduler, ALogonTaskIsListedAndSwitchedThroughItsEnabledFlag) {
    const LogonTask registered;
    ASSERT_TRUE(registered.Registered());

    auto task = Listed(kTaskPath);
    ASSERT_TRUE(task.has_value());
    EXPECT_EQ(task->name, "Logon tool");
    EXPECT_EQ(task->command, "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(task->arguments, "/background");
    EXPECT_EQ(task->author, "Korvane tests");
    EXPECT_TRUE(task->logonTrigger);
    EXPECT_FALSE(task->bootTrigger);
    EXPECT_TRUE(task->hidden);
    EXPECT_TRUE(task->enabled);

    Win32ScheduledTasks scheduler;
    EXPECT_EQ(scheduler.setTaskEnabled(kTaskPath, false), TaskChange::Done);
    task = Listed(kTaskPath);
    ASSERT_TRUE(task.has_value());
    EXPECT_FALSE(task->enabled);
    EXPECT_EQ(scheduler.setTaskEnabled(kTaskPath, true), TaskChange::Done);
    task = Listed(kTaskPath);
    ASSERT_TRUE(task.has_value());
    EXPECT_TRUE(task->enabled);

    EXPECT_EQ(scheduler.setTaskEnabled("\\KorvaneTest\\No such task", false), TaskChange::NotFound);
}

}  // namespace
}  // namespace korvane::win32
