// The IE Plugins page: the five kind check boxes, the sorted list of add-ons and the two buttons.
// The page owns the controls, the layout and the handlers; listing lives in Toolbar.h, removal in
// PluginRemoval.h. The main window presses "Scan Now" on every visit of the page.
#pragma once

#include "browser/Toolbar.h"
#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ListView.h"
#include "controls/Page.h"
#include "core/AppState.h"
#include "undo/UndoHistory.h"

namespace korvane {

class PluginsPage : public Page {
public:
    // The page adds the plug-in list's base keys to the history's container keys.
    PluginsPage(AppState& state, UndoHistory& history);

    GroupBox Display_Toolbar{"Display_Toolbar"};
    CheckBox DisplayToolbar_CheckBox{"DisplayToolbar_CheckBox"};
    CheckBox DisplayBHO_CheckBox{"DisplayBHO_CheckBox"};
    CheckBox DisplayExpBar_CheckBox{"DisplayExpBar_CheckBox"};
    CheckBox DisplayMenuExt_CheckBox{"DisplayMenuExt_CheckBox"};
    CheckBox DisplayDownHandle_CheckBox{"DisplayDownHandle_CheckBox"};
    ListView lvBHO{"lvBHO"};
    GroupBox Controls_GroupBox{"Controls_GroupBox"};
    Button ScanToolbar_BitBtn{"ScanToolbar_BitBtn"};
    Button Del_SpeedButton{"Del_SpeedButton"};

    // Rebuilds lvBHO with the kinds whose boxes are ticked; also the click handler of the five boxes.
    void ScanToolbar_BitBtnClick();
    // Removes the checked add-ons (recorded in the undo history first), then rebuilds the list.
    void Del_SpeedButtonClick();

private:
    PluginKinds ChosenKinds() const;

    AppState& state_;
    UndoHistory& history_;
};

}  // namespace korvane
