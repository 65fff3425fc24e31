// The Startup Programs page's Publisher column and its two switches: after a listing each row learns
// its program, the signatures are checked on workers, each answer fills the rows of its program as it
// comes, and rows signed by Microsoft leave the list while a switch says so (see StartupPage.h).
#include <algorithm>

#include "core/UserSettings.h"
#include "platform/AsciiCase.h"
#include "registry/Environment.h"
#include "registry/Folders.h"
#include "registry/GuessPath.h"
#include "startup/StartupKinds.h"
#include "startup/StartupPage.h"
#include "startup/StartupProgram.h"

namespace korvane {

namespace {

// The program a row runs: a Startup folder's file is itself what runs; every other row's command is
// resolved as a target.
std::string ProgramOfRow(const ListItem& row, const Environment& environment, const PathContext& context) {
    const StartupEntry* entry = TagOf<StartupEntry>(row);
    if (!entry) return {};
    switch (entry->kind) {
        case StartupKind::FolderFile:
            return entry->command;
        case StartupKind::Task:
            return StartupProgramPath("\"" + entry->task.program + "\"", environment, context);
        default:
            return StartupProgramPath(entry->command, environment, context);
    }
}

}  // namespace

void StartupPage::FindPrograms() {
    Platform& platform = state_.platform;
    const Environment environment = ReadEnvironment(platform.registry, platform.system, RegistryView::Bits64);
    const PathContext context = MakePathContext(platform);
    ListUpdate update(lvStartup);
    for (int i = 0; i < lvStartup.Count(); ++i) {
        lvStartup.SetData(i, ProgramOfRow(lvStartup.Item(i), environment, context));
        lvStartup.SetSubItem(i, kPublisherColumn, "");
    }
}

void StartupPage::StartPublisherChecks() {
    if (!checkPublishersAfterListing) return;
    std::vector<std::string> programs;
    programs.reserve(static_cast<size_t>(lvStartup.Count()));
    for (int i = 0; i < lvStartup.Count(); ++i) programs.push_back(lvStartup.Item(i).data);
    checks_.Start(std::move(programs), [this](const std::string& program, const SignatureAnswer& answer) {
        ShowAnswer(program, answer);
    });
}

void StartupPage::CheckPublishersNow() {
    checks_.Stop();
    std::vector<std::string> programs;
    for (int i = 0; i < lvStartup.Count(); ++i) programs.push_back(lvStartup.Item(i).data);
    for (const std::string& program : programs) {
        if (program.empty() || answers_.contains(program)) continue;
        ShowAnswer(program, state_.signatureCache.Check(program));
    }
}

void StartupPage::ShowAnswer(const std::string& program, const SignatureAnswer& answer) {
    answers_[program] = answer;
    const std::string text = PublisherText(answer);
    for (int i = lvStartup.Count() - 1; i >= 0; --i) {
        if (lvStartup.Item(i).data != program) continue;
        lvStartup.SetSubItem(i, kPublisherColumn, text);
        if (ShouldHide(lvStartup.Item(i))) HideRow(i);
    }
    lvStartupSelectionChanged();
}

bool StartupPage::ShouldHide(const ListItem& row) const {
    const auto answer = answers_.find(row.data);
    if (answer == answers_.end() || !IsVerifiedMicrosoft(answer->second)) return false;
    if (cbHideMicrosoft.Checked()) return true;
    // Windows' own services: in the Windows folder and signed by Microsoft.
    const StartupEntry* entry = TagOf<StartupEntry>(row);
    const std::string windows = WindowsFolder(state_.platform.system);
    return !cbShowWindows.Checked() && entry && entry->kind == StartupKind::Service && !windows.empty() &&
           StartsWithNoCase(row.data, windows);
}

void StartupPage::HideRow(int row) {
    const bool state =
        row < static_cast<int>(StartupStates.size()) && StartupStates[static_cast<size_t>(row)];
    hidden_.push_back({lvStartup.Item(row), state});
    lvStartup.Delete(row);
    if (row < static_cast<int>(StartupStates.size())) StartupStates.erase(StartupStates.begin() + row);
}

void StartupPage::UpdateHiddenRows() {
    ListUpdate update(lvStartup);
    std::vector<HiddenRow> stay;
    std::vector<HiddenRow> back;
    for (HiddenRow& hidden : hidden_) (ShouldHide(hidden.item) ? stay : back).push_back(std::move(hidden));
    hidden_ = std::move(stay);
    for (int i = lvStartup.Count() - 1; i >= 0; --i)
        if (ShouldHide(lvStartup.Item(i))) HideRow(i);
    for (HiddenRow& row : back) {
        const int at = lvStartup.Add(std::move(row.item));
        StartupStates.insert(StartupStates.begin() + std::min<std::ptrdiff_t>(at, std::ssize(StartupStates)),
                             row.state);
    }
    lvStartupSelectionChanged();
}

void StartupPage::cbHideMicrosoftClick() {
    WriteSettingFlag(state_.platform.registry, kHideMicrosoftSetting, cbHideMicrosoft.Checked());
    UpdateHiddenRows();
}

void StartupPage::cbShowWindowsClick() {
    WriteSettingFlag(state_.platform.registry, kShowWindowsSetting, cbShowWindows.Checked());
    UpdateHiddenRows();
}

}  // namespace korvane
