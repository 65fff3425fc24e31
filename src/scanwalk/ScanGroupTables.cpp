// The fixed tables of the scan (group names, error types, class sub-key names), the registry views of
// its base keys, and the dispatch from a row of lvScanGroups to its group routine.
#include "scanwalk/ScanGroups.h"

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

namespace {

// A key Windows shares between the views has no twin of its own: walked once.
bool IsPerView(const BaseKey& base) {
    return Wow64PathOf(base.root, base.path).has_value();
}

}  // namespace

ViewedKey InView(const BaseKey& base, RegistryView view) {
    if (view == RegistryView::Bits32) {
        if (std::optional<std::string> twin = Wow64PathOf(base.root, base.path))
            return ViewedKey{base.root, std::move(*twin), view};
    }
    return ViewedKey{base.root, std::string(base.path), RegistryView::Bits64};
}

std::vector<ViewedKey> ViewsOf(const ScanContext& context, const BaseKey& base) {
    std::vector<ViewedKey> views;
    for (RegistryView view : context.paths.Views()) {
        if (view == RegistryView::Bits32 && !IsPerView(base)) continue;
        ViewedKey key = InView(base, view);
        if (key.view == view) views.push_back(std::move(key));
    }
    return views;
}

const std::vector<BaseKey>& ScanContainerKeys() {
    static const std::vector<std::string> twins = [] {
        std::vector<std::string> paths;
        for (const BaseKey& base : kPerViewBaseKeys) paths.push_back(InView(base, RegistryView::Bits32).path);
        return paths;
    }();
    static const std::vector<BaseKey> keys = [] {
        std::vector<BaseKey> all(std::begin(kScanBaseKeys), std::end(kScanBaseKeys));
        for (std::size_t i = 0; i < twins.size(); ++i)
            all.push_back(BaseKey{kPerViewBaseKeys[i].root, twins[i]});
        return all;
    }();
    return keys;
}

void RunScanGroup(int index, ScanContext& context) {
    using Routine = void (*)(ScanContext&);
    static constexpr std::array<Routine, kScanGroupCount> routines = {
        ScanAppPaths,        ScanClsid,          ScanHelpFiles,        ScanFonts,
        ScanRunMru,          ScanStartMenuOrder, ScanSharedDlls,       ScanSharedFolders,
        ScanShellExtensions, ScanSoundEvents,    ScanUninstallEntries, ScanFileExtensions};
    if (index < 0 || index >= kScanGroupCount) return;
    try {
        routines[static_cast<std::size_t>(index)](context);
    } catch (...) {
        // What the group filed before the error still reaches the list, as in a sequential run.
        try {
            context.Flush();
        } catch (...) {
        }
        throw;
    }
    context.Flush();
}

}  // namespace korvane
