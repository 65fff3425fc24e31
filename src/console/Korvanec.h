// korvanec, Korvane's console companion: the same scan, repair, undo history, ignore list and lists as
// the window, for scripts and remote-management systems. It has no window and asks no questions.
//   korvanec scan [--group N…] [--all-users | --user SID]
//   korvanec fix --all | --key "KEY NAME"… | --from FILE.json [--dry-run] [--all-users | --user SID]
//   korvanec history                          korvanec restore --all | --index N… [--dry-run]
//   korvanec ignore list|add ROOT KEY VALUE|remove INDEX…
//   korvanec startup list [--verify]          korvanec uninstall list
//   korvanec uninstall remove --key "KEY NAME" [--quiet] [--clean]    (runs the uninstaller, waits)
//   korvanec uninstall leftovers --key "KEY NAME" [--clean]           (the program is already gone)
// Every listing takes --format json|csv|text, --out FILE, --summary and --exit-zero. JSON is one
// versioned document (docs/korvanec.schema.json). Nothing is written to the error stream unless the
// command failed (exit code 2 or 3).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace korvane::console {

// 0: nothing to fix (findings that rest on "cannot tell" or came back alone give 0; so does any
// finding with --exit-zero, the counts being in the output).
inline constexpr int kExitOk = 0;
// 1: checked findings exist (what a fix --all would take).
inline constexpr int kExitFindings = 1;
// 2: bad arguments or an error; what the arguments asked for was not done.
inline constexpr int kExitError = 2;
// A fix or restore that left entries as they were: the registry refused (lack of rights) or the undo
// history could not be saved.
inline constexpr int kExitLeft = 3;

// `args` are the arguments after the program's name, as UTF-8. The platform's registry, files,
// system and processes are used; messages go to `err` instead of dialogs. `progress` asks for the
// scan's progress on `err` (when it is a terminal).
int RunKorvanec(Platform& platform, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err, bool progress);

}  // namespace korvane::console
