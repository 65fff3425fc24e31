// The Startup Programs page: the list of startup entries and its four buttons. This file owns the
// page's controls and layout; listing and moving entries are added with the startup manager.
#pragma once

#include <functional>

#include "app/AppState.h"
#include "controls/Button.h"
#include "controls/ListView.h"
#include "controls/Page.h"

namespace korvane {

class StartupPage : public Page {
public:
    explicit StartupPage(AppState& state);

    ListView lvStartup{"lvStartup"};
    GroupBox gbControlPanel{"gbStartupControlPanel"};
    Button btnRefresh{"btnRefresh"};
    Button btnApply{"btnApply"};
    Button btnEnable{"btnEnable"};
    Button btnDisable{"btnDisable"};

    // Lists the startup entries into the empty lvStartup; the main window calls it on a visit of the
    // page while the list is empty. Unset until the startup manager is built.
    std::function<void()> ListStartupEntries;

private:
    AppState& state_;
};

}  // namespace korvane
