// Builds the IE Plugins page: the kind check boxes (all checked), the sorted multi-selection list,
// the buttons and the layout; and runs its handlers.
#include "browser/PluginsPage.h"

#include "browser/PluginRemoval.h"

namespace korvane {

PluginsPage::PluginsPage(AppState& state, UndoHistory& history)
    : Page("tabToolbar"), state_(state), history_(history) {
    Display_Toolbar.SetCaption("Display");
    struct Kind {
        CheckBox& box;
        const char* caption;
        Rect bounds;
    };
    Kind kinds[] = {
        {DisplayToolbar_CheckBox, "Toolbar", {8, 18, 64, 18}},
        {DisplayBHO_CheckBox, "Browser Extensions", {76, 18, 122, 18}},
        {DisplayExpBar_CheckBox, "Explorer Bars", {200, 18, 92, 18}},
        {DisplayMenuExt_CheckBox, "Menu Extensions", {294, 18, 106, 18}},
        {DisplayDownHandle_CheckBox, "Download Handler", {404, 18, 120, 18}},
    };
    Place(Display_Toolbar, {0, 0, 532, 44});
    for (Kind& kind : kinds) {
        kind.box.SetCaption(kind.caption);
        kind.box.SetChecked(true);
        // Every kind box rebuilds the list exactly as "Scan Now" does.
        kind.box.onClick = [this] { ScanToolbar_BitBtn.Click(); };
        Place(kind.box, kind.bounds, &Display_Toolbar);
    }

    lvBHO.columns = {{"Name", ListColumn::kRestWidth},
                     {"Type", 80},
                     {"Registry Entries", 180},
                     {"Path", ListColumn::kRestWidth}};
    lvBHO.multiSelect = true;
    SystemInfo& system = state.platform.system;
    lvBHO.sortComparator = [&system](const std::string& a, const std::string& b) {
        return system.compareText(a, b);
    };
    Controls_GroupBox.SetCaption("&Control Panel ");
    ScanToolbar_BitBtn.SetCaption("Scan Now");
    Del_SpeedButton.SetCaption("&Delete");

    lvBHO.SetCaption("Browser plug-ins");  // the name a screen reader says

    Place(lvBHO, {0, 48, 532, 322}, nullptr, Anchor::Stretch);
    Place(Controls_GroupBox, {0, 374, 532, 66}, nullptr, Anchor::StretchWidthBottom);
    Place(ScanToolbar_BitBtn, {10, 24, 100, 28}, &Controls_GroupBox);
    Place(Del_SpeedButton, {116, 24, 100, 28}, &Controls_GroupBox);

    ScanToolbar_BitBtn.onClick = [this] { ScanToolbar_BitBtnClick(); };
    Del_SpeedButton.onClick = [this] { Del_SpeedButtonClick(); };
}

PluginKinds PluginsPage::ChosenKinds() const {
    PluginKinds kinds;
    kinds.toolbars = DisplayToolbar_CheckBox.Checked();
    kinds.browserExtensions = DisplayBHO_CheckBox.Checked();
    kinds.downloadHandler = DisplayDownHandle_CheckBox.Checked();
    kinds.menuExtensions = DisplayMenuExt_CheckBox.Checked();
    kinds.explorerBars = DisplayExpBar_CheckBox.Checked();
    return kinds;
}

void PluginsPage::ScanToolbar_BitBtnClick() {
    BuildPluginList(state_.platform.registry, lvBHO, ChosenKinds());
}

void PluginsPage::Del_SpeedButtonClick() {
    RemoveCheckedPlugins(state_, history_, lvBHO);
    BuildPluginList(state_.platform.registry, lvBHO, ChosenKinds());
}

}  // namespace korvane
