// Task Scheduler 2.0 through COM (Win32ScheduledTasks.h).
#include "win32/platform/Win32ScheduledTasks.h"

// clang-format off
#include "win32/platform/ComSupport.h"
#include <taskschd.h>
// clang-format on

#include "win32/platform/Text.h"

namespace korvane::win32 {

namespace {

// Connected to the local scheduler as the caller; empty when the service does not answer.
ComPtr<ITaskService> ConnectedService() {
    ComPtr<ITaskService> service;
    if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                  service.PutVoid())))
        return {};
    VARIANT none;
    ::VariantInit(&none);
    if (FAILED(service->Connect(none, none, none, none))) return {};
    return service;
}

template <typename Object, typename Getter>
std::string Text(Object* object, Getter getter) {
    UniqueBstr text;
    if (!object || FAILED((object->*getter)(text.put()))) return {};
    return Narrow(BstrText(text));
}

void ReadTriggers(ITaskDefinition* definition, ScheduledTask& task) {
    ComPtr<ITriggerCollection> triggers;
    LONG count = 0;
    if (FAILED(definition->get_Triggers(triggers.Put())) || FAILED(triggers->get_Count(&count))) return;
    for (LONG i = 1; i <= count; ++i) {  // collections count from 1
        ComPtr<ITrigger> trigger;
        TASK_TRIGGER_TYPE2 type = TASK_TRIGGER_EVENT;
        if (FAILED(triggers->get_Item(i, trigger.Put())) || FAILED(trigger->get_Type(&type))) continue;
        if (type == TASK_TRIGGER_LOGON) task.logonTrigger = true;
        if (type == TASK_TRIGGER_BOOT) task.bootTrigger = true;
    }
}

// The first action that starts a program.
void ReadProgram(ITaskDefinition* definition, ScheduledTask& task) {
    ComPtr<IActionCollection> actions;
    LONG count = 0;
    if (FAILED(definition->get_Actions(actions.Put())) || FAILED(actions->get_Count(&count))) return;
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<IAction> action;
        TASK_ACTION_TYPE type = TASK_ACTION_SHOW_MESSAGE;
        if (FAILED(actions->get_Item(i, action.Put())) || FAILED(action->get_Type(&type)) ||
            type != TASK_ACTION_EXEC)
            continue;
        ComPtr<IExecAction> exec;
        if (FAILED(action->QueryInterface(IID_IExecAction, exec.PutVoid()))) continue;
        task.command = Text(exec.Get(), &IExecAction::get_Path);
        task.arguments = Text(exec.Get(), &IExecAction::get_Arguments);
        return;
    }
}

ScheduledTask ReadTask(IRegisteredTask* registered) {
    ScheduledTask task;
    task.name = Text(registered, &IRegisteredTask::get_Name);
    task.path = Text(registered, &IRegisteredTask::get_Path);
    VARIANT_BOOL enabled = VARIANT_TRUE;
    if (SUCCEEDED(registered->get_Enabled(&enabled))) task.enabled = enabled != VARIANT_FALSE;
    ComPtr<ITaskDefinition> definition;
    if (FAILED(registered->get_Definition(definition.Put()))) return task;
    ComPtr<IRegistrationInfo> info;
    if (SUCCEEDED(definition->get_RegistrationInfo(info.Put())))
        task.author = Text(info.Get(), &IRegistrationInfo::get_Author);
    ComPtr<ITaskSettings> settings;
    VARIANT_BOOL hidden = VARIANT_FALSE;
    if (SUCCEEDED(definition->get_Settings(settings.Put())) && SUCCEEDED(settings->get_Hidden(&hidden)))
        task.hidden = hidden != VARIANT_FALSE;
    ReadTriggers(definition.Get(), task);
    ReadProgram(definition.Get(), task);
    return task;
}

void ListFolder(ITaskFolder* folder, std::vector<ScheduledTask>& out, int depth) {
    ComPtr<IRegisteredTaskCollection> tasks;
    LONG count = 0;
    if (SUCCEEDED(folder->GetTasks(TASK_ENUM_HIDDEN, tasks.Put())) && SUCCEEDED(tasks->get_Count(&count))) {
        for (LONG i = 1; i <= count; ++i) {
            VARIANT index;
            ::VariantInit(&index);
            index.vt = VT_I4;
            index.lVal = i;
            ComPtr<IRegisteredTask> task;
            if (SUCCEEDED(tasks->get_Item(index, task.Put()))) out.push_back(ReadTask(task.Get()));
        }
    }
    // Folders do not nest deeply; the bound only guards against a scheduler that answers in circles.
    if (depth >= 32) return;
    ComPtr<ITaskFolderCollection> folders;
    if (FAILED(folder->GetFolders(0, folders.Put())) || FAILED(folders->get_Count(&count))) return;
    for (LONG i = 1; i <= count; ++i) {
        VARIANT index;
        ::VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        ComPtr<ITaskFolder> child;
        if (SUCCEEDED(folders->get_Item(index, child.Put()))) ListFolder(child.Get(), out, depth + 1);
    }
}

// The root folder of the local scheduler; empty when the service does not answer.
ComPtr<ITaskFolder> RootFolder() {
    ComPtr<ITaskService> service = ConnectedService();
    ComPtr<ITaskFolder> root;
    if (service) service->GetFolder(MakeBstr(L"\\").get(), root.Put());
    return root;
}

}  // namespace

bool Win32ScheduledTasks::listTasks(std::vector<ScheduledTask>& tasks) {
    ComScope com;
    ComPtr<ITaskFolder> root = RootFolder();
    if (!root) return false;
    ListFolder(root.Get(), tasks, 0);
    return true;
}

std::optional<ScheduledTask> Win32ScheduledTasks::task(const std::string& path) {
    ComScope com;
    ComPtr<ITaskFolder> root = RootFolder();
    ComPtr<IRegisteredTask> registered;
    if (!root || FAILED(root->GetTask(MakeBstr(Widen(path)).get(), registered.Put()))) return std::nullopt;
    return ReadTask(registered.Get());
}

TaskChange Win32ScheduledTasks::setTaskEnabled(const std::string& path, bool enabled) {
    ComScope com;
    ComPtr<ITaskFolder> root = RootFolder();
    if (!root) return TaskChange::Failed;
    ComPtr<IRegisteredTask> task;
    HRESULT result = root->GetTask(MakeBstr(Widen(path)).get(), task.Put());
    if (SUCCEEDED(result)) result = task->put_Enabled(enabled ? VARIANT_TRUE : VARIANT_FALSE);
    if (SUCCEEDED(result)) return TaskChange::Done;
    if (result == E_ACCESSDENIED) return TaskChange::AccessDenied;
    if (result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
        result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
        return TaskChange::NotFound;
    return TaskChange::Failed;
}

}  // namespace korvane::win32
