// The registry and file work behind the IE Traces Cleaning page: clearing the typed addresses,
// the auto-complete mode, the per-user shell folders and the five listers that fill the file list,
// and deleting the listed files. The page (TracesPage) decides which of them run.
#pragma once

#include <string>

#include "controls/Button.h"
#include "controls/ListView.h"
#include "platform/Platform.h"

namespace korvane {

// A listed file, kept in its row's tag: what "&Delete" deletes.
struct TraceFile {
    std::string path;  // the folder and the file's name
};

// Where the listers write: the label that names the latest file and the list of files found.
struct TraceListing {
    FileSystem& files;
    UiThread& ui;  // pending messages are processed after every directory entry
    Label& lblDeleting;
    ListView& lvDeletedFiles;
};

// Deletes every value of HKCU "\Software\Microsoft\Internet Explorer\TypedURLs"; the key stays. A key
// that does not open is left alone.
void ClearTypedUrls(RegistryBackend& registry);
// Writes "Append Completion" = "Yes" or "No" under HKCU "...\Explorer\AutoComplete", creating the key.
void SetAppendCompletion(RegistryBackend& registry, bool yes);
// The named value of HKCU "...\Explorer\Shell Folders" with "\" appended; empty when the key or the
// value is missing or the value is empty (that group has no folder). A value that is not text raises
// "Invalid data type for '<name>'".
std::string ShellFolderPath(RegistryBackend& registry, const std::string& valueName);

// Each lister takes a folder ending in "\" (an empty folder lists nothing) and appends one checked
// row (section, file name, folder) per file it takes, with its TraceFile, depth-first in the file
// system's order.
// Every file except "desktop.ini" (any case), at any depth.
void ListCacheFiles(TraceListing& listing, const std::string& folder);
// Entries matching "*.txt" that are files; only sub-folders whose own name matches are entered.
void ListCookieFiles(TraceListing& listing, const std::string& folder);
// Every file directly in the folder; sub-folders are left alone.
void ListTempFiles(TraceListing& listing, const std::string& folder);
// Files whose extension is exactly ".url" (case counts), at any depth.
void ListFavoriteFiles(TraceListing& listing, const std::string& folder);
// Files named "index.dat" (any case), at any depth.
void ListHistoryFiles(TraceListing& listing, const std::string& folder);

// Deletes the TraceFile of every checked row, in row order; failures are skipped.
void DeleteListedFiles(FileSystem& files, const ListView& lvDeletedFiles);

}  // namespace korvane
