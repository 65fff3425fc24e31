// The uninstall run and the leftover list (see LeftoverPanel.h).
#include "uninstall/LeftoverPanel.h"

#include <any>
#include <exception>

#include "core/DeletionReport.h"
#include "uninstall/LeftoverRemoval.h"

namespace korvane {

namespace {

constexpr const char* kIdleText = "What the uninstalled programs left behind:";

struct LeftoverRow {
    std::string program;
    Leftover trace;
};

std::string EndNote(const std::string& program, UninstallRunEnd end) {
    switch (end) {
        case UninstallRunEnd::StoppedWaiting:
            return "Stopped waiting for the uninstaller of " + program +
                   "; it goes on, and its leftovers were not looked for.";
        case UninstallRunEnd::NotStarted:
            return "The uninstaller of " + program + " could not be started.";
        case UninstallRunEnd::NotFollowed:
            return "The end of the uninstaller of " + program + " could not be followed.";
        default:
            return {};
    }
}

}  // namespace

LeftoverPanel::LeftoverPanel(AppState& state, UndoHistory& history)
    : state_(state), history_(history), worker_(state.platform.ui) {
    lvLeftovers.columns = {{"Leftover", 110},
                           {"Where", ListColumn::kRestWidth},
                           {"Evidence", ListColumn::kRestWidth},
                           {"Program", 110}};
    lvLeftovers.SetCaption("Leftovers");  // the name a screen reader says
    lblLeftovers.SetCaption(kIdleText);
    btnStopWaiting.SetCaption("Stop &waiting");
    btnStopWaiting.SetEnabled(false);
    btnRemove.SetCaption("Re&move");
    btnRemove.SetEnabled(false);
    btnStopWaiting.onClick = [this] { btnStopWaitingClick(); };
    btnRemove.onClick = [this] { btnRemoveClick(); };
    lvLeftovers.onClick = [this] { lvLeftoversClick(); };

    worker_.OnStart = [this](BMDThread&, WorkerThread&) {
        lvLeftovers.Clear();
        btnRemove.SetEnabled(false);
        btnStopWaiting.SetEnabled(uninstall_);
        lblLeftovers.SetCaption(uninstall_
                                    ? "Waiting for the uninstallers and everything they started to end..."
                                    : "Looking for leftovers...");
    };
    worker_.OnExecute = [this](BMDThread&, WorkerThread& thread) {
        const auto stop = [&thread] { return thread.Terminated(); };
        for (Job& job : jobs_) {
            // Stopped before this one began: neither its uninstaller nor a scan of it.
            if (thread.Terminated()) break;
            job.begun = true;
            job.run = UninstallAndFindLeftovers(state_.platform, job.entry, uninstall_, quiet_, stop);
            if (job.run.end == UninstallRunEnd::StoppedWaiting) break;
        }
    };
    worker_.OnTerminate = [this](BMDThread&, WorkerThread&) { ShowResults(); };
}

void LeftoverPanel::Run(std::vector<UninstallEntry> entries, bool uninstall, bool quiet) {
    if (worker_.Active() || entries.empty()) return;
    jobs_.clear();
    for (UninstallEntry& entry : entries) jobs_.push_back(Job{std::move(entry), {}, false});
    uninstall_ = uninstall;
    quiet_ = quiet;
    worker_.Start();
}

void LeftoverPanel::ShowResults() {
    btnStopWaiting.SetEnabled(false);
    std::string notes;
    int count = 0;
    {
        ListUpdate update(lvLeftovers);
        for (const Job& job : jobs_) {
            const std::string note = job.begun ? EndNote(job.entry.displayName, job.run.end)
                                               : "Nothing was done for " + job.entry.displayName + ".";
            if (!note.empty()) notes += (notes.empty() ? "" : " ") + note;
            for (const Leftover& trace : job.run.leftovers) {
                ListItem row{LeftoverKindText(trace.kind),
                             {trace.Where(), trace.evidence, job.entry.displayName},
                             trace.checked};
                row.tag = LeftoverRow{job.entry.displayName, trace};
                lvLeftovers.Add(std::move(row));
                ++count;
            }
        }
    }
    lblLeftovers.SetCaption(notes.empty() ? std::string(kIdleText) + " " + std::to_string(count) + " found"
                                          : notes);
    lvLeftoversClick();
    if (onEntriesChanged) onEntriesChanged();
}

void LeftoverPanel::btnStopWaitingClick() {
    worker_.Stop();
    btnStopWaiting.SetEnabled(false);
}

void LeftoverPanel::lvLeftoversClick() {
    bool any = false;
    for (int i = 0; i < lvLeftovers.Count() && !any; ++i) any = lvLeftovers.Checked(i);
    btnRemove.SetEnabled(any && !worker_.Active());
}

void LeftoverPanel::btnRemoveClick() {
    Dialogs& dialogs = state_.platform.dialogs;
    if (!dialogs.confirm("Remove the checked leftovers? Registry entries can be brought back from Restore "
                         "History, files and folders from the Recycle Bin."))
        return;
    // One removal per program, so that each history entry names its program.
    std::vector<std::pair<std::string, std::vector<Leftover>>> byProgram;
    for (int i = 0; i < lvLeftovers.Count(); ++i) {
        const auto* row = lvLeftovers.Tag<LeftoverRow>(i);
        if (!row || !lvLeftovers.Checked(i)) continue;
        if (byProgram.empty() || byProgram.back().first != row->program)
            byProgram.push_back({row->program, {}});
        Leftover trace = row->trace;
        trace.checked = true;
        byProgram.back().second.push_back(std::move(trace));
    }
    std::vector<std::string> failed;
    try {
        for (const auto& [program, traces] : byProgram) {
            const LeftoverRemoval removal = RemoveLeftovers(history_, state_.platform.files, program, traces);
            failed.insert(failed.end(), removal.failed.begin(), removal.failed.end());
        }
    } catch (const std::exception& error) {
        dialogs.error(SaveFailureText(history_.FilePath(), "nothing more was removed", error.what()));
        return;
    }
    // The rows whose trace is gone leave the list; the others stay, still checked.
    for (int i = lvLeftovers.Count() - 1; i >= 0; --i) {
        const auto* row = lvLeftovers.Tag<LeftoverRow>(i);
        if (!row || !lvLeftovers.Checked(i)) continue;
        if (std::find(failed.begin(), failed.end(), row->trace.Where()) == failed.end())
            lvLeftovers.Delete(i);
    }
    if (!failed.empty()) {
        std::string list;
        for (const std::string& where : failed) list += "\n" + where;
        dialogs.messageBox("These leftovers could not be removed:" + list, "Uninstall", MessageIcon::Warning);
    }
    lvLeftoversClick();
    if (onEntriesChanged) onEntriesChanged();
}

}  // namespace korvane
