// The in-memory service control manager: the automatic services a test adds, in the order added.
#pragma once

#include <mutex>
#include <vector>

#include "platform/Services.h"

namespace korvane {

class MemoryServices : public Services {
public:
    bool listAutoStartServices(std::vector<AutoStartService>& services) override {
        std::lock_guard lock(mutex_);
        if (!reachable_) return false;
        services.insert(services.end(), services_.begin(), services_.end());
        return true;
    }

    void AddService(AutoStartService service) {
        std::lock_guard lock(mutex_);
        services_.push_back(std::move(service));
    }
    void SetReachable(bool reachable) {
        std::lock_guard lock(mutex_);
        reachable_ = reachable;
    }

private:
    std::mutex mutex_;
    std::vector<AutoStartService> services_;
    bool reachable_ = true;
};

}  // namespace korvane
