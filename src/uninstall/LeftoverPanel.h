// The lower part of the Uninstall Manager page: the uninstall run (the uninstallers of the checked
// programs one after the other, each waited for with everything it starts, on a worker so that the
// window stays responsive), then the list of what they left behind with the evidence of each row,
// and "Re&move" for the checked rows. The page places the controls and hands over the entries.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/Button.h"
#include "controls/ListView.h"
#include "core/AppState.h"
#include "core/BMDThread.h"
#include "undo/UndoHistory.h"
#include "uninstall/LeftoverRun.h"

namespace korvane {

// The columns after the caption (the kind of trace).
inline constexpr int kLeftoverWhereColumn = 0;
inline constexpr int kLeftoverEvidenceColumn = 1;
inline constexpr int kLeftoverProgramColumn = 2;

class LeftoverPanel {
public:
    LeftoverPanel(AppState& state, UndoHistory& history);

    Label lblLeftovers{"lblLeftovers"};
    ListView lvLeftovers{"lvLeftovers"};
    Button btnStopWaiting{"btnStopWaiting"};
    Button btnRemove{"btnRemoveLeftovers"};

    // Uninstalls (or, without `uninstall`, only looks at) `entries` one after the other on the worker,
    // then lists what they left behind. Does nothing while a run is going on.
    void Run(std::vector<UninstallEntry> entries, bool uninstall, bool quiet);
    bool Running() const { return worker_.Active(); }
    // Stops waiting for the uninstaller; the uninstaller itself goes on.
    void btnStopWaitingClick();
    // Asks, then removes the checked rows' traces (registry: undo history first; files: Recycle Bin).
    void btnRemoveClick();
    void lvLeftoversClick();

    // After a run and after a removal: the list of programs may have changed.
    std::function<void()> onEntriesChanged;

private:
    struct Job {
        UninstallEntry entry;
        UninstallRun run;
        bool begun = false;
    };
    void ShowResults();

    AppState& state_;
    UndoHistory& history_;
    std::vector<Job> jobs_;  // the run's programs; the worker fills in their runs
    bool uninstall_ = false;
    bool quiet_ = false;
    // Last, so that it goes first: its destructor waits for a running worker, which uses the rest.
    BMDThread worker_;
};

}  // namespace korvane
