// The twelve scan group routines. Each walks a fixed part of the registry, files through the context's
// sink every entry that refers to a missing file, folder or key, and follows the contract of the scan:
// its own keys, opened and closed within the routine; a label per entry where the group has one; a
// stop test after each entry; its count written at its normal end (groups 2, 3 and 5: always).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "registry/BaseKey.h"
#include "registry/RegistryViews.h"
#include "registry/RootKeys.h"
#include "scanwalk/ScanContext.h"

namespace korvane {

// The keys the groups read their entries from (as the Key Names spell them), and the list of them that
// no repair may delete whole.
namespace scankeys {
inline constexpr BaseKey AppPaths{roots::LocalMachine,
                                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths"};
inline constexpr BaseKey Clsid{roots::ClassesRoot, "CLSID"};
inline constexpr BaseKey Help{roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\Help"};
inline constexpr BaseKey HtmlHelp{roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\HTML Help"};
inline constexpr BaseKey Fonts9x{roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts"};
inline constexpr BaseKey FontsNt{roots::LocalMachine,
                                 "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"};
inline constexpr BaseKey RunMru{roots::CurrentUser,
                                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU"};
inline constexpr BaseKey StartMenu2{
    roots::CurrentUser,
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs"};
inline constexpr BaseKey StartMenu{
    roots::CurrentUser,
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs"};
inline constexpr BaseKey SharedDlls{roots::LocalMachine,
                                    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls"};
inline constexpr BaseKey LanMan{roots::LocalMachine,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Network\\LanMan"};
inline constexpr BaseKey Shares{roots::LocalMachine, "SYSTEM\\ControlSet001\\Services\\lanmanserver\\Shares"};
inline constexpr BaseKey ShellExtensions{
    roots::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved"};
inline constexpr BaseKey SoundApps{roots::CurrentUser, "AppEvents\\Schemes\\Apps"};
inline constexpr BaseKey Uninstall{roots::LocalMachine,
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"};
inline constexpr BaseKey FileExts{roots::CurrentUser,
                                  "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"};
}  // namespace scankeys

inline constexpr BaseKey kScanBaseKeys[] = {
    scankeys::AppPaths,        scankeys::Clsid,      scankeys::Help,      scankeys::HtmlHelp,
    scankeys::Fonts9x,         scankeys::FontsNt,    scankeys::RunMru,    scankeys::StartMenu2,
    scankeys::StartMenu,       scankeys::SharedDlls, scankeys::LanMan,    scankeys::Shares,
    scankeys::ShellExtensions, scankeys::SoundApps,  scankeys::Uninstall, scankeys::FileExts,
};

// The base keys Windows keeps once per registry view on 64-bit Windows: what 32-bit programs register
// as classes, help files, shared DLLs, approved shell extensions and uninstall entries lives in the
// Wow6432Node twin of the key (RegistryViews.h gives its physical path). The groups that read them walk
// both views, whichever build of Korvane runs. Every other base key is shared by the views (App Paths,
// the NT fonts, the user's keys, the shares: registry/SharedKeys.h) or read only on Windows 9x (Fonts9x,
// LanMan): walked once, by its 64-bit path.
inline constexpr BaseKey kPerViewBaseKeys[] = {
    scankeys::Clsid,           scankeys::Help,      scankeys::HtmlHelp, scankeys::SharedDlls,
    scankeys::ShellExtensions, scankeys::Uninstall,
};

// A base key as one view keeps it: its physical path (CLSID or Wow6432Node\CLSID, ...).
struct ViewedKey {
    HKey root;
    std::string path;
    RegistryView view;

    BaseKey Base() const { return BaseKey{root, path}; }
};

// `base` in `view`: its own path for the 64-bit view, its Wow6432Node twin for the 32-bit one.
ViewedKey InView(const BaseKey& base, RegistryView view);
// The views of `base` this run walks, the 64-bit view first: one on 32-bit Windows and for shared keys.
std::vector<ViewedKey> ViewsOf(const ScanContext& context, const BaseKey& base);
// kScanBaseKeys and the 32-bit twins of the per-view ones: the keys no repair may delete whole.
const std::vector<BaseKey>& ScanContainerKeys();

// The key `name` right below a base key.
inline std::string KeyBelow(const BaseKey& base, const std::string& name) {
    return std::string(base.path) + "\\" + name;
}
// "HKEY_LOCAL_MACHINE\SOFTWARE\...\": what the labels of a base key's entries begin with.
inline std::string LabelPrefix(const BaseKey& base) {
    return KeyName::Key(base.root, base.path).Text() + "\\";
}

// How the groups' values name their targets. Every text is expanded, REG_SZ as well as REG_EXPAND_SZ:
// Windows expands plain strings where these groups read them (PlaySound for sound events, the shell for
// App Paths, icons and the Run dialog, Programs and Features for uninstall commands, COM for server
// paths), and for the rest (fonts, help folders, shared DLL names) a target that exists once expanded
// is no proof that the entry dangles.
inline constexpr TargetForm kCommandLine{true, false, false};
// One path as written, no arguments: help files, fonts, shared DLL names.
inline constexpr TargetForm kOnePath{false, false, false};
// What the user typed into the Run dialog: also a web address or a shell folder.
inline constexpr TargetForm kRunDialogEntry{true, true, false};
// A sound event's file: a bare name is in the Windows folder's Media folder.
inline constexpr TargetForm kSoundFile{false, false, true};

// The sub-keys of a class key that can name a server file, in the order they are checked.
extern const std::array<const char*, 8> ClsidSubkeyNames;

void ScanAppPaths(ScanContext& context);          // 0
void ScanClsid(ScanContext& context);             // 1
void ScanHelpFiles(ScanContext& context);         // 2
void ScanFonts(ScanContext& context);             // 3
void ScanRunMru(ScanContext& context);            // 4
void ScanStartMenuOrder(ScanContext& context);    // 5
void ScanSharedDlls(ScanContext& context);        // 6
void ScanSharedFolders(ScanContext& context);     // 7
void ScanShellExtensions(ScanContext& context);   // 8
void ScanSoundEvents(ScanContext& context);       // 9
void ScanUninstallEntries(ScanContext& context);  // 10
void ScanFileExtensions(ScanContext& context);    // 11

// Runs the routine of group `index`; any other index runs nothing.
void RunScanGroup(int index, ScanContext& context);

// Whether a key of that name exists directly below HKEY_CLASSES_ROOT: it opens with read rights, the
// registry says it is not there, or it is there but refuses to open.
enum class ClassKeyAnswer { Present, Missing, CannotTell };
ClassKeyAnswer ProbeClassKey(RegistryBackend& registry, const std::string& name);
// Whether the key opens with read rights.
bool ClassKeyExists(RegistryBackend& registry, const std::string& name);

}  // namespace korvane
