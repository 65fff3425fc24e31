// What the pages show of a program's signature, and the answers of this session: a file is checked
// once for as long as its size and time stay the same, whichever page asked first. Shared by the
// Startup Programs and Uninstall Manager pages through AppState; safe to use from several threads.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/SignatureVerifier.h"

namespace korvane {

// "Verified: <subject>", "Not verified: <reason>", "Unsigned" or "File not found".
std::string PublisherText(const SignatureAnswer& answer);
// Whether Microsoft signed the file (and the signature holds): what "Hide verified Microsoft
// entries" hides.
bool IsVerifiedMicrosoft(const SignatureAnswer& answer);

class SignatureCache {
public:
    explicit SignatureCache(SignatureVerifier& verifier) : verifier_(verifier) {}

    // The answer for the file at `path`, checked now unless this session already checked the same
    // size and time stamp of it. A file that is not there is asked again every time (it may come).
    SignatureAnswer Check(const std::string& path);

private:
    struct Entry {
        FileStamp stamp;
        SignatureAnswer answer;
    };
    SignatureVerifier& verifier_;
    mutable std::mutex mutex_;
    std::map<std::string, Entry> entries_;  // by path, A-Z folded
};

}  // namespace korvane
