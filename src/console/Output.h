// How a command's result leaves korvanec: the document (JSON) or its rows (CSV, text) on the output or
// in the --out file, the summary line last when asked for (or when the document went to a file), and
// the kept messages on the error stream only when the command failed.
#pragma once

#include <ostream>

#include "console/Korvanec.h"
#include "console/Session.h"
#include "console/TableOutput.h"

namespace korvane::console {

struct CommandResult {
    std::string command;
    Records counts;
    std::string recordsName;            // "findings", "entries" or "records"
    Records records;                    // the document's records
    Records rows;                       // the same for CSV and text, in the columns they have always had
    std::optional<std::string> text{};  // the text form when it is a sentence rather than a table
    int exitCode = 0;
    std::optional<bool> dryRun{};
    std::optional<int> changes{};
};

// Writes `result` as `options` ask; the exit code (2 when the --out file cannot be written).
int Emit(Session& session, const Options& options, CommandResult result, std::ostream& out,
         std::ostream& err);

}  // namespace korvane::console
