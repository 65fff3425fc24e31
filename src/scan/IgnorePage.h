// The Ignore List page: registry entries the scan never reports again. The list and its file belong
// to IgnoreList; every change made here is saved at once.
#pragma once

#include <string>

#include "controls/Button.h"
#include "controls/EditBox.h"
#include "controls/ListView.h"
#include "controls/Page.h"
#include "scan/IgnoreList.h"

namespace korvane {

class IgnorePage : public Page {
public:
    explicit IgnorePage(IgnoreList& ignoreList);

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

    // One unchecked row per entry of the ignore list, in its order (start-up and "Refresh").
    void FillFromDocument();
    void btnAddClick();
    void btnRemoveClick();
    void btnRefresh6Click();
    void btnCheckall2Click();
    void btnUncheckallClick();
    // The scan page's "&Add to Ignore List": moves the checked findings of `lvErrors` here.
    void btnAdd2IgnoreClick(ListView& lvErrors);

private:
    IgnoreList& ignoreList_;
};

}  // namespace korvane
