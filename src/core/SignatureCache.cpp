// The session's signature answers (SignatureCache.h).
#include "core/SignatureCache.h"

#include "platform/AsciiCase.h"

namespace korvane {

std::string PublisherText(const SignatureAnswer& answer) {
    switch (answer.state) {
        case SignatureState::Verified:
            return "Verified: " + answer.subject;
        case SignatureState::NotVerified:
            return "Not verified: " + answer.reason;
        case SignatureState::Unsigned:
            return "Unsigned";
        case SignatureState::FileNotFound:
            break;
    }
    return "File not found";
}

bool IsVerifiedMicrosoft(const SignatureAnswer& answer) {
    // Microsoft signs as "Microsoft Corporation", "Microsoft Windows", "Microsoft Windows Publisher"...;
    // a name that merely begins with the word ("Microsofty Ltd") is someone else.
    const std::string& subject = answer.subject;
    return answer.state == SignatureState::Verified && subject.rfind("Microsoft", 0) == 0 &&
           (subject.size() == 9 || subject[9] == ' ');
}

SignatureAnswer SignatureCache::Check(const std::string& path) {
    const auto stamp = verifier_.stamp(path);
    if (!stamp) return verifier_.verify(path);
    const std::string key = UpperAscii(path);
    {
        std::lock_guard lock(mutex_);
        if (auto at = entries_.find(key); at != entries_.end() && at->second.stamp == *stamp)
            return at->second.answer;
    }
    // Checked without the lock: other files are checked meanwhile. Two threads asking for the same
    // new file both check it, and the answers are the same.
    SignatureAnswer answer = verifier_.verify(path);
    std::lock_guard lock(mutex_);
    entries_[key] = Entry{*stamp, answer};
    return answer;
}

}  // namespace korvane
