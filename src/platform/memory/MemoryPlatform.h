// The six in-memory implementations bundled: what every logic test builds first. It owns one of each
// and hands out the Platform bundle the program takes, plus typed access for the test hooks. The file
// system starts with the folders the default system facts name and the program's own executable.
#pragma once

#include "platform/Platform.h"
#include "platform/memory/MemoryDialogs.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryProcesses.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemoryScheduledTasks.h"
#include "platform/memory/MemoryServices.h"
#include "platform/memory/MemorySignatureVerifier.h"
#include "platform/memory/MemorySystemInfo.h"
#include "platform/memory/MemoryUiThread.h"

namespace korvane {

class MemoryPlatform {
public:
    MemoryPlatform() {
        files_.AddFolder(system_.systemFolder);
        files_.AddFolder(system_.tempFolder);
        files_.AddFile(system_.executable, "MZ");
    }
    MemoryPlatform(const MemoryPlatform&) = delete;
    MemoryPlatform& operator=(const MemoryPlatform&) = delete;

    Platform& platform() { return platform_; }
    MemoryRegistry& registry() { return registry_; }
    MemoryFileSystem& files() { return files_; }
    MemorySystemInfo& system() { return system_; }
    MemoryProcesses& processes() { return processes_; }
    MemoryUiThread& ui() { return ui_; }
    MemoryDialogs& dialogs() { return dialogs_; }
    MemoryScheduledTasks& tasks() { return tasks_; }
    MemoryServices& services() { return services_; }
    MemorySignatureVerifier& signatures() { return signatures_; }

private:
    MemoryRegistry registry_;
    MemoryFileSystem files_;
    MemorySystemInfo system_;
    MemoryProcesses processes_;
    MemoryUiThread ui_;
    MemoryDialogs dialogs_;
    MemoryScheduledTasks tasks_;
    MemoryServices services_;
    MemorySignatureVerifier signatures_{files_};
    Platform platform_{registry_, files_, system_, processes_, ui_, dialogs_, tasks_, services_, signatures_};
};

}  // namespace korvane
