// The scan page: the list of scan groups, the error list, and one scan run on the worker component.
// The walk over the groups is scanwalk/ (the group routines behind ScanContext, entered through
// RunScan), the path tests below it probe/; repair and the ignore list are Repair and IgnorePage.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "controls/Button.h"
#include "controls/ListView.h"
#include "controls/Page.h"
#include "core/AppState.h"
#include "core/BMDThread.h"
#include "probe/ProbeMemory.h"
#include "scan/IgnoreList.h"
#include "scan/IgnorePage.h"
#include "scan/ScanRunChannel.h"
#include "scanwalk/FindingPipeline.h"
#include "undo/UndoHistory.h"

namespace korvane {

class ScanPage : public Page {
public:
    // The page adds its groups' base keys to the history's container keys.
    ScanPage(AppState& state, UndoHistory& history, IgnoreList& ignoreList, IgnorePage& ignorePage);
    ~ScanPage() override;

    ListView lvScanGroups{"lvScanGroups"};
    ListView lvErrors{"lvErrors"};
    GroupBox gbControlPanel{"gbControlPanel"};
    Label lblScanLabel{"lblScanLabel"};
    // What the selected finding rests on: the path or key tested and the answer.
    Label lblEvidence{"lblEvidence"};
    Button btnStartScan{"btnStartScan"};
    Button btnFixSelected{"btnFixSelected"};
    Button btnCheckAll{"btnCheckAll"};
    Button btnAdd2Ignore{"btnAdd2Ignore"};

    // Empties the group list and adds the twelve groups, all checked, counts "0".
    void FillScanGroups();
    // "Start &Scan" starts a run; any other caption asks the running one to stop.
    void btnStartScanClick();
    // Toggles by its own caption: checks every row of the error list whose finding is certain (a row
    // whose test could not tell stays as it is), or unchecks every row.
    void btnCheckAllClick();
    // Shows the evidence of the selected row below the list (nothing when none is selected).
    void lvErrorsSelectionChanged();
    // What Ctrl+C copies: the selected row and its evidence.
    std::string CopySelectedRow() const;

    // The three events of ScanErrorsThread.
    void ScanErrorsThreadStart(BMDThread& sender, WorkerThread& thread);
    void ScanErrorsThreadExecute(BMDThread& sender, WorkerThread& thread);
    void ScanErrorsThreadTerminate(BMDThread& sender, WorkerThread& thread);

    // Files one finding unless the ignore list holds its Key Name; UI thread. Returns whether a row
    // was added.
    bool AddScanError(ScanFinding finding);

    // How the worker hands its findings and labels over; tests make it hand over every one at once.
    ScanHandOverPolicy handOverPolicy;
    // How the run's file tests are spread over threads, and the time a test of a drive, of a share or
    // of a network path is given before its server counts as not answering.
    ProbeConcurrency probeConcurrency;
    std::chrono::milliseconds probeBudget = kProbeBudget;

    // UI-thread hand-overs made by the last run (labels, findings, group rows, counts), and the
    // entries its groups examined.
    long long LastRunHandOvers() const { return lastRunHandOvers_; }
    std::uint64_t LastRunEntries() const { return lastRunEntries_; }

private:
    AppState& state_;
    UndoHistory& history_;
    IgnoreList& ignoreList_;
    IgnorePage& ignorePage_;
    std::shared_ptr<ScanRunChannel> channel_;
    int versionClass_ = 0;
    long long lastRunHandOvers_ = 0;
    std::uint64_t lastRunEntries_ = 0;

public:
    // Last member: destroyed (and waited for) before the controls it reaches.
    BMDThread ScanErrorsThread;
};

}  // namespace korvane
