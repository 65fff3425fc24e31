// The bridge between one scan run's worker and the window's thread. Findings are handed over in
// ordered batches and the progress label is coalesced (the newest text wins), so the scan does not
// pay a thread switch per registry key; everything the worker must see (group check boxes, counts)
// still goes through a call that waits. The ignore test runs inside the same UI-thread call that adds
// the row, so it never overlaps a change of the ignore list.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "controls/Button.h"
#include "controls/ListView.h"
#include "platform/UiThread.h"
#include "scan/IgnoreList.h"
#include "scan/RepairedKeys.h"
#include "scanwalk/ScanSink.h"

namespace korvane {

// How often the worker hands over. A batch is handed over when it is full or when `interval` has
// passed since the last hand-over; an interval of zero hands every label and finding over at once.
// Five hand-overs a second still read as a live label to a person; under Wine each waiting hand-over
// is a round trip through the server, and at 25 a second they cost a scan about half its time again.
struct ScanHandOverPolicy {
    std::size_t batchSize = 512;
    std::chrono::milliseconds interval{200};
};

class ScanRunChannel : public ScanSink {
public:
    ScanRunChannel(UiThread& ui, ListView& lvScanGroups, ListView& lvErrors, Label& lblScanLabel,
                   const IgnoreList& ignoreList, ScanHandOverPolicy policy, RepairedKeys repaired = {});

    // Worker thread: the rows of lvScanGroups, and whether one is checked now.
    int RowCount();
    bool GroupChecked(int row);
    // Worker thread: hands over whatever is still pending.
    void Finish();

    void BeginGroup(int group) override;
    bool LabelDue() override;
    void SetLabel(std::string text) override;
    void AddScanError(ScanFinding finding) override;
    void WriteCount(int group) override;

    // The error that ended the run, if any (set by the worker, read after the run).
    void Fail(const std::string& text);
    std::string Error() const;

    long long HandOvers() const { return handOvers_; }
    std::uint64_t entriesExamined = 0;

private:
    using Clock = std::chrono::steady_clock;
    struct Item {
        bool resetCounter = false;  // BeginGroup: the group's counter starts at 0 here
        ScanFinding finding;
    };

    template <class Extra>
    void HandOver(Extra&& extra);
    void ApplyPending();  // UI thread

    UiThread& ui_;
    ListView& lvScanGroups_;
    ListView& lvErrors_;
    Label& lblScanLabel_;
    const IgnoreList& ignoreList_;
    RepairedKeys repaired_;
    ScanHandOverPolicy policy_;

    // Worker side, touched on the UI thread only while the worker waits in a hand-over.
    std::vector<Item> pending_;
    std::size_t pendingFindings_ = 0;
    std::string label_;
    bool labelPending_ = false;
    Clock::time_point nextHandOver_{};
    long long handOvers_ = 0;

    std::array<int, kScanGroupCount> counters_{};  // UI thread

    mutable std::mutex errorLock_;
    std::string error_;
};

}  // namespace korvane
