// Who signed a program: its Authenticode signature checked by the system (the embedded signature,
// else a catalog that lists the file's hash), never waiting on the network for revocation lists.
// Implementations are safe to call from several threads at once and never throw.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvane {

enum class SignatureState { Verified, NotVerified, Unsigned, FileNotFound };

struct SignatureAnswer {
    SignatureState state = SignatureState::Unsigned;
    std::string subject;  // Verified: the signer's name as the certificate gives it
    std::string reason;   // NotVerified: why, in a few words
    bool operator==(const SignatureAnswer&) const = default;
};

// What identifies one version of a file: a changed file is checked again.
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;  // FILETIME
    bool operator==(const FileStamp&) const = default;
};

class SignatureVerifier {
public:
    virtual ~SignatureVerifier() = default;
    // Size and time of the file; nothing when it is not there (or is a folder).
    virtual std::optional<FileStamp> stamp(const std::string& path) = 0;
    // The signature of the file at `path` (a full path). Can take tens of milliseconds: call it from
    // a worker, never from the window's thread.
    virtual SignatureAnswer verify(const std::string& path) = 0;
};

// A verifier that finds every file unsigned, for a platform assembled without one (a test's own bundle).
class NoSignatureVerifier final : public SignatureVerifier {
public:
    std::optional<FileStamp> stamp(const std::string&) override { return FileStamp{}; }
    SignatureAnswer verify(const std::string&) override { return {}; }
    static NoSignatureVerifier& Instance() {
        static NoSignatureVerifier none;
        return none;
    }
};

}  // namespace korvane
