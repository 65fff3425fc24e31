// Builds the Uninstall Manager page: the filter box, the sorted list with its hidden key column, the
// buttons (the two actions disabled until a row is checked), the "Quiet" box and the layout; and runs
// its handlers.
#include "uninstall/UninstallPage.h"

#include <exception>

#include "core/DeletionReport.h"
#include "registry/Folders.h"
#include "uninstall/AddRemove.h"
#include "uninstall/UninstallColumns.h"
#include "uninstall/UninstallCommand.h"
#include "uninstall/UninstallCommandLine.h"
#include "uninstall/UninstallFilter.h"
#include "uninstall/UninstallSources.h"

namespace korvane {

namespace {

constexpr const char* kCheckAllCaption = "&Check All";
constexpr const char* kUncheckAllCaption = "&Uncheck All";
constexpr const char* kUninstallTitle = "Uninstall";

}  // namespace

UninstallPage::UninstallPage(AppState& state, UndoHistory& history)
    : Page("tabAddRemove"), leftovers(state, history), state_(state), history_(history) {
    SystemInfo& system = state.platform.system;
    lvAddRemove.columns = UninstallColumns(system);
    lvAddRemove.sortComparator = [&system](const std::string& a, const std::string& b) {
        return system.compareText(a, b);
    };
    lvAddRemove.sortOnHeaderClick = true;
    lblFilter.SetCaption("Filter:");
    gbControlPanel.SetCaption("&Control Panel ");
    btnUninstall.SetCaption("&Uninstall");
    btnUninstall.SetEnabled(false);
    btnDeleteEntry.SetCaption("&Delete entries");
    btnDeleteEntry.SetEnabled(false);
    btnRefresh1.SetCaption("&Refresh");
    btnCheckAlll2.SetCaption(kCheckAllCaption);
    cbQuiet.SetCaption("&Quiet");
    btnLeftovers.SetCaption("Remove &leftovers");
    btnLeftovers.SetEnabled(false);

    lvAddRemove.SetCaption("Installed programs");  // the name a screen reader says

    Place(lblFilter, {0, 4, 40, 16});
    Place(edFilter, {44, 0, 488, 22}, nullptr, Anchor::StretchWidth);
    Place(lvAddRemove, {0, 28, 532, 176}, nullptr, Anchor::Stretch);
    Place(leftovers.lblLeftovers, {0, 208, 532, 16}, nullptr, Anchor::StretchWidthBottom);
    Place(btnLeftovers, {0, 226, 104, 24}, nullptr, Anchor::Bottom);
    Place(leftovers.btnStopWaiting, {110, 226, 104, 24}, nullptr, Anchor::Bottom);
    Place(leftovers.btnRemove, {220, 226, 104, 24}, nullptr, Anchor::Bottom);
    Place(leftovers.lvLeftovers, {0, 254, 532, 116}, nullptr, Anchor::StretchWidthBottom);
    Place(gbControlPanel, {0, 374, 532, 66}, nullptr, Anchor::StretchWidthBottom);
    Place(btnUninstall, {10, 24, 100, 28}, &gbControlPanel);
    Place(btnDeleteEntry, {116, 24, 100, 28}, &gbControlPanel);
    Place(btnRefresh1, {222, 24, 100, 28}, &gbControlPanel);
    Place(btnCheckAlll2, {328, 24, 100, 28}, &gbControlPanel);
    Place(cbQuiet, {438, 28, 84, 20}, &gbControlPanel);

    // The list has no images: the scan page's image list is left alone.
    ListUninstallEntries = [this] { ReadAndShowEntries(); };
    lvAddRemove.onClick = [this] { lvAddRemoveClick(); };
    edFilter.onChange = [this] { edFilterChange(); };
    btnUninstall.onClick = [this] { btnUninstallClick(); };
    btnDeleteEntry.onClick = [this] { btnDeleteEntryClick(); };
    btnRefresh1.onClick = [this] { btnRefresh1Click(); };
    btnCheckAlll2.onClick = [this] { btnCheckAlll2Click(); };
    btnLeftovers.onClick = [this] { btnLeftoversClick(); };
    leftovers.onEntriesChanged = [this] { RefreshKeepingChecks(); };
}

void UninstallPage::ReadAndShowEntries() {
    std::vector<UninstallEntry> read;
    bool opened = false;
    try {
        opened = ReadUninstallEntries(state_.platform.registry, read);
    } catch (...) {
        entries_ = std::move(read);
        checkedKeys_.clear();
        ShowEntries();
        throw;
    }
    if (!opened) return;
    entries_ = std::move(read);
    checkedKeys_.clear();
    ShowEntries();
    StartPublisherChecks();
}

void UninstallPage::ShowEntries() {
    ListUpdate update(lvAddRemove);
    lvAddRemove.Clear();
    for (const UninstallEntry& entry : entries_) {
        if (!MatchesUninstallFilter(entry, edFilter.Text())) continue;
        ListItem row = UninstallRow(entry, state_.dateFormat);
        row.checked = checkedKeys_.contains(entry.key.Text());
        FillSignatureColumn(lvAddRemove.Add(std::move(row)));
    }
}

void UninstallPage::RememberChecks() {
    for (int i = 0; i < lvAddRemove.Count(); ++i) {
        const UninstallEntry* entry = lvAddRemove.Tag<UninstallEntry>(i);
        if (!entry) continue;
        if (lvAddRemove.Checked(i))
            checkedKeys_.insert(entry->key.Text());
        else
            checkedKeys_.erase(entry->key.Text());
    }
}

void UninstallPage::edFilterChange() {
    RememberChecks();
    ShowEntries();
    lvAddRemoveClick();
}

void UninstallPage::RefreshKeepingChecks() {
    RememberChecks();
    const std::set<std::string> checked = checkedKeys_;
    ReadAndShowEntries();
    checkedKeys_ = checked;
    ShowEntries();
    lvAddRemoveClick();
}

void UninstallPage::btnRefresh1Click() {
    ListUninstallEntries();
}

std::vector<UninstallEntry> UninstallPage::CheckedEntries() const {
    std::vector<UninstallEntry> entries;
    for (int i = 0; i < lvAddRemove.Count(); ++i)
        if (const UninstallEntry* entry = lvAddRemove.Tag<UninstallEntry>(i); entry && lvAddRemove.Checked(i))
            entries.push_back(*entry);
    return entries;
}

void UninstallPage::btnUninstallClick() {
    Platform& platform = state_.platform;
    std::vector<UninstallEntry> entries = CheckedEntries();
    for (const UninstallEntry& entry : entries) {
        const std::string line =
            UninstallCommandLine(entry, cbQuiet.Checked(), SystemFolder(platform.system));
        if (!line.empty() && !ResolveUninstallCommand(platform.files, platform.system, line)) {
            platform.dialogs.messageBox("The uninstaller of " + entry.displayName + " cannot be found:\n" +
                                            line +
                                            "\n\nNothing was started for it; what it left behind is listed "
                                            "below the programs.",
                                        kUninstallTitle, MessageIcon::Warning);
        }
    }
    leftovers.Run(std::move(entries), true, cbQuiet.Checked());
}

void UninstallPage::btnLeftoversClick() {
    leftovers.Run(CheckedEntries(), false, false);
}

void UninstallPage::btnDeleteEntryClick() {
    if (!state_.platform.dialogs.confirm("Are you sure to delete the key(s)?")) return;
    const DeletionOutcome outcome = DeleteUninstallEntries(history_, CheckedEntries());
    // The list shows what is left before the user hears what stayed (a restart closes the window).
    ListUninstallEntries();
    ReportDeletion(state_, history_.FilePath(), outcome,
                   {nouns::Entry, "no entry was deleted", "could not be deleted from the registry"});
}

void UninstallPage::btnCheckAlll2Click() {
    const bool check = btnCheckAlll2.Caption() == kCheckAllCaption;
    btnCheckAlll2.SetCaption(check ? kUncheckAllCaption : kCheckAllCaption);
    lvAddRemove.SetAllChecked(check);
    checkedKeys_.clear();  // what the filter hides is not checked along
    SetActionsEnabled(check);
}

void UninstallPage::lvAddRemoveClick() {
    for (int i = 0; i < lvAddRemove.Count(); ++i) {
        if (lvAddRemove.Checked(i)) {
            SetActionsEnabled(true);
            return;
        }
    }
    SetActionsEnabled(false);
}

void UninstallPage::SetActionsEnabled(bool enabled) {
    btnUninstall.SetEnabled(enabled);
    btnDeleteEntry.SetEnabled(enabled);
    btnLeftovers.SetEnabled(enabled);
}

}  // namespace korvane
