// The traces cleaner's registry actions, the five file listers and the deletion of listed files.
#include "browser/IE.h"

#include <vector>

#include "platform/AsciiCase.h"
#include "platform/PathText.h"
#include "registry/RegistryAccess.h"

namespace korvane {

namespace {

constexpr const char* kShellFolders =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// FILE_ATTRIBUTE_REPARSE_POINT: a junction or link. Profile folders hold junctions that point back up
// the tree; entering them would walk in a circle until the paths grow too long.
constexpr std::uint32_t kReparsePoint = 0x400;

struct ListerRule {
    const char* section;
    const char* pattern;
    bool (*takes)(const std::string& name);
    bool entersFolders;  // folders the pattern matched are entered
};

constexpr ListerRule kCacheRule{
    "Cache files", "*.*", [](const std::string& name) { return !EqualsNoCase(name, "desktop.ini"); }, true};
constexpr ListerRule kCookieRule{"Cookie files", "*.txt", [](const std::string&) { return true; }, true};
constexpr ListerRule kTempRule{"Temporary files", "*.*", [](const std::string&) { return true; }, false};
constexpr ListerRule kFavoriteRule{"Favorite files", "*.*",
                                   [](const std::string& name) { return ExtensionOf(name) == ".url"; }, true};
constexpr ListerRule kHistoryRule{
    "History files", "*.*", [](const std::string& name) { return EqualsNoCase(name, "index.dat"); }, true};

// One folder being listed: its entries and the next one to look at.
struct OpenFolder {
    std::string path;
    std::vector<FileEntry> entries;
    std::size_t next = 0;
};

// Lists depth-first: a sub-folder is listed where it is met, before the entries after it. An explicit
// stack instead of recursion, so a very deep tree cannot exhaust the thread's stack.
void ListFolder(TraceListing& listing, const std::string& folder, const ListerRule& rule) {
    if (folder.empty()) return;
    std::vector<OpenFolder> stack;
    auto open = [&](const std::string& path) {
        OpenFolder opened{path, {}, 0};
        if (listing.files.findFiles(path + rule.pattern, opened.entries)) stack.push_back(std::move(opened));
    };
    open(folder);
    while (!stack.empty()) {
        OpenFolder& top = stack.back();
        if (top.next == top.entries.size()) {
            stack.pop_back();
            continue;
        }
        const FileEntry entry = top.entries[top.next++];
        const std::string path = top.path;  // `top` may move when a sub-folder is opened
        if (entry.name != "." && entry.name != "..") {
            if (entry.attributes & fileattr::Directory) {
                if (rule.entersFolders && !(entry.attributes & kReparsePoint)) open(path + entry.name + "\\");
            } else if (rule.takes(entry.name)) {
                listing.lblDeleting.SetCaption(path + entry.name);
                ListItem row{rule.section, {entry.name, path}, true};
                row.tag = TraceFile{path + entry.name};
                listing.lvDeletedFiles.Add(std::move(row));
            }
        }
        // Keeps the window painting and answering while a long tree is listed.
        listing.ui.pump();
    }
}

}  // namespace

void ClearTypedUrls(RegistryBackend& registry) {
    RegistryAccess reg(registry);
    reg.SetRoot(roots::CurrentUser);
    if (!reg.OpenRegKey("\\Software\\Microsoft\\Internet Explorer\\TypedURLs", CreateIfMissing::No)) return;
    std::vector<std::string> names;
    reg.ListValueNames(names);
    for (const std::string& name : names) reg.DeleteValue(name);
}

void SetAppendCompletion(RegistryBackend& registry, bool yes) {
    RegistryAccess reg(registry);
    reg.SetRoot(roots::CurrentUser);
    if (!reg.OpenRegKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete",
                        CreateIfMissing::Yes))
        return;
    reg.WriteText("Append Completion", yes ? "Yes" : "No");
}

std::string ShellFolderPath(RegistryBackend& registry, const std::string& valueName) {
    RegistryAccess reg(registry);
    reg.SetRoot(roots::CurrentUser);
    if (!reg.OpenRegKeyReadOnly(kShellFolders)) return {};
    // Without a folder the group lists nothing: "" stays "", never the root of the current drive.
    return WithBackslash(reg.ReadText(valueName));
}

void ListCacheFiles(TraceListing& listing, const std::string& folder) {
    ListFolder(listing, folder, kCacheRule);
}

void ListCookieFiles(TraceListing& listing, const std::string& folder) {
    ListFolder(listing, folder, kCookieRule);
}

void ListTempFiles(TraceListing& listing, const std::string& folder) {
    ListFolder(listing, folder, kTempRule);
}

void ListFavoriteFiles(TraceListing& listing, const std::string& folder) {
    ListFolder(listing, folder, kFavoriteRule);
}

void ListHistoryFiles(TraceListing& listing, const std::string& folder) {
    ListFolder(listing, folder, kHistoryRule);
}

void DeleteListedFiles(FileSystem& files, const ListView& lvDeletedFiles) {
    for (int i = 0; i < lvDeletedFiles.Count(); ++i) {
        const TraceFile* file = lvDeletedFiles.Tag<TraceFile>(i);
        if (file && lvDeletedFiles.Checked(i)) files.deleteFile(file->path);
    }
}

}  // namespace korvane
