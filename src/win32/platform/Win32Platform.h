// The Win32 platform bundle: owns one of each Win32 implementation and hands them out as the
// Platform the program is built on. Construct it on the UI thread (the UiThread binds to it).
#pragma once

#include "platform/Platform.h"
#include "win32/platform/Win32Dialogs.h"
#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32Processes.h"
#include "win32/platform/Win32Registry.h"
#include "win32/platform/Win32ScheduledTasks.h"
#include "win32/platform/Win32Services.h"
#include "win32/platform/Win32SignatureVerifier.h"
#include "win32/platform/Win32SystemInfo.h"
#include "win32/platform/Win32UiThread.h"

namespace korvane::win32 {

class Win32Platform {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() { return platform_; }

private:
    Win32Registry registry_;
    Win32FileSystem files_;
    Win32SystemInfo system_;
    Win32Processes processes_;
    Win32UiThread ui_;
    Win32Dialogs dialogs_;
    Win32ScheduledTasks tasks_;
    Win32Services services_;
    Win32SignatureVerifier signatures_{files_};
    // Refers to the members above, so it is declared (and built) after them.
    Platform platform_{registry_, files_, system_, processes_, ui_, dialogs_, tasks_, services_, signatures_};
};

}  // namespace korvane::win32
