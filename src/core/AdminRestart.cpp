// The refusal message and the offer to restart as administrator (see AdminRestart.h).
#include "core/AdminRestart.h"

namespace korvane {

bool OfferRestartAsAdministrator(AppState& state, const std::string& refusal) {
    Dialogs& dialogs = state.platform.dialogs;
    // Already an administrator, or nothing that could restart: saying so is all that is left.
    if (!state.restartAsAdministrator || state.platform.system.runsElevated()) {
        dialogs.error(refusal);
        return false;
    }
    if (!dialogs.confirm(refusal + "\n\nRestart Korvane as administrator?")) return false;
    const Page* page = state.MainControl.ActivePage();
    if (state.restartAsAdministrator(page != nullptr ? page->Name() : std::string())) return true;
    dialogs.error("Korvane could not be started as administrator.");
    return false;
}

}  // namespace korvane
