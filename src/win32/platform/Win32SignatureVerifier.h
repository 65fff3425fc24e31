// Authenticode through wintrust.dll, loaded at run time from the system folder (it is no KnownDLL, so
// it is not imported): the file's embedded signature with WinVerifyTrust, else the catalog the
// catalog admin functions find for the file's hash. Revocation is not checked and nothing is fetched
// from the network (cache only), so a check never waits on a server.
#pragma once

#include <memory>

#include "platform/FileSystem.h"
#include "platform/SignatureVerifier.h"

namespace korvane::win32 {

// The functions of wintrust.dll and crypt32.dll, found once.
struct TrustFunctions;

class Win32SignatureVerifier final : public SignatureVerifier {
public:
    // `files` turns off WOW64's folder redirection for a check, so that the 32-bit build checks the
    // System32 file an entry names, not its SysWOW64 namesake.
    explicit Win32SignatureVerifier(FileSystem& files);
    ~Win32SignatureVerifier() override;

    std::optional<FileStamp> stamp(const std::string& path) override;
    SignatureAnswer verify(const std::string& path) override;

private:
    const TrustFunctions& Loaded();

    FileSystem& files_;
    std::unique_ptr<TrustFunctions> functions_;
};

}  // namespace korvane::win32
