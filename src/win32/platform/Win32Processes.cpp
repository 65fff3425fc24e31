// Win32Processes: CreateProcessW with the show state in STARTUPINFOW; the process and thread handles
// are owned at once, so an early return never leaks them. A program waited for with everything it
// starts runs in a job object of its own, created without "kill on close": dropping the job's handle
// when the caller stops waiting leaves the processes running.
#include "win32/platform/Win32Processes.h"

#include <windows.h>
// clang-format off
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"

namespace korvane::win32 {
namespace {

struct Child {
    UniqueHandle process;
    UniqueHandle thread;
};

// An empty working folder means "the caller's current folder"; an empty application name means "the
// first word of the command line, searched for the way CreateProcess does".
std::optional<Child> Launch(const std::string& applicationName, const std::string& commandLine,
                            WORD showWindow, const std::string& workingFolder, DWORD flags = 0) {
    // CreateProcessW may write into the command line, so it gets its own zero-terminated copy.
    std::wstring mutableLine = Widen(commandLine);
    if (mutableLine.empty()) return std::nullopt;
    const std::wstring folder = Widen(workingFolder);
    const std::wstring application = Widen(applicationName);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(application.empty() ? nullptr : application.c_str(), mutableLine.data(), nullptr,
                          nullptr, FALSE, flags, nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                          &info))
        return std::nullopt;
    return Child{UniqueHandle(info.hProcess), UniqueHandle(info.hThread)};
}

// How often a wait looks at the caller's wish to stop and at the job's count of processes.
constexpr DWORD kPollMilliseconds = 100;

bool NoProcessLeft(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    return ::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                       sizeof accounting, nullptr) &&
           accounting.ActiveProcesses == 0;
}

// Waits for the job's "no process left" message on its completion port; the count is read too,
// because a message can be lost when the port's queue overflows.
TreeEnd WaitForJob(HANDLE job, HANDLE port, const std::function<bool()>& stopWaiting) {
    while (true) {
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED overlapped = nullptr;
        if (::GetQueuedCompletionStatus(port, &message, &key, &overlapped, kPollMilliseconds) &&
            key == reinterpret_cast<ULONG_PTR>(job) && message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO)
            return TreeEnd::Ended;
        if (NoProcessLeft(job)) return TreeEnd::Ended;
        if (stopWaiting && stopWaiting()) return TreeEnd::StoppedWaiting;
    }
}

// Without a job (Korvane itself may run in one that allows none inside): the program alone.
TreeEnd WaitForProgramOnly(HANDLE process, const std::function<bool()>& stopWaiting) {
    while (::WaitForSingleObject(process, kPollMilliseconds) == WAIT_TIMEOUT)
        if (stopWaiting && stopWaiting()) return TreeEnd::StoppedWaiting;
    return TreeEnd::NotWaited;
}

}  // namespace

TreeEnd Win32Processes::startAndWaitForTree(const std::string& applicationName,
                                            const std::string& commandLine,
                                            const std::function<bool()>& stopWaiting) {
    if (applicationName.empty()) return TreeEnd::NotStarted;
    UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    UniqueHandle port(::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    bool followed = false;
    if (job && port) {
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{};
        association.CompletionKey = job.get();
        association.CompletionPort = port.get();
        followed = ::SetInformationJobObject(job.get(), JobObjectAssociateCompletionPortInformation,
                                             &association, sizeof association) != FALSE;
    }
    // Suspended until it is in the job, so that nothing it starts can slip out before.
    const auto child = Launch(applicationName, commandLine, SW_SHOWDEFAULT, {}, CREATE_SUSPENDED);
    if (!child) return TreeEnd::NotStarted;
    followed = followed && ::AssignProcessToJobObject(job.get(), child->process.get());
    ::ResumeThread(child->thread.get());
    return followed ? WaitForJob(job.get(), port.get(), stopWaiting)
                    : WaitForProgramOnly(child->process.get(), stopWaiting);
}

std::optional<std::uint32_t> Win32Processes::runHiddenAndWait(const std::string& commandLine,
                                                              const std::string& workingFolder) {
    const auto child = Launch({}, commandLine, SW_HIDE, workingFolder);
    if (!child) return std::nullopt;
    if (::WaitForSingleObject(child->process.get(), INFINITE) != WAIT_OBJECT_0) return std::nullopt;
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(child->process.get(), &exitCode)) return std::nullopt;
    return exitCode;
}

bool Win32Processes::start(const std::string& applicationName, const std::string& commandLine) {
    // Without a name CreateProcess would search the program's and the current folder first.
    if (applicationName.empty()) return false;
    return Launch(applicationName, commandLine, SW_SHOWDEFAULT, {}).has_value();
}

bool Win32Processes::startElevated(const std::string& program, const std::string& arguments) {
    const std::wstring file = Widen(program);
    const std::wstring parameters = Widen(arguments);
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    // Waits for the request to be handed over: the caller may end its process right afterwards. Windows
    // still asks the user for consent; a failure is the caller's to tell, not a box of the shell's.
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"runas";
    execute.lpFile = file.c_str();
    execute.lpParameters = parameters.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&execute) != FALSE;
}

}  // namespace korvane::win32
