// The native conformance target: the in-memory registry, file system and system facts of a 64-bit
// Windows 10, with the folders those facts name present on drive C:.
#include "conformance/ConformanceTarget.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystemInfo.h"

namespace korvane {

ConformanceTarget MakeConformanceTarget() {
    ConformanceTarget target;
    target.registry = std::make_unique<MemoryRegistry>();
    target.scratchRoot = roots::CurrentUser;
    target.scratchPath = "Software\\KorvaneConformance";

    auto system = std::make_unique<MemorySystemInfo>();
    system->Use64BitWindows10();
    auto files = std::make_unique<MemoryFileSystem>();
    files->AddFolder(system->systemFolder);
    files->AddFolder(system->systemWow64Folder);
    files->AddFolder(system->programFilesX86Folder);
    files->AddFolder(system->tempFolder);
    files->AddFile(system->executable, "MZ");
    MemoryFileSystem* raw = files.get();
    target.setFileAttributes = [raw](const std::string& path, std::uint32_t attributes) {
        if (!raw->ExistsRaw(path)) return false;
        raw->SetAttributes(path, attributes);
        return true;
    };
    target.files = std::move(files);
    target.scratchFolder = "C:\\KorvaneConformance";
    target.absentDrive = "Q:";
    target.system = std::move(system);
    return target;
}

}  // namespace korvane
