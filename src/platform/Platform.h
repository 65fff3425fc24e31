// Everything the program asks of the outside world, handed down as one bundle of references.
#pragma once

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/RegistryBackend.h"
#include "platform/ScheduledTasks.h"
#include "platform/Services.h"
#include "platform/SignatureVerifier.h"
#include "platform/SystemInfo.h"
#include "platform/UiThread.h"

namespace korvane {

struct Platform {
    RegistryBackend& registry;
    FileSystem& files;
    SystemInfo& system;
    Processes& processes;
    UiThread& ui;
    Dialogs& dialogs;
    // Bundles made by hand (tests) may leave these out and get a machine without any.
    ScheduledTasks& tasks = NoScheduledTasks::Instance();
    Services& services = NoServices::Instance();
    SignatureVerifier& signatures = NoSignatureVerifier::Instance();
};

}  // namespace korvane
