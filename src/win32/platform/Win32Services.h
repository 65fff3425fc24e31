// The automatic services through the service control manager (advapi32): every Win32 service (not
// drivers) whose start type is automatic, with the image path it is started from.
#pragma once

#include "platform/Services.h"

namespace korvane::win32 {

class Win32Services final : public Services {
public:
    // A service whose configuration cannot be read (a refusal, or it was just deleted) is left out.
    bool listAutoStartServices(std::vector<AutoStartService>& services) override;
};

}  // namespace korvane::win32
