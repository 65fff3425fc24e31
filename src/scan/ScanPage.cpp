// The scan page: its layout, the group list, the run's start, work and end steps, and the check-all
// toggle. The walk over the groups is scanwalk/ScanRun; the hand-over to this thread in ScanRunChannel.
#include "scan/ScanPage.h"

#include "registry/WindowsVersion.h"
#include "scan/IgnoreList.h"
#include "scan/Repair.h"
#include "scan/ScanErrorList.h"
#include "scan/ScanRunChannel.h"
#include "scanwalk/ScanGroups.h"
#include "scanwalk/ScanRun.h"

namespace korvane {

namespace {
constexpr const char* kStartCaption = "Start &Scan";
constexpr const char* kCheckAllCaption = "&Check All";
}  // namespace

ScanPage::ScanPage(AppState& state, UndoHistory& history, IgnoreList& ignoreList, IgnorePage& ignorePage)
    : Page("tabScanErrors"),
      state_(state),
      history_(history),
      ignoreList_(ignoreList),
      ignorePage_(ignorePage),
      ScanErrorsThread(state.platform.ui) {
    // A 532 x 440 page: the two lists above, the control panel along the bottom.
    lvScanGroups.columns = {{"Scan Groups", 300}, {"Errors", ListColumn::kRestWidth}};
    lvErrors.columns = {
        {"Error Type", 130}, {"Key Name", 150}, {"Key Value", 140}, {"Guess Path", ListColumn::kRestWidth}};
    // Byte-exact ascending order of the Error Type; equal types keep the order found.
    // Both lists share one image list: the group picture first, the finding picture second.
    lvScanGroups.smallImages = {StockImage::Information, StockImage::Warning};
    lvErrors.smallImages = lvScanGroups.smallImages;
    SortErrorsByType(lvErrors);
    gbControlPanel.SetCaption("&Control Panel ");
    btnStartScan.SetCaption(kStartCaption);
    btnFixSelected.SetCaption("Fix S&elected");
    btnFixSelected.SetEnabled(false);
    btnCheckAll.SetCaption(kCheckAllCaption);
    btnAdd2Ignore.SetCaption("&Add to Ignore List");

    lvScanGroups.SetCaption("Scan groups");  // the name a screen reader says

    Place(lvScanGroups, Rect{0, 0, 532, 150}, nullptr, Anchor::TopLeft);
    lvErrors.SetCaption("Problems found");  // the name a screen reader says
    Place(lvErrors, Rect{0, 156, 532, 180}, nullptr, Anchor::Stretch);
    Place(lblEvidence, Rect{0, 340, 532, 18}, nullptr, Anchor::StretchWidthBottom);
    Place(gbControlPanel, Rect{0, 362, 532, 78}, nullptr, Anchor::StretchWidthBottom);
    Place(lblScanLabel, Rect{10, 18, 512, 16}, &gbControlPanel, Anchor::TopLeft);
    Place(btnStartScan, Rect{10, 42, 118, 25}, &gbControlPanel, Anchor::TopLeft);
    Place(btnFixSelected, Rect{136, 42, 118, 25}, &gbControlPanel, Anchor::TopLeft);
    Place(btnCheckAll, Rect{262, 42, 118, 25}, &gbControlPanel, Anchor::TopLeft);
    Place(btnAdd2Ignore, Rect{388, 42, 134, 25}, &gbControlPanel, Anchor::TopLeft);

    btnStartScan.onClick = [this] { btnStartScanClick(); };
    btnFixSelected.onClick = [this] {
        btnFixSelectedClick(state_, history_, lvErrors);
        lvErrorsSelectionChanged();
    };
    btnCheckAll.onClick = [this] { btnCheckAllClick(); };
    btnAdd2Ignore.onClick = [this] {
        ignorePage_.btnAdd2IgnoreClick(lvErrors);
        lvErrorsSelectionChanged();
    };
    lvErrors.onSelectionChanged = [this] { lvErrorsSelectionChanged(); };
    lvErrors.copyText = [this] { return CopySelectedRow(); };

    ScanErrorsThread.OnStart = [this](BMDThread& sender, WorkerThread& thread) {
        ScanErrorsThreadStart(sender, thread);
    };
    ScanErrorsThread.OnExecute = [this](BMDThread& sender, WorkerThread& thread) {
        ScanErrorsThreadExecute(sender, thread);
    };
    ScanErrorsThread.OnTerminate = [this](BMDThread& sender, WorkerThread& thread) {
        ScanErrorsThreadTerminate(sender, thread);
    };
}

ScanPage::~ScanPage() = default;

void ScanPage::FillScanGroups() {
    lvScanGroups.BeginUpdate();
    lvScanGroups.Clear();
    for (const char* name : ScanGroupNames) {
        ListItem row;
        row.caption = name;
        row.subItems = {"0"};
        row.checked = true;
        row.imageIndex = 0;
        lvScanGroups.Add(std::move(row));
    }
    lvScanGroups.EndUpdate();
}

void ScanPage::btnStartScanClick() {
    if (btnStartScan.Caption() == kStartCaption)
        ScanErrorsThread.Start();
    else
        ScanErrorsThread.Stop();
}

void ScanPage::btnCheckAllClick() {
    const bool check = btnCheckAll.Caption() == kCheckAllCaption;
    btnCheckAll.SetCaption(check ? "&Uncheck All" : kCheckAllCaption);
    ListUpdate update(lvErrors);
    if (!check) {
        lvErrors.SetAllChecked(false);
        return;
    }
    // A finding whose test could not tell is checked by the user alone, never for them.
    for (int row = 0; row < lvErrors.Count(); ++row) {
        const ErrorRowTag* tag = ErrorRowTagOf(lvErrors.Item(row));
        if (tag == nullptr || (tag->certain && !tag->cameBack)) lvErrors.SetChecked(row, true);
    }
}

void ScanPage::lvErrorsSelectionChanged() {
    const int row = lvErrors.FirstSelected();
    lblEvidence.SetCaption(row < 0 ? std::string() : EvidenceText(lvErrors.Item(row)));
}

std::string ScanPage::CopySelectedRow() const {
    const int row = lvErrors.FirstSelected();
    return row < 0 ? std::string() : RowCopyText(lvErrors.Item(row));
}

bool ScanPage::AddScanError(ScanFinding finding) {
    if (ignoreList_.Holds(finding.where)) return false;
    RepairedKeys::From(history_).Mark(finding);
    AddErrorRow(lvErrors, std::move(finding));
    return true;
}

void ScanPage::ScanErrorsThreadStart(BMDThread&, WorkerThread&) {
    btnStartScan.SetCaption("Stop &Scan");
    btnFixSelected.SetEnabled(false);
    lvScanGroups.BeginUpdate();
    for (int row = 0; row < lvScanGroups.Count(); ++row) lvScanGroups.SetSubItem(row, 0, "0");
    lvScanGroups.EndUpdate();
    lvErrors.Clear();
    lblEvidence.SetCaption("");
    // The version decides the keys of groups 3 and 7; asked here, on the window's thread.
    state_.windowsVersion.Query();
    versionClass_ = state_.windowsVersion.Class();
    channel_ = std::make_shared<ScanRunChannel>(state_.platform.ui, lvScanGroups, lvErrors, lblScanLabel,
                                                ignoreList_, handOverPolicy, RepairedKeys::From(history_));
}

void ScanPage::ScanErrorsThreadExecute(BMDThread&, WorkerThread& thread) {
    const std::shared_ptr<ScanRunChannel> channel = channel_;
    Platform& platform = state_.platform;
    std::uint64_t examined = 0;
    try {
        const int rows = channel->RowCount();
        const ScanRun run{platform.registry, platform.files,   platform.system,
                          versionClass_,     probeConcurrency, probeBudget};
        // A group runs when its row is checked at its turn.
        RunScan(
            run, *channel, thread.StopToken(),
            [&](int group) { return group < rows && channel->GroupChecked(group); }, &examined);
        channel->Finish();
    } catch (const std::exception& error) {
        channel->Fail(error.what());
    } catch (...) {
        channel->Fail("unknown error");
    }
    channel->entriesExamined = examined;
    // Rows found before a failure still appear.
    try {
        channel->Finish();
    } catch (...) {
    }
}

void ScanPage::ScanErrorsThreadTerminate(BMDThread&, WorkerThread&) {
    btnStartScan.SetCaption(kStartCaption);
    state_.MainControl.SetActivePage(*this);
    btnFixSelected.SetEnabled(true);
    const std::string error = channel_ ? channel_->Error() : std::string();
    // A failure is not reported as success; a stop asked for by the user is a normal end.
    lblScanLabel.SetCaption(error.empty() ? "Scan done !" : "Scan stopped: " + error);
    if (channel_) {
        lastRunHandOvers_ = channel_->HandOvers();
        lastRunEntries_ = channel_->entriesExamined;
    }
}

}  // namespace korvane
