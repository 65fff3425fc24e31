// What the user hears after the program deleted or changed entries on their behalf: one wording for
// repair, plug-in removal, uninstall deletion, startup changes and Restore History. A history that
// could not be saved ahead, entries the registry kept, and entries that need administrator rights
// (with the offer to restart as administrator, AdminRestart.h) are said the same way everywhere; only
// the noun and the verb differ.
#pragma once

#include <string>

#include "core/AppState.h"
#include "core/DeletionOutcome.h"

namespace korvane {

// What was deleted or changed, in the singular and the plural.
struct Noun {
    const char* one;
    const char* many;
};

namespace nouns {
inline constexpr Noun Entry{"entry", "entries"};
inline constexpr Noun AddOn{"add-on", "add-ons"};
inline constexpr Noun StartupEntry{"startup entry", "startup entries"};
}  // namespace nouns

// "1 entry", "2 add-ons".
std::string CountOf(int count, Noun noun);
// ": it needs administrator rights." or ": they need administrator rights.", after a count.
std::string NeedRightsText(int count);
// "The undo history could not be saved to <file>", the start of every message about a refused save.
std::string HistoryNotSavedText(const std::string& historyFile);
// HistoryNotSavedText, ", so <notDone>." and, on the next line, what the save said.
std::string SaveFailureText(const std::string& historyFile, const std::string& notDone,
                            const std::string& error);

struct DeletionWording {
    Noun noun;
    std::string notDone;  // after "..., so ": what did not happen when the save failed
    std::string refused;  // after the count: "could not be deleted from the registry"
};

// Says what went wrong in `outcome`, and nothing when every planned entry is gone: a refused save in
// the error box (SaveFailureText); entries the registry kept for another reason in the error box
// ("<count> <refused>."); entries that need administrator rights with the offer to restart
// (ReportNeedsRights). True when Korvane was started again as administrator (this instance closes).
bool ReportDeletion(AppState& state, const std::string& historyFile, const DeletionOutcome& outcome,
                    const DeletionWording& wording);

// "<count> <refused>: it needs administrator rights." with the offer to restart as administrator;
// nothing for a count of 0. True when Korvane was started again as administrator.
bool ReportNeedsRights(AppState& state, int count, Noun noun, const std::string& refused);

}  // namespace korvane
