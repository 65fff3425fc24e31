// Batched, ordered hand-over of a scan run's findings, labels and counts to the window's thread.
#include "scan/ScanRunChannel.h"

#include "scan/ScanErrorList.h"

namespace korvane {

ScanRunChannel::ScanRunChannel(UiThread& ui, ListView& lvScanGroups, ListView& lvErrors, Label& lblScanLabel,
                               const IgnoreList& ignoreList, ScanHandOverPolicy policy, RepairedKeys repaired)
    : ui_(ui),
      lvScanGroups_(lvScanGroups),
      lvErrors_(lvErrors),
      lblScanLabel_(lblScanLabel),
      ignoreList_(ignoreList),
      repaired_(std::move(repaired)),
      policy_(policy) {}

template <class Extra>
void ScanRunChannel::HandOver(Extra&& extra) {
    ++handOvers_;
    ui_.invoke([&] {
        ApplyPending();
        extra();
    });
    nextHandOver_ = Clock::now() + policy_.interval;
}

void ScanRunChannel::ApplyPending() {
    // Taken out first: a failure half-way must not hand the same rows over twice.
    std::vector<Item> batch;
    batch.swap(pending_);
    const std::size_t findings = pendingFindings_;
    pendingFindings_ = 0;
    if (findings > 0) {
        // The ignore list is read here, on the window's thread, in the call that adds the rows.
        const IgnoreList::Snapshot ignored = ignoreList_.TakeSnapshot();
        lvErrors_.BeginUpdate();
        try {
            for (Item& item : batch) {
                const auto group = static_cast<std::size_t>(item.finding.group);
                if (item.resetCounter) {
                    counters_[group] = 0;
                } else if (!ignored.Holds(item.finding.where)) {
                    repaired_.Mark(item.finding);
                    AddErrorRow(lvErrors_, std::move(item.finding));
                    ++counters_[group];
                }
            }
        } catch (...) {
            lvErrors_.EndUpdate();
            throw;
        }
        lvErrors_.EndUpdate();
    } else {
        for (const Item& item : batch) counters_[static_cast<std::size_t>(item.finding.group)] = 0;
    }
    if (labelPending_) {
        lblScanLabel_.SetCaption(label_);
        labelPending_ = false;
    }
}

int ScanRunChannel::RowCount() {
    int rows = 0;
    HandOver([&] { rows = lvScanGroups_.Count(); });
    return rows;
}

bool ScanRunChannel::GroupChecked(int row) {
    bool checked = false;
    // Read when the worker reaches the row, so the user can still change groups not yet reached.
    HandOver([&] { checked = row < lvScanGroups_.Count() && lvScanGroups_.Checked(row); });
    return checked;
}

void ScanRunChannel::Finish() {
    if (!pending_.empty() || labelPending_) HandOver([] {});
}

void ScanRunChannel::BeginGroup(int group) {
    Item item;
    item.resetCounter = true;
    item.finding.group = group;
    pending_.push_back(std::move(item));
}

bool ScanRunChannel::LabelDue() {
    return policy_.interval.count() == 0 || Clock::now() >= nextHandOver_;
}

void ScanRunChannel::SetLabel(std::string text) {
    label_ = std::move(text);
    labelPending_ = true;
    HandOver([] {});
}

void ScanRunChannel::AddScanError(ScanFinding finding) {
    pending_.push_back(Item{false, std::move(finding)});
    ++pendingFindings_;
    if (pendingFindings_ >= policy_.batchSize || LabelDue()) HandOver([] {});
}

void ScanRunChannel::WriteCount(int group) {
    HandOver([&] {
        if (group < lvScanGroups_.Count())
            lvScanGroups_.SetSubItem(group, 0, std::to_string(counters_[static_cast<std::size_t>(group)]));
    });
}

void ScanRunChannel::Fail(const std::string& text) {
    std::lock_guard<std::mutex> hold(errorLock_);
    error_ = text;
}

std::string ScanRunChannel::Error() const {
    std::lock_guard<std::mutex> hold(errorLock_);
    return error_;
}

}  // namespace korvane
