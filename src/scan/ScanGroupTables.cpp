// The fixed tables of the scan (group names, error types, class sub-key names) and the dispatch from a
// row of lvScanGroups to its group routine.
#include "scan/ScanGroups.h"

namespace korvane {

const std::array<const char*, kScanGroupCount> ScanGroupNames = {"Application Path",
                                                                 "CLSID",
                                                                 "Help Path",
                                                                 "Font Path",
                                                                 "Most Recently Used List (MRU)",
                                                                 "Obsolete Start Menu",
                                                                 "Shared DLLs",
                                                                 "Shared Folder",
                                                                 "Shell Extensions",
                                                                 "Sound and AppEvents",
                                                                 "Uninstall",
                                                                 "File Extensions"};

const std::array<const char*, kScanGroupCount> kScanErrorTypes = {
    "Application", "COM/ActiveX",   "Help File",        "Font File",      "Recent files", "Start Menu",
    "Shared DLLs", "Shared Folder", "Shell Extensions", "Sound AppEvent", "Uninstall",    "File Extensions"};

const std::array<const char*, 8> ClsidSubkeyNames = {
    "\\InprocHandler", "\\InprocHandler32",   "\\LocalServer",  "\\LocalServer32",
    "\\DefaultIcon",   "\\PersistentHandler", "\\InprocServer", "\\InprocServer32"};

void RunScanGroup(int index, ScanContext& context) {
    using Routine = void (*)(ScanContext&);
    static constexpr std::array<Routine, kScanGroupCount> routines = {
        ScanAppPaths,        ScanClsid,          ScanHelpFiles,        ScanFonts,
        ScanRunMru,          ScanStartMenuOrder, ScanSharedDlls,       ScanSharedFolders,
        ScanShellExtensions, ScanSoundEvents,    ScanUninstallEntries, ScanFileExtensions};
    if (index >= 0 && index < kScanGroupCount) routines[static_cast<std::size_t>(index)](context);
}

}  // namespace korvane
