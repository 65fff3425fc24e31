// What a finding rests on: the path or key that was tested (after expansion and guessing) and what
// the test answered, in words a person reads below the error list ("file not found", "drive not
// ready", "server did not answer in 2 s", "key not found", ...).
#pragma once

#include <chrono>
#include <string>

#include "platform/PathProbe.h"

namespace korvane {

struct Evidence {
    std::string tested{};
    std::string answer{};

    bool operator==(const Evidence&) const = default;
};

// The words for one test's answer. `network` tells a server from a drive for a time-out; `budget` is
// the time the test was given.
std::string AnswerText(const PathProbe& probe, bool network, std::chrono::milliseconds budget);

// "2 s", "0.25 s": a time as the answers give it.
std::string SecondsText(std::chrono::milliseconds duration);

}  // namespace korvane
