// The service control manager through Win32Services: a service created with CreateService to start
// automatically is listed with its image path; one that starts on demand is not.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "win32/platform/UniqueHandle.h"
#include "win32/platform/Win32Services.h"

namespace korvane::win32 {
namespace {

using UniqueService = UniqueAny<SC_HANDLE, &::CloseServiceHandle>;

// A service made for one test and deleted after it.
class TestService {
public:
    TestService(SC_HANDLE manager, const wchar_t* name, DWORD startType, const wchar_t* image)
        : service_(::CreateServiceW(manager, name, name, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                    startType, SERVICE_ERROR_IGNORE, image, nullptr, nullptr, nullptr,
                                    nullptr, nullptr)) {}
    ~TestService() {
        if (service_) ::DeleteService(service_.get());
    }
    TestService(const TestService&) = delete;
    TestService& operator=(const TestService&) = delete;
    bool Made() const { return service_.valid(); }

private:
    UniqueService service_;
};

TEST(Win32Services, AnAutomaticServiceIsListedWithItsImagePath) {
    const UniqueService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ASSERT_TRUE(manager) << GetLastError();
    const TestService automatic(manager.get(), L"KorvaneTestAuto", SERVICE_AUTO_START,
                                L"\"C:\\windows\\system32\\notepad.exe\" -service");
    const TestService onDemand(manager.get(), L"KorvaneTestDemand", SERVICE_DEMAND_START,
                               L"C:\\windows\\system32\\notepad.exe");
    ASSERT_TRUE(automatic.Made()) << GetLastError();
    ASSERT_TRUE(onDemand.Made()) << GetLastError();

    Win32Services services;
    std::vector<AutoStartService> listed;
    ASSERT_TRUE(services.listAutoStartServices(listed));
    const auto named = [&](const std::string& name) {
        return std::find_if(listed.begin(), listed.end(),
                            [&](const AutoStartService& s) { return s.name == name; });
    };
    const auto found = named("KorvaneTestAuto");
    ASSERT_NE(found, listed.end());
    EXPECT_EQ(found->displayName, "KorvaneTestAuto");
    EXPECT_EQ(found->imagePath, "\"C:\\windows\\system32\\notepad.exe\" -service");
    EXPECT_EQ(named("KorvaneTestDemand"), listed.end());
}

}  // namespace
}  // namespace korvane::win32
