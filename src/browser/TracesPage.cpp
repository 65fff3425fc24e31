// Builds the IE Traces Cleaning page: the seven trace actions with their initial check marks, the
// file list, the buttons and the layout; and runs its handlers.
#include "browser/TracesPage.h"

#include "browser/IE.h"
#include "platform/PathText.h"

namespace korvane {

namespace {

struct IeAction {
    const char* action;
    const char* restartIe;
    bool checked;
    const char* description;
};

constexpr IeAction kIeActions[] = {
    {"Clear the Internet Explorer Typed Address History", "Yes", false,
     "Internet Explorer caches any URLs that are typed into the address bar. This may become a privacy "
     "issue on a shared computer, or a nuisance if there is a particular URL you want to remove without "
     "clearing the whole history."},
    {"Reverse Auto Complete Mode", "Yes", false,
     "This setting controls whether the automatic text completion (AutoComplete) feature of Windows "
     "Explorer appends the suggested text to the words as you are typing as well as showing a drop-down "
     "list of available values."},
    {"Cache", "No", true, "Cleanup cache file on your system"},
    {"Cookies", "No", false, "Manage cookies on your system"},
    {"Downloaded files", "No", true, "Cleanup downloaded files when you use the Internet Explorer"},
    {"Favorites list", "Yes", false, "Favourites list"},
    {"History of visited URLs", "Yes", true, "History of Visited URLs"},
};

}  // namespace

TracesPage::TracesPage(AppState& state) : Page("tabIE"), state_(state) {
    ListColumn restart{"Restart IE", 70};
    restart.centred = true;
    lvIE.columns = {{"Action", 230}, restart, {"Description", ListColumn::kRestWidth}};
    for (const IeAction& a : kIeActions) {
        ListItem row;
        row.caption = a.action;
        row.subItems = {a.restartIe, a.description};
        row.checked = a.checked;
        lvIE.Add(std::move(row));
    }
    lvDeletedFiles.columns = {{"Section", 120}, {"File Name", 150}, {"Full Path", ListColumn::kRestWidth}};
    gbControlPanel.SetCaption("&Control Panel ");
    btnTempScan.SetCaption("&Start Scan");
    btnCleanIE.SetCaption("&Cleanup");
    btnCheckIE.SetCaption("Check &All");  // "&C" is Cleanup's
    btnUncheckIE.SetCaption("&Uncheck All");

    lvIE.SetCaption("Browser traces");  // the name a screen reader says

    Place(lvIE, {0, 0, 532, 160});
    Place(Bevel1, {0, 164, 532, 4});
    lvDeletedFiles.SetCaption("Files found");  // the name a screen reader says
    Place(lvDeletedFiles, {0, 172, 532, 188}, nullptr, Anchor::Stretch);
    Place(gbControlPanel, {0, 364, 532, 76}, nullptr, Anchor::StretchWidthBottom);
    Place(lblDeleting, {10, 18, 512, 16}, &gbControlPanel);
    Place(btnTempScan, {10, 38, 100, 28}, &gbControlPanel);
    Place(btnCleanIE, {116, 38, 100, 28}, &gbControlPanel);
    Place(btnCheckIE, {222, 38, 100, 28}, &gbControlPanel);
    Place(btnUncheckIE, {328, 38, 100, 28}, &gbControlPanel);

    btnTempScan.onClick = [this] { btnTempScanClick(); };
    btnCleanIE.onClick = [this] { btnCleanIEClick(); };
    btnCheckIE.onClick = [this] { btnCheckIEClick(); };
    btnUncheckIE.onClick = [this] { btnUncheckIEClick(); };
}

void TracesPage::btnTempScanClick() {
    if (listing_) return;
    // Enabled again however the listing ends (a wrongly typed Shell Folders value raises).
    struct Busy {
        TracesPage& page;
        explicit Busy(TracesPage& p) : page(p) {
            page.listing_ = true;
            page.btnTempScan.SetEnabled(false);
            page.btnCleanIE.SetEnabled(false);
        }
        ~Busy() {
            page.listing_ = false;
            page.btnTempScan.SetEnabled(true);
            page.btnCleanIE.SetEnabled(true);
        }
    } busy(*this);

    Platform& platform = state_.platform;
    lvDeletedFiles.Clear();
    TraceListing listing{platform.files, platform.ui, lblDeleting, lvDeletedFiles};
    for (int row = 0; row < lvIE.Count(); ++row) {
        if (!lvIE.Checked(row)) continue;
        switch (row) {
            case Cache:
                ListCacheFiles(listing, ShellFolderPath(platform.registry, "Cache"));
                break;
            case Cookies:
                ListCookieFiles(listing, ShellFolderPath(platform.registry, "Cookies"));
                break;
            case DownloadedFiles: {
                // Taken whole, however long: a cut path would name another folder.
                ListTempFiles(listing, WithBackslash(platform.system.tempDirectory()));
                break;
            }
            case Favorites:
                ListFavoriteFiles(listing, ShellFolderPath(platform.registry, "Favorites"));
                break;
            case History:
                ListHistoryFiles(listing, ShellFolderPath(platform.registry, "History"));
                break;
            default:  // the two registry actions list nothing
                break;
        }
    }
}

void TracesPage::btnCleanIEClick() {
    if (listing_) return;
    RegistryBackend& registry = state_.platform.registry;
    if (lvIE.Checked(TypedUrls)) ClearTypedUrls(registry);
    if (lvIE.Checked(AutoComplete)) SetAppendCompletion(registry, true);
    DeleteListedFiles(state_.platform.files, lvDeletedFiles);
    lvDeletedFiles.Clear();
    state_.platform.dialogs.information("The cleaning up has been finished.");
}

void TracesPage::btnCheckIEClick() {
    lvDeletedFiles.SetAllChecked(true);
}

void TracesPage::btnUncheckIEClick() {
    lvDeletedFiles.SetAllChecked(false);
}

}  // namespace korvane
