// Task Scheduler 2.0 through Win32ScheduledTasks: a hidden task registered through the COM interfaces
// with a logon trigger is read with its program, arguments and author, and is disabled and enabled
// again through its Enabled flag. Wine's scheduler (Wine 8) registers a task from XML and reads its
// name, author and hidden flag, and put_Enabled succeeds; but it enumerates no task
// (IRegisteredTaskCollection's get_Count, get_Item and get__NewEnum answer E_NOTIMPL), reads neither
// the actions nor the triggers back, keeps no change of the Enabled flag, and its
// ITriggerCollection::Create knows no logon trigger. So the task is written as XML, and what Wine
// lacks is checked only on a scheduler that enumerates its tasks (Windows). These
// tests need the RPC service that Wine starts for the scheduler; tools/test runs them in a wineserver
// of their own, without a display.
// clang-format off
#include "win32/platform/ComSupport.h"
#include <taskschd.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "win32/platform/Win32ScheduledTasks.h"

namespace korvane::win32 {
namespace {

constexpr const wchar_t* kTaskName = L"Korvane logon tool";
constexpr const char* kTaskPath = "\\Korvane logon tool";
constexpr const wchar_t* kTaskXml =
    LR"(<?xml version="1.0" encoding="UTF-16"?>
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <RegistrationInfo><Author>Korvane tests</Author></RegistrationInfo>
  <Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers>
  <Settings><Hidden>true</Hidden><Enabled>true</Enabled></Settings>
  <Actions Context="Author">
    <Exec><Command>C:\windows\system32\notepad.exe</Command><Arguments>/background</Arguments></Exec>
  </Actions>
</Task>)";

VARIANT Empty() {
    VARIANT value;
    ::VariantInit(&value);
    return value;
}

// Registers the task and deletes it when it goes.
class LogonTask {
public:
    LogonTask() {
        if (!Step("CoCreateInstance", ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                                         IID_ITaskService, service_.PutVoid())) ||
            !Step("Connect", service_->Connect(Empty(), Empty(), Empty(), Empty())) ||
            !Step("GetFolder", service_->GetFolder(MakeBstr(L"\\").get(), root_.Put())))
            return;
        // Written as Task Scheduler's XML: Wine's ITriggerCollection::Create knows no logon trigger
        // (E_NOTIMPL), while its registration reads one from the XML.
        ComPtr<IRegisteredTask> registered;
        registered_ = Step(
            "RegisterTask",
            root_->RegisterTask(MakeBstr(kTaskName).get(), MakeBstr(kTaskXml).get(), TASK_CREATE_OR_UPDATE,
                                Empty(), Empty(), TASK_LOGON_INTERACTIVE_TOKEN, Empty(), registered.Put()));
    }
    ~LogonTask() {
        if (root_) root_->DeleteTask(MakeBstr(kTaskName).get(), 0);
    }
    LogonTask(const LogonTask&) = delete;
    LogonTask& operator=(const LogonTask&) = delete;

    bool Registered() const { return registered_; }
    // The step that failed and its HRESULT, for the test's message.
    const std::string& Failure() const { return failure_; }

private:
    bool Step(const char* what, HRESULT result) {
        if (SUCCEEDED(result)) return true;
        char text[96];
        std::snprintf(text, sizeof text, "%s failed: 0x%08lX", what, static_cast<unsigned long>(result));
        failure_ = text;
        return false;
    }

    ComScope com_;
    ComPtr<ITaskService> service_;
    ComPtr<ITaskFolder> root_;
    bool registered_ = false;
    std::string failure_;
};

// Whether this scheduler enumerates a folder's tasks (Windows does; Wine answers E_NOTIMPL).
bool EnumeratesTasks() {
    ComScope com;
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> root;
    ComPtr<IRegisteredTaskCollection> tasks;
    LONG count = 0;
    return SUCCEEDED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                        service.PutVoid())) &&
           SUCCEEDED(service->Connect(Empty(), Empty(), Empty(), Empty())) &&
           SUCCEEDED(service->GetFolder(MakeBstr(L"\\").get(), root.Put())) &&
           SUCCEEDED(root->GetTasks(TASK_ENUM_HIDDEN, tasks.Put())) && SUCCEEDED(tasks->get_Count(&count));
}

bool IsListed(const std::string& path) {
    Win32ScheduledTasks scheduler;
    std::vector<ScheduledTask> tasks;
    EXPECT_TRUE(scheduler.listTasks(tasks));
    return std::any_of(tasks.begin(), tasks.end(),
                       [&](const ScheduledTask& task) { return task.path == path; });
}

TEST(Win32TaskScheduler, ALogonTaskIsReadAndSwitchedThroughItsEnabledFlag) {
    const LogonTask registered;
    ASSERT_TRUE(registered.Registered()) << registered.Failure();

    // Wine's scheduler lacks what this flag guards (see above).
    const bool fullScheduler = EnumeratesTasks();
    Win32ScheduledTasks scheduler;
    auto task = scheduler.task(kTaskPath);
    ASSERT_TRUE(task.has_value());
    EXPECT_EQ(task->path, kTaskPath);
    EXPECT_EQ(task->name, "Korvane logon tool");
    EXPECT_EQ(task->author, "Korvane tests");
    EXPECT_TRUE(task->hidden);
    EXPECT_TRUE(task->enabled);
    EXPECT_FALSE(task->bootTrigger);
    if (fullScheduler) {
        EXPECT_EQ(task->command, "C:\\windows\\system32\\notepad.exe");
        EXPECT_EQ(task->arguments, "/background");
        EXPECT_TRUE(task->logonTrigger);
        EXPECT_TRUE(IsListed(kTaskPath));
    }

    EXPECT_EQ(scheduler.setTaskEnabled(kTaskPath, false), TaskChange::Done);
    if (fullScheduler) {
        task = scheduler.task(kTaskPath);
        ASSERT_TRUE(task.has_value());
        EXPECT_FALSE(task->enabled);
    }
    EXPECT_EQ(scheduler.setTaskEnabled(kTaskPath, true), TaskChange::Done);
    task = scheduler.task(kTaskPath);
    ASSERT_TRUE(task.has_value());
    EXPECT_TRUE(task->enabled);

    EXPECT_EQ(scheduler.setTaskEnabled("\\Korvane no such task", false), TaskChange::NotFound);
    EXPECT_FALSE(scheduler.task("\\Korvane no such task").has_value());
}

}  // namespace
}  // namespace korvane::win32
