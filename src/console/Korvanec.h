// korvanec, Korvane's console companion: the same scan, repair, undo history, ignore list and lists as
// the window, for scripts and remote-management systems. It has no window and asks no questions.
//   korvanec scan [--group N…] [--format json|csv|text]
//   korvanec fix --all | --key "KEY NAME"… | --from FILE.json
//   korvanec history [--format …]            korvanec restore --all | --index N…
//   korvanec ignore list|add ROOT KEY VALUE|remove INDEX…
//   korvanec startup list [--format …]        korvanec uninstall list [--format …]
//   korvanec uninstall remove --key "KEY NAME" [--quiet] [--clean]    (runs the uninstaller, waits)
//   korvanec uninstall leftovers --key "KEY NAME" [--clean]           (the program is already gone)
// Exit codes: scan 0 no findings, 1 findings; every command 2 for an error or bad arguments (then
// nothing was changed by the arguments' fault).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace korvane::console {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFindings = 1;
inline constexpr int kExitError = 2;

// `args` are the arguments after the program's name, as UTF-8. The platform's registry, files,
// system and processes are used; messages go to `err` instead of dialogs. `progress` asks for the
// scan's progress on `err` (when it is a terminal).
int RunKorvanec(Platform& platform, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err, bool progress);

}  // namespace korvane::console
