// The window's private messages and what each one carries.
#pragma once

#include <windows.h>

namespace korvane::win32 {

enum AppMessage : UINT {
    // Posted by a page view to itself when a model changed; no parameters. It renders every view
    // marked since, so a burst of model changes costs one render.
    WM_APP_RENDER = WM_APP + 1,
};

}  // namespace korvane::win32
