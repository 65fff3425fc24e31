// The Restore History page (see HistoryPage.h): its layout and its four handlers.
#include "history/HistoryPage.h"

#include <algorithm>

#include "core/DeletionReport.h"
#include "registry/RegistryAccess.h"
#include "registry/WriteRights.h"

namespace korvane {

namespace {

const char* const kCheckAllCaption = "Ch&eck All";
const char* const kUncheckAllCaption = "Unch&eck All";

}  // namespace

HistoryPage::HistoryPage(AppState& state, UndoHistory& history)
    : Page("tabHistory"), state_(state), history_(history) {
    lvHistory.columns = {{"Name", 223}, {"Type", 200}, {"Path", ListColumn::kRestWidth}};
    lvHistory.checkBoxes = true;
    lvHistory.gridLines = true;
    lvHistory.rowSelect = true;
    gbControlPanel.SetCaption("&Control Panel ");
    btnRestore.SetCaption("&Restore");
    btnClearUndo.SetCaption("&Clear");
    btnRefresh2.SetCaption("Re&fresh");  // "&R" is Restore's
    btnCheckAll1.SetCaption(kCheckAllCaption);

    lvHistory.SetCaption("Recorded repairs");  // the name a screen reader says

    Place(lvHistory, {0, 0, 532, 372}, nullptr, Anchor::Stretch);
    Place(gbControlPanel, {0, 378, 532, 62}, nullptr, Anchor::StretchWidthBottom);
    Place(btnRestore, {10, 22, 118, 28}, &gbControlPanel);
    Place(btnClearUndo, {134, 22, 118, 28}, &gbControlPanel);
    Place(btnRefresh2, {258, 22, 118, 28}, &gbControlPanel);
    Place(btnCheckAll1, {382, 22, 118, 28}, &gbControlPanel);

    btnRestore.onClick = [this] { btnRestoreClick(); };
    btnClearUndo.onClick = [this] { btnClearUndoClick(); };
    btnRefresh2.onClick = [this] { btnRefresh2Click(); };
    btnCheckAll1.onClick = [this] { btnCheckAll1Click(); };
}

void HistoryPage::btnRefresh2Click() {
    ListUpdate update(lvHistory);
    lvHistory.Clear();
    for (HistoryEntry& entry : history_.Entries()) {
        ListItem row;
        row.caption = std::move(entry.name);
        row.subItems = {std::move(entry.type), std::move(entry.path)};
        lvHistory.Add(std::move(row));
    }
}

void HistoryPage::btnRestoreClick() {
    RegistryBackend& registry = state_.platform.registry;
    int needRights = 0;
    {
        ListUpdate update(lvHistory);
        // From the last row: removing an entry keeps the rows still to come at their entries' places.
        for (int i = lvHistory.Count() - 1; i >= 0; --i) {
            if (!lvHistory.Checked(i)) continue;
            if (i < history_.EntryCount()) {
                try {
                    history_.RestoreEntry(i);
                } catch (const RegistryError&) {
                    const std::vector<KeyName> keys = history_.EntryKeys(i);
                    if (std::none_of(keys.begin(), keys.end(), [&](const KeyName& key) {
                            return WriteRefused(registry, key.root, key.keyPath);
                        }))
                        throw;
                    ++needRights;  // not restored: its row and its entry stay
                    continue;
                }
            }
            lvHistory.Delete(i);
        }
    }
    btnRefresh2Click();
    ReportNeedsRights(state_, needRights, nouns::Entry, "could not be restored");
}

void HistoryPage::btnClearUndoClick() {
    lvHistory.Clear();
    history_.Clear();
}

void HistoryPage::btnCheckAll1Click() {
    if (lvHistory.Count() == 0) return;
    bool check = btnCheckAll1.Caption() == kCheckAllCaption;
    lvHistory.SetAllChecked(check);
    btnCheckAll1.SetCaption(check ? kUncheckAllCaption : kCheckAllCaption);
}

}  // namespace korvane
