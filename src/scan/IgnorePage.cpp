// The Ignore List page (see IgnorePage.h): layout, the list mirroring the ignore list, and the handlers
// that change it. Every change is saved at once; a failed save raises to the handler's caller (the
// error box). The change stays in memory; a removal's rows are rebuilt so rows and elements stay paired.
#include "scan/IgnorePage.h"

#include "scan/ScanErrorList.h"

namespace korvane {

IgnorePage::IgnorePage(IgnoreList& ignoreList) : Page("tabIgnoreList"), ignoreList_(ignoreList) {
    lvIgnore.columns = {{"Root", 130}, {"Key Name", 280}, {"Value", 90}};
    lvIgnore.checkBoxes = true;
    lvIgnore.gridLines = false;
    lvIgnore.rowSelect = true;
    gbControlPanel.SetCaption("&Control Panel");
    gbRoot.SetCaption("Root");
    gbKeyName.SetCaption("Key Name");
    gbValue.SetCaption("Value");
    btnAdd.SetCaption("Add            ");
    btnRemove.SetCaption("Remove    ");
    btnRefresh6.SetCaption("Refresh");
    btnCheckall2.SetCaption("&Check all");
    btnUncheckall.SetCaption("&Uncheck all");

    lvIgnore.SetCaption("Ignored entries");  // the name a screen reader says

    Place(lvIgnore, {0, 0, 532, 318}, nullptr, Anchor::Stretch);
    Place(gbControlPanel, {0, 324, 532, 116}, nullptr, Anchor::StretchWidthBottom);
    Place(gbRoot, {8, 16, 130, 46}, &gbControlPanel);
    Place(edRoot, {8, 17, 114, 21}, &gbRoot);
    Place(gbKeyName, {144, 16, 280, 46}, &gbControlPanel);
    Place(edKeyName, {8, 17, 264, 21}, &gbKeyName);
    Place(gbValue, {430, 16, 94, 46}, &gbControlPanel);
    Place(edValue, {8, 17, 78, 21}, &gbValue);
    Place(btnAdd, {8, 74, 96, 28}, &gbControlPanel);
    Place(btnRemove, {111, 74, 96, 28}, &gbControlPanel);
    Place(btnRefresh6, {214, 74, 96, 28}, &gbControlPanel);
    Place(btnCheckall2, {317, 74, 100, 28}, &gbControlPanel);
    Place(btnUncheckall, {424, 74, 100, 28}, &gbControlPanel);

    btnAdd.onClick = [this] { btnAddClick(); };
    btnRemove.onClick = [this] { btnRemoveClick(); };
    btnRefresh6.onClick = [this] { btnRefresh6Click(); };
    btnCheckall2.onClick = [this] { btnCheckall2Click(); };
    btnUncheckall.onClick = [this] { btnUncheckallClick(); };
}

void IgnorePage::FillFromDocument() {
    ListUpdate update(lvIgnore);
    lvIgnore.Clear();
    for (IgnoreEntry& entry : ignoreList_.Entries()) {
        ListItem row;
        row.caption = std::move(entry.root);
        row.subItems = {std::move(entry.key), std::move(entry.value)};
        lvIgnore.Add(std::move(row));
    }
}

void IgnorePage::btnRefresh6Click() {
    FillFromDocument();
}

void IgnorePage::btnAddClick() {
    IgnoreEntry entry{edRoot.Text(), edKeyName.Text(), edValue.Text()};
    if (entry.root.empty() || entry.key.empty() || entry.value.empty()) return;
    ignoreList_.Add(entry);
    ignoreList_.Save();
    FillFromDocument();
}

void IgnorePage::btnRemoveClick() {
    if (lvIgnore.Count() == 0) return;
    // From the last row: removing an entry keeps the rows still to come at their entries.
    for (int i = lvIgnore.Count() - 1; i >= 0; --i)
        if (lvIgnore.Checked(i)) ignoreList_.Remove(i);
    try {
        ignoreList_.Save();
    } catch (...) {
        // The entries are already out of the list: the rows must follow, or a second Remove would
        // take the entries that moved up into the removed rows' places.
        FillFromDocument();
        throw;
    }
    FillFromDocument();
}

void IgnorePage::btnCheckall2Click() {
    lvIgnore.SetAllChecked(true);
}

void IgnorePage::btnUncheckallClick() {
    lvIgnore.SetAllChecked(false);
}

void IgnorePage::btnAdd2IgnoreClick(ListView& lvErrors) {
    ListUpdate update(lvErrors);
    for (int i = lvErrors.Count() - 1; i >= 0; --i) {
        if (!lvErrors.Checked(i)) continue;
        const KeyName* where = FindingOf(lvErrors.Item(i));
        // A row no finding made names nothing the scan could file again.
        if (where == nullptr) continue;
        const KeyName name = *where;
        lvErrors.Delete(i);
        ignoreList_.AddFinding(name);
    }
    ignoreList_.Save();
    FillFromDocument();
}

}  // namespace korvane
