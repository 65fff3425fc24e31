// korvanec's commands, each on a session set up for it; each returns its exit code (Korvanec.h) and
// throws CommandError when it cannot go on.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "console/Session.h"

namespace korvane::console {

int ScanCommand(Session& session, const Options& options, std::ostream& out, std::ostream& err,
                const std::function<void(const std::string&)>& progress);
int FixCommand(Session& session, const Options& options, std::ostream& out, std::ostream& err);
int HistoryCommand(Session& session, const Options& options, std::ostream& out, std::ostream& err);
int RestoreCommand(Session& session, const Options& options, std::ostream& out, std::ostream& err);

}  // namespace korvane::console
