// The twelve scan group routines. Each walks a fixed part of the registry, files through the context's
// sink every entry that refers to a missing file, folder or key, and follows the contract of the scan:
// its own keys, opened and closed within the routine; a label per entry where the group has one; a
// stop test after each entry; its count written at its normal end (groups 2, 3 and 5: always).
#pragma once

#include <array>

#include "scan/ScanContext.h"

namespace korvane {

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

// Whether a key of that name exists directly below HKEY_CLASSES_ROOT and opens with read rights.
bool ClassKeyExists(RegistryBackend& registry, const std::string& name);

}  // namespace korvane
