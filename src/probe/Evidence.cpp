// The words of an existence test's answer (see Evidence.h).
#include "probe/Evidence.h"

namespace korvane {

std::string SecondsText(std::chrono::milliseconds duration) {
    const long long ms = duration.count();
    std::string text = std::to_string(ms / 1000);
    if (long long rest = ms % 1000; rest != 0) {
        std::string fraction = std::to_string(rest + 1000).substr(1);  // three digits, leading zeros kept
        while (fraction.back() == '0') fraction.pop_back();
        text += "." + fraction;
    }
    return text + " s";
}

std::string AnswerText(const PathProbe& probe, bool network, std::chrono::milliseconds budget) {
    switch (probe.reason) {
        case PathReason::Found:
            return probe.IsFolder() ? "folder found" : "file found";
        case PathReason::FileNotFound:
            return "file not found";
        case PathReason::PathNotFound:
            return "folder not found";
        case PathReason::InvalidName:
            return "not a valid file name";
        case PathReason::NoSuchDrive:
            return "drive not there";
        case PathReason::DriveNotReady:
            return "drive not ready";
        case PathReason::ServerUnreachable:
            return "server not reachable";
        case PathReason::ShareUnavailable:
            return "share not available";
        case PathReason::AccessDenied:
            return "access denied";
        case PathReason::TimedOut:
            return std::string(network ? "server" : "drive") + " did not answer in " + SecondsText(budget);
        case PathReason::OtherError:
            break;
    }
    return "Windows error " + std::to_string(probe.error);
}

}  // namespace korvane
