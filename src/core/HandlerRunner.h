// Runs a handler of the window: an error that escapes it is shown in the standard error box and the
// program goes on. Exceptions never cross a window procedure or a thread.
#pragma once

#include <exception>
#include <functional>

#include "platform/Dialogs.h"

namespace korvane {

inline void RunHandler(Dialogs& dialogs, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        dialogs.error(error.what());
    } catch (...) {
        dialogs.error("Unknown error");
    }
}

}  // namespace korvane
