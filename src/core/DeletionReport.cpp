// The messages after deletions and changes (see DeletionReport.h).
#include "core/DeletionReport.h"

#include "core/AdminRestart.h"

namespace korvane {

std::string CountOf(int count, Noun noun) {
    return std::to_string(count) + " " + (count == 1 ? noun.one : noun.many);
}

std::string NeedRightsText(int count) {
    return count == 1 ? ": it needs administrator rights." : ": they need administrator rights.";
}

std::string HistoryNotSavedText(const std::string& historyFile) {
    return "The undo history could not be saved to " + historyFile;
}

std::string SaveFailureText(const std::string& historyFile, const std::string& notDone,
                            const std::string& error) {
    return HistoryNotSavedText(historyFile) + ", so " + notDone + ".\n" + error;
}

bool ReportDeletion(AppState& state, const std::string& historyFile, const DeletionOutcome& outcome,
                    const DeletionWording& wording) {
    if (outcome.saveFailed) {
        state.platform.dialogs.error(SaveFailureText(historyFile, wording.notDone, outcome.saveError));
        return false;
    }
    const int failed = outcome.Count(EntryFate::Failed);
    if (failed > 0) state.platform.dialogs.error(CountOf(failed, wording.noun) + " " + wording.refused + ".");
    return ReportNeedsRights(state, outcome.Count(EntryFate::NeedsRights), wording.noun, wording.refused);
}

bool ReportNeedsRights(AppState& state, int count, Noun noun, const std::string& refused) {
    if (count <= 0) return false;
    return OfferRestartAsAdministrator(state, CountOf(count, noun) + " " + refused + NeedRightsText(count));
}

}  // namespace korvane
