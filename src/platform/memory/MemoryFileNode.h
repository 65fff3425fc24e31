// One file or folder of the in-memory file system; a volume's root is a folder node too. Shared by the
// folder tree (MemoryFileSystem) and the volumes that hold the trees (MemoryVolumes).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace korvane::memory {

struct FileNode {
    std::string name;
    std::uint32_t attributes = 0;
    std::string contents;
    std::map<std::string, std::unique_ptr<FileNode>> children;  // by upper-cased name: NTFS order

    bool isFolder() const { return (attributes & fileattr::Directory) != 0; }
};

}  // namespace korvane::memory
