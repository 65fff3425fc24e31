// The services Windows starts by itself: what the service control manager says of the Win32 services
// (drivers are not asked for) whose start type is automatic. Implementations never throw.
#pragma once

#include <string>
#include <vector>

namespace korvane {

struct AutoStartService {
    std::string name;         // the service's key name ("Spooler")
    std::string displayName;  // what the Services console shows
    std::string imagePath;    // the command line the manager starts, as registered (may hold %…%)
};

class Services {
public:
    virtual ~Services() = default;
    // Appends the automatic services; false when the service control manager cannot be opened.
    virtual bool listAutoStartServices(std::vector<AutoStartService>& services) = 0;
};

// A machine without services, for a platform assembled without them (a test's own bundle).
class NoServices final : public Services {
public:
    bool listAutoStartServices(std::vector<AutoStartService>&) override { return true; }
    static NoServices& Instance() {
        static NoServices none;
        return none;
    }
};

}  // namespace korvane
