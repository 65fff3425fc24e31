// The IE Plugins page: the five kind check boxes, the sorted list of add-ons and the two buttons.
// This file owns the page's controls and layout; enumeration and removal are added with their
// handlers (a click on a kind check box already presses "Scan Now").
#pragma once

#include "app/AppState.h"
#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ListView.h"
#include "controls/Page.h"

namespace korvane {

class PluginsPage : public Page {
public:
    explicit PluginsPage(AppState& state);

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

private:
    AppState& state_;
};

}  // namespace korvane
