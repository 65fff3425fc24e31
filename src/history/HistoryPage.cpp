// The Restore History page (see HistoryPage.h): its layout and its four handlers.
#include "history/HistoryPage.h"

#include <vector>

#include "undo/RegistrySnapshot.h"

namespace korvane {

namespace {

// Keeps a list's repainting suspended for a scope, also when a handler stops with an error.
class ListUpdate {
public:
    explicit ListUpdate(ListView& list) : list_(list) { list_.BeginUpdate(); }
    ~ListUpdate() { list_.EndUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

private:
    ListView& list_;
};

const char* const CheckAllCaption = "Ch&eck All";
const char* const UncheckAllCaption = "Unch&eck All";

}  // namespace

HistoryPage::HistoryPage(AppState& state) : Page("tabHistory"), state_(state) {
    lvHistory.columns = {{"Name", 223}, {"Type", 200}, {"Path", ListColumn::RestWidth}};
    lvHistory.checkBoxes = true;
    lvHistory.gridLines = true;
    lvHistory.rowSelect = true;
    gbControlPanel.SetCaption("&Control Panel ");
    btnRestore.SetCaption("&Restore");
    btnClearUndo.SetCaption("&Clear");
    btnRefresh2.SetCaption("&Refresh");
    btnCheckAll1.SetCaption(CheckAllCaption);

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
    XmlElement root = state_.Restore_XMLDocument.DocumentElement();
    if (!root) return;
    for (const XmlElement& entry : root.Children()) {
        ListItem row;
        row.caption = entry.Attribute("NAME");
        row.subItems = {entry.Attribute("TYPE"), entry.Attribute("PATH")};
        lvHistory.Add(std::move(row));
    }
}

void HistoryPage::btnRestoreClick() {
    XmlElement root = state_.Restore_XMLDocument.DocumentElement();
    {
        ListUpdate update(lvHistory);
        // From the last row: removing an entry keeps the rows still to come at their entries' places.
        for (int i = lvHistory.Count() - 1; i >= 0; --i) {
            if (!lvHistory.Checked(i)) continue;
            XmlElement entry = root ? root.Child(i) : XmlElement();
            if (entry) {
                // Every ITEM is decoded before the first is written, so that an entry with bad data
                // writes nothing at all and stays in the history.
                std::vector<RestoreStep> steps;
                for (const XmlElement& item : entry.Children()) {
                    if (item.AttributeCount() > 1)
                        steps.push_back(PrepareRestore(item.Attribute("SUBKEY"), item.Attribute("NAME"),
                                                       item.Attribute("TYPE"), item.Attribute("VALUE")));
                    else
                        steps.push_back(PrepareRestore(item.Attribute("SUBKEY"), "", "", ""));
                }
                for (const RestoreStep& step : steps) WriteRestoreStep(state_.platform.registry, step);
                root.DeleteChild(i);
            }
            lvHistory.Delete(i);
        }
    }
    btnRefresh2Click();
}

void HistoryPage::btnClearUndoClick() {
    lvHistory.Clear();
    if (XmlElement root = state_.Restore_XMLDocument.DocumentElement()) root.DeleteAllChildren();
}

void HistoryPage::btnCheckAll1Click() {
    if (lvHistory.Count() == 0) return;
    bool check = btnCheckAll1.Caption() == CheckAllCaption;
    lvHistory.SetAllChecked(check);
    btnCheckAll1.SetCaption(check ? UncheckAllCaption : CheckAllCaption);
}

}  // namespace korvane
