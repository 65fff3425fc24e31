// The Uninstall Manager's Verified Publisher column: after a reading, the signatures of each entry's
// program (named by its DisplayIcon) and of its uninstaller are checked on workers; each answer fills
// the rows that name its file as it comes (see UninstallPage.h).
#include "platform/AsciiCase.h"
#include "registry/GuessPath.h"
#include "uninstall/UninstallColumns.h"
#include "uninstall/UninstallCommand.h"
#include "uninstall/UninstallPage.h"

namespace korvane {

namespace {

// The program a DisplayIcon names ("C:\App\app.exe,0"); empty for an icon file, which signs nothing.
std::string IconProgram(const std::string& displayIcon, const PathContext& context) {
    if (displayIcon.empty()) return {};
    const std::string path = GuessPath(displayIcon, context);
    return EndsWithNoCase(path, ".exe") || EndsWithNoCase(path, ".dll") ? path : std::string();
}

}  // namespace

void UninstallPage::StartPublisherChecks() {
    if (!checkPublishersAfterReading) return;
    Platform& platform = state_.platform;
    const PathContext context = MakePathContext(platform);
    programs_.clear();
    answers_.clear();
    std::vector<std::string> paths;
    for (const UninstallEntry& entry : entries_) {
        EntryPrograms programs;
        programs.program = IconProgram(entry.displayIcon, context);
        if (!entry.uninstallString.empty()) {
            const auto command =
                ResolveUninstallCommand(platform.files, platform.system, entry.uninstallString);
            // An uninstaller that is not there is checked too: the answer says so.
            programs.uninstaller = command ? command->program : GuessPath(entry.uninstallString, context);
        }
        paths.push_back(programs.program);
        paths.push_back(programs.uninstaller);
        programs_[entry.key.Text()] = std::move(programs);
    }
    checks_.Start(std::move(paths), [this](const std::string& path, const SignatureAnswer& answer) {
        ShowPublisherAnswer(path, answer);
    });
}

void UninstallPage::ShowPublisherAnswer(const std::string& path, const SignatureAnswer& answer) {
    answers_[path] = answer;
    for (int i = 0; i < lvAddRemove.Count(); ++i) {
        const UninstallEntry* entry = lvAddRemove.Tag<UninstallEntry>(i);
        const auto programs = entry ? programs_.find(entry->key.Text()) : programs_.end();
        if (programs != programs_.end() &&
            (programs->second.program == path || programs->second.uninstaller == path))
            FillSignatureColumn(i);
    }
}

void UninstallPage::FillSignatureColumn(int row) {
    const UninstallEntry* entry = lvAddRemove.Tag<UninstallEntry>(row);
    if (!entry) return;
    const auto programs = programs_.find(entry->key.Text());
    if (programs == programs_.end()) return;
    const auto program = answers_.find(programs->second.program);
    const auto uninstaller = answers_.find(programs->second.uninstaller);
    // The program's answer leads; until it is there the uninstaller's would read as the program's.
    if (!programs->second.program.empty() && program == answers_.end()) return;
    std::string text;
    if (program != answers_.end()) text = PublisherText(program->second);
    if (uninstaller != answers_.end()) {
        const std::string of = PublisherText(uninstaller->second);
        // The uninstaller is named only when it tells something the program's answer does not.
        if (text.empty())
            text = of;
        else if (of != text)
            text += "; uninstaller: " + of;
    }
    if (!text.empty()) lvAddRemove.SetSubItem(row, kSignatureColumn, text);
}

}  // namespace korvane
