// Files and folders through kernel32's W functions. Paths are converted from UTF-8 at the call;
// buffers are sized from what the calls report, so long folders are never cut at 260 characters.
#pragma once

#include "platform/FileSystem.h"

namespace korvane::win32 {

class Win32FileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) override;
    bool directoryExists(const std::string& path) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    // GetFileAttributesW; a missing drive letter (which Windows reports as a missing file or path) is
    // told apart through GetDriveTypeW.
    PathProbe probePath(const std::string& path) override;
    // Wow64DisableWow64FsRedirection for the 32-bit build on 64-bit Windows; nothing otherwise.
    std::unique_ptr<NativePathsScope> nativePathsOnThisThread() override;
    bool findFiles(const std::string& pattern, std::vector<FileEntry>& out) override;
    bool createDirectory(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    std::string currentDirectory() override;
    bool setCurrentDirectory(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& data) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    std::optional<Sha256Digest> sha256(const std::string& path) override;
    // SHFileOperationW with FOF_ALLOWUNDO, without any window of the shell's. Only on a local fixed
    // drive: elsewhere (network shares, removable drives) Windows has no Recycle Bin and the same call
    // would delete for good.
    bool moveToRecycleBin(const std::string& path) override;
    // A protected DACL for Administrators and SYSTEM, owned by Administrators (PrivateFolder.cpp).
    bool createPrivateFolder(const std::string& folder) override;
};

}  // namespace korvane::win32
