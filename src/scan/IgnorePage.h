// The Ignore List page: registry entries the scan never reports again, kept in ignore.xml in the
// process's current folder and saved after every change.
#pragma once

#include <string>

#include "core/AppState.h"
#include "controls/Button.h"
#include "controls/EditBox.h"
#include "controls/ListView.h"
#include "controls/Page.h"

namespace korvane {

class IgnorePage : public Page {
public:
    explicit IgnorePage(AppState& state);

    ListView lvIgnore{"lvIgnore"};
    GroupBox gbControlPanel{"gbControlPanel"};
    GroupBox gbRoot{"gbRoot"};
    GroupBox gbKeyName{"gbKeyName"};
    GroupBox gbValue{"gbValue"};
    EditBox edRoot{"edRoot"};
    EditBox edKeyName{"edKeyName"};
    EditBox edValue{"edValue"};
    Button btnAdd{"btnAdd"};
    Button btnRemove{"btnRemove"};
    Button btnRefresh6{"btnRefresh6"};
    Button btnCheckall2{"btnCheckall2"};
    Button btnUncheckall{"btnUncheckall"};

    // One unchecked row per child of the ignore document's root, in document order (start-up and
    // "Refresh").
    void FillFromDocument();
    void btnAddClick();
    void btnRemoveClick();
    void btnRefresh6Click();
    void btnCheckall2Click();
    void btnUncheckallClick();
    // The scan page's "&Add to Ignore List": moves the checked findings of `lvErrors` here.
    void btnAdd2IgnoreClick(ListView& lvErrors);

    // Whether the ignore list holds this Key Name exactly (what AddScanError asks).
    bool Holds(const std::string& keyName) const;

private:
    // Writes the whole document to "ignore.xml" in the current folder; raises XmlError on failure.
    void Save();

    AppState& state_;
};

}  // namespace korvane
