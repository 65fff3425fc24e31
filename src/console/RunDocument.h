// korvanec's one document: the same envelope for every command that lists things — what ran, where, as
// whom, when and for how long, what it covered, the counts — then the records. Fleet tools keep only
// a short last line of output, so the document also gives its one-line summary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "console/TableOutput.h"

namespace korvane::console {

inline constexpr int kDocumentSchema = 1;
// What a channel such as Intune keeps of the output: its last line, up to this many characters.
inline constexpr std::size_t kSummaryLimit = 2048;

struct RunFacts {
    std::string command;  // "scan", "fix", "history", ...
    std::string version;
    std::string machine;
    std::string accountSid;
    std::string accountName;
    bool elevated = false;
    std::string startedUtc;
    std::int64_t elapsedMs = 0;
    Records scope = Records::object();  // what a scan covered (machine keys, profiles, why)
    std::optional<bool> dryRun;         // fix and restore only
    std::optional<int> changes;         // fix and restore only: entries deleted or written (or that would be)
    std::vector<std::string> messages;  // what the window would have shown in a message box
};

// "2024-03-15T13:05:09Z" for a FILETIME (100-ns intervals since 1601-01-01, UTC).
std::string UtcText(std::uint64_t fileTime);

// The document: the envelope, `counts`, then the records under `recordsName` ("findings", "entries",
// "records").
Records MakeDocument(const RunFacts& facts, Records counts, const std::string& recordsName, Records records);

// The counts of a list of finding records: all, checked, per answer, per group.
Records FindingCounts(const Records& findings);

// One line of at most kSummaryLimit bytes (no line break inside): the command, the counts per answer and
// per group (or the number of records), the changes, the scope and the exit code.
std::string SummaryLine(const Records& document, int exitCode);

}  // namespace korvane::console
