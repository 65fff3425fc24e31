// The service control manager (Win32Services.h).
#include "win32/platform/Win32Services.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"

namespace korvane::win32 {

namespace {

using UniqueServiceHandle = UniqueAny<SC_HANDLE, &::CloseServiceHandle>;

// The configuration of one service; nothing when it cannot be read.
std::optional<AutoStartService> AutoStartConfig(SC_HANDLE manager, const wchar_t* name,
                                                const wchar_t* display) {
    const UniqueServiceHandle service(::OpenServiceW(manager, name, SERVICE_QUERY_CONFIG));
    if (!service) return std::nullopt;
    DWORD needed = 0;
    ::QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    if (needed == 0) return std::nullopt;
    // QUERY_SERVICE_CONFIGW holds pointers: the buffer is aligned for them.
    std::vector<std::uint64_t> buffer(needed / sizeof(std::uint64_t) + 1);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!::QueryServiceConfigW(service.get(), config,
                               static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)), &needed))
        return std::nullopt;
    if (config->dwStartType != SERVICE_AUTO_START) return std::nullopt;
    return AutoStartService{Narrow(name), Narrow(display ? display : L""),
                            Narrow(config->lpBinaryPathName ? config->lpBinaryPathName : L"")};
}

}  // namespace

bool Win32Services::listAutoStartServices(std::vector<AutoStartService>& services) {
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) return false;
    DWORD resume = 0;
    std::vector<std::uint64_t> buffer(64 * 1024 / sizeof(std::uint64_t));
    for (;;) {
        DWORD needed = 0;
        DWORD count = 0;
        const BOOL done = ::EnumServicesStatusExW(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32,
                                                  SERVICE_STATE_ALL, reinterpret_cast<BYTE*>(buffer.data()),
                                                  static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)),
                                                  &needed, &count, &resume, nullptr);
        const DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
        if (!done && error != ERROR_MORE_DATA) return false;
        const auto* entries = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            if (auto service =
                    AutoStartConfig(manager.get(), entries[i].lpServiceName, entries[i].lpDisplayName))
                services.push_back(std::move(*service));
        }
        if (done) return true;
        if (count == 0) {
            // Not even one entry fitted: a bigger buffer, once per size the manager asks for.
            if (needed <= buffer.size() * sizeof(std::uint64_t)) return false;
            buffer.resize(needed / sizeof(std::uint64_t) + 1);
        }
    }
}

}  // namespace korvane::win32
