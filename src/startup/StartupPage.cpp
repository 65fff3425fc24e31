// The Startup Programs page: its layout and its handlers (see StartupPage.h).
#include "startup/StartupPage.h"

#include <any>

#include "core/DeletionReport.h"
#include "core/UserSettings.h"
#include "registry/Environment.h"
#include "registry/WindowsVersion.h"
#include "startup/Startup.h"
#include "startup/StartupApproved.h"
#include "startup/StartupFolders.h"
#include "startup/StartupKinds.h"
#include "startup/StartupRows.h"
#include "startup/StartupTaskChange.h"

namespace korvane {

namespace {

constexpr const char* kTitle = "Korvane";

int CurrentVersionClass(WindowsVersion& version) {
    version.Query();
    return version.Class();
}

std::string EntryLabel(const std::string& name, const std::string& location) {
    return name.empty() ? "The startup entry without a name in " + location
                        : "The startup entry '" + name + "' in " + location;
}

// Why a move was refused, for the user; empty for the outcomes that need no word. `target` is where
// the entry was to go.
std::string RefusalText(MoveOutcome outcome, const std::string& name, const std::string& location,
                        const std::string& target) {
    const std::string entry = EntryLabel(name, location);
    switch (outcome) {
        case MoveOutcome::RefusedTargetTaken:
            return entry + " was not moved: " + target + " already holds a startup entry '" + name +
                   "', which the move would overwrite. Remove or rename one of the two entries first.";
        case MoveOutcome::RefusedName:
            return entry +
                   " was not moved: a disabled entry is kept in a registry key named after it, and this "
                   "name would address another key (" +
                   std::string(kMsconfigStartupKey) + " or one of its records).";
        case MoveOutcome::RefusedUnknownRoot:
            return entry +
                   " was not moved: its location does not begin with a registry root (HKLM, HKCU, "
                   "HKU, HKCC, HKCR or HKDD), so there is no key to move it to.";
        case MoveOutcome::RefusedNoKeyPath:
            return entry + " was not moved: its location names no key below the registry root.";
        case MoveOutcome::Moved:
        case MoveOutcome::NoScheme:
        case MoveOutcome::TargetNotOpened:
        case MoveOutcome::NeedsAdministrator:  // counted and told together
            break;
    }
    return {};
}

}  // namespace

StartupPage::StartupPage(AppState& state, UndoHistory& history)
    : Page("tabStartup"), state_(state), history_(history), checks_(state.platform.ui, state.signatureCache) {
    lvStartup.columns = {
        {"Startup Items", 120}, {"Command", 160}, {"Location", 130}, {"Publisher", ListColumn::kRestWidth}};
    lvStartup.sortOnHeaderClick = true;
    SystemInfo& system = state.platform.system;
    lvStartup.textComparator = [&system](const std::string& a, const std::string& b) {
        return system.compareText(a, b);
    };
    lvStartup.onReordered = [this](const std::vector<int>& order) { FollowReorderedRows(order); };
    gbControlPanel.SetCaption("&Control Panel ");
    btnRefresh.SetCaption("&Refresh");
    btnApply.SetCaption("&Apply");
    btnEnable.SetCaption("&Check All");
    btnDisable.SetCaption("&UnCheck All");
    btnRemove.SetCaption("Re&move");
    btnRemove.SetEnabled(false);
    cbHideMicrosoft.SetCaption("&Hide verified Microsoft entries");
    cbShowWindows.SetCaption("Show &Windows entries");
    cbHideMicrosoft.SetChecked(ReadSettingFlag(state.platform.registry, kHideMicrosoftSetting, false));
    cbShowWindows.SetChecked(ReadSettingFlag(state.platform.registry, kShowWindowsSetting, false));

    lvStartup.SetCaption("Startup programs");  // the name a screen reader says

    Place(lvStartup, {0, 0, 532, 346}, nullptr, Anchor::Stretch);
    Place(cbHideMicrosoft, {0, 350, 250, 20}, nullptr, Anchor::Bottom);
    Place(cbShowWindows, {260, 350, 200, 20}, nullptr, Anchor::Bottom);
    Place(gbControlPanel, {0, 374, 532, 66}, nullptr, Anchor::StretchWidthBottom);
    Place(btnRefresh, {10, 24, 100, 28}, &gbControlPanel);
    Place(btnApply, {114, 24, 100, 28}, &gbControlPanel);
    Place(btnEnable, {218, 24, 100, 28}, &gbControlPanel);
    Place(btnDisable, {322, 24, 100, 28}, &gbControlPanel);
    Place(btnRemove, {426, 24, 96, 28}, &gbControlPanel);

    ListStartupEntries = [this] { ListStartupSources(); };
    lvStartup.onClick = [this] { lvStartupClick(); };
    btnRefresh.onClick = [this] { btnRefreshClick(); };
    btnApply.onClick = [this] { btnApplyClick(); };
    btnEnable.onClick = [this] { btnEnableClick(); };
    btnDisable.onClick = [this] { btnDisableClick(); };
    btnRemove.onClick = [this] { btnRemoveClick(); };
    cbHideMicrosoft.onClick = [this] { cbHideMicrosoftClick(); };
    cbShowWindows.onClick = [this] { cbShowWindowsClick(); };
    lvStartup.onSelectionChanged = [this] { lvStartupSelectionChanged(); };
}

void StartupPage::toolStartupClick() {
    state_.MainControl.SetActivePage(*this);
    if (lvStartup.Count() == 0) ListStartupSources();
}

void StartupPage::ListStartupSources() {
    checks_.Stop();
    answers_.clear();
    hidden_.clear();
    // StartupStates covers exactly the rows shown, also when a bad value stops the listing.
    try {
        ReadStartupSources();
    } catch (...) {
        RememberStartupStates();
        FindPrograms();
        StartPublisherChecks();
        throw;
    }
    RememberStartupStates();
    FindPrograms();
    StartPublisherChecks();
}

void StartupPage::ReadStartupSources() {
    RegistryBackend& registry = state_.platform.registry;
    const Environment environment = ReadEnvironment(registry, state_.platform.system, RegistryView::Bits64);
    ListUpdate update(lvStartup);
    const int versionClass = CurrentVersionClass(state_.windowsVersion);
    const bool useApproved = KeepsStartupApproved(state_.windowsVersion.Remembered());
    const ApprovedStates states = useApproved ? ApprovedStates::Read : ApprovedStates::Ignore;
    for (const StartupSource& source : StartupSources(versionClass)) {
        switch (source.kind) {
            case StartupSourceKind::RunValues:
            case StartupSourceKind::ApprovedRunValues:
            case StartupSourceKind::RunOnceValues:
                ListRunKey(registry, lvStartup, source, states);
                break;
            case StartupSourceKind::MsconfigRecords:
                ListMsconfigEntries(registry, lvStartup, source.root, source.keyPath);
                break;
            case StartupSourceKind::FolderFiles:
                ListStartupFolder(registry, state_.platform.files, environment, lvStartup, source.root,
                                  source.folderValue, useApproved);
                break;
            case StartupSourceKind::Tasks:
                ListStartupTasks(state_.platform.tasks, lvStartup);
                break;
            case StartupSourceKind::Services:
                ListAutoStartServices(state_.platform.services, lvStartup);
                break;
        }
    }
}

void StartupPage::RememberStartupStates() {
    StartupStates.assign(lvStartup.Count(), false);
    for (int i = 0; i < lvStartup.Count(); ++i) StartupStates[i] = lvStartup.Checked(i);
}

void StartupPage::FollowReorderedRows(const std::vector<int>& order) {
    std::vector<bool> states(order.size(), false);
    for (size_t i = 0; i < order.size(); ++i) {
        const auto before = static_cast<size_t>(order[i]);
        states[i] = before < StartupStates.size() && StartupStates[before];
    }
    StartupStates = std::move(states);
}

void StartupPage::lvStartupClick() {
    for (int i = 0; i < lvStartup.Count(); ++i) {
        const bool listed = i < static_cast<int>(StartupStates.size()) && StartupStates[i];
        if (lvStartup.Checked(i) != listed) {
            btnApply.SetEnabled(true);
            return;
        }
    }
    btnApply.SetEnabled(false);
}

void StartupPage::SetAllStartupChecks(bool checked) {
    lvStartup.SetAllChecked(checked);
}

void StartupPage::btnRefreshClick() {
    lvStartup.Clear();
    toolStartupClick();
}

void StartupPage::btnApplyClick() {
    const int versionClass = CurrentVersionClass(state_.windowsVersion);
    const bool useApproved = KeepsStartupApproved(state_.windowsVersion.Remembered());
    StartupStates.resize(lvStartup.Count(), false);
    int moved = 0;
    int needRights = 0;
    for (int i = 0; i < lvStartup.Count(); ++i) {
        const bool enable = lvStartup.Checked(i);
        if (enable == StartupStates[i]) continue;
        const StartupEntry* tagged = lvStartup.Tag<StartupEntry>(i);
        if (!tagged) continue;
        const StartupEntry entry = *tagged;
        if (ChangedOtherKind(i, entry, enable, moved, needRights)) continue;
        // Windows 8 and later switch an entry where it is (StartupApproved); the move is the older way.
        if (ChangedInPlace(entry, useApproved, enable)) {
            ++moved;
            StartupStates[i] = enable;
            continue;
        }
        const std::string& name = entry.name;
        const std::string location = entry.RegistryLocation();
        const MoveOutcome outcome = MoveStartupEntry(state_.platform.registry, entry, versionClass, enable);
        if (outcome == MoveOutcome::NeedsAdministrator) {
            // Nothing changed: the row shows again what the registry holds.
            ++needRights;
            lvStartup.SetChecked(i, StartupStates[i]);
            continue;
        }
        if (outcome == MoveOutcome::Moved) ++moved;
        const std::string refusal =
            RefusalText(outcome, name, location, MoveTargetLocation(entry, versionClass, enable));
        if (!refusal.empty()) state_.platform.dialogs.messageBox(refusal, kTitle, MessageIcon::Warning);
        if (outcome == MoveOutcome::Moved && enable && useApproved)
            EnableApprovedRecordOf(state_.platform.registry, entry);
        StartupStates[i] = enable;
    }
    btnApply.SetEnabled(false);
    if (moved > 0 || needRights == 0)
        state_.platform.dialogs.messageBox("You must restart the computer to apply the changes.", kTitle,
                                           MessageIcon::Information);
    ReportNeedsRights(state_, needRights, nouns::StartupEntry, "could not be changed");
    btnRefresh.Click();
}

bool StartupPage::ChangedInPlace(const StartupEntry& entry, bool useApproved, bool enable) {
    const InPlaceOutcome outcome = ChangeInPlace(state_.platform.registry, entry, useApproved, enable,
                                                 state_.platform.system.systemTimeAsFileTime());
    if (outcome == InPlaceOutcome::RefusedBeforeWindows8) {
        state_.platform.dialogs.messageBox(
            EntryLabel(entry.name, entry.keyPath) +
                " was not changed: a file in a Startup folder can be disabled and enabled only on Windows 8 "
                "and later. Move the file out of the folder to keep it from starting.",
            kTitle, MessageIcon::Warning);
    }
    return outcome != InPlaceOutcome::NotInPlace;
}

}  // namespace korvane
