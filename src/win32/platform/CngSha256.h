// SHA-256 through CNG, the system's cryptography. bcrypt.dll is loaded at run time from the system
// folder (SystemLibrary.h): it is not one of the DLLs Windows always takes from there, so importing it
// would let a copy beside the program be loaded instead.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "platform/FileSystem.h"

namespace korvane::win32 {

// One digest: feed the bytes with Update, then take it with Finish.
class CngSha256 {
public:
    CngSha256();
    ~CngSha256();
    CngSha256(const CngSha256&) = delete;
    CngSha256& operator=(const CngSha256&) = delete;

    // False once anything failed, from the start when CNG or its SHA-256 is not there.
    bool Update(const void* bytes, std::size_t size);
    // The digest of everything fed; nothing after a failure. Ends this hash.
    std::optional<Sha256Digest> Finish();

private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
};

}  // namespace korvane::win32
