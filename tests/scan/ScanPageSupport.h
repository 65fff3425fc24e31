// A scan page on an in-memory machine, with a seeded registry whose findings span several groups, and
// helpers to run a scan to its end from the test's (UI) thread.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/IgnorePage.h"
#include "scan/ScanErrorList.h"
#include "scan/ScanPage.h"
#include "scanwalk/ScanGroups.h"
#include "support/AppWithHistoryFixture.h"

namespace korvane::testing {

inline const std::string kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline const std::string kSharedDllsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
inline const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline const std::string kFileExtsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
inline const std::string kFontsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

class ScanPageTest : public AppWithHistoryFixture {
protected:
    IgnoreList ignoreList{memory.platform()};
    IgnorePage ignorePage{ignoreList};
    ScanPage page{state, history, ignoreList, ignorePage};

    void SetUp() override {
        history.Document().Reset("Korvane");
        history.Containers().Add(ScanContainerKeys());  // as the main window does where it builds the history
        ignoreList.Document().Reset("IgnoreList");
        page.FillScanGroups();
        Seed();
    }

    // Two App Paths findings, one CLSID, one font, two SharedDlls, one uninstall, one file extension.
    void Seed() {
        MemoryRegistry& r = memory.registry();
        memory.files().AddFile("C:\\Apps\\here.exe");
        r.SetString(roots::LocalMachine, kAppPathsKey + "\\a.exe", "", "C:\\Gone\\a.exe");
        r.SetString(roots::LocalMachine, kAppPathsKey + "\\b.exe", "", "C:\\Apps\\here.exe");
        r.SetString(roots::LocalMachine, kAppPathsKey + "\\c.exe", "", "C:\\Gone\\c.exe");
        r.SetString(roots::ClassesRoot, "CLSID\\{A}\\InprocServer32", "", "C:\\Gone\\a.dll");
        r.SetString(roots::LocalMachine, kFontsKey, "Gone", "gone.ttf");
        r.SetDword(roots::LocalMachine, kSharedDllsKey, "C:\\Gone\\s1.dll", 1);
        r.SetDword(roots::LocalMachine, kSharedDllsKey, "C:\\Gone\\s2.dll", 1);
        r.SetString(roots::LocalMachine, kUninstallKey + "\\X", "UninstallString", "C:\\Gone\\x.exe");
        r.CreateKey(roots::CurrentUser, kFileExtsKey + "\\.xyz");
    }

    // Every label and finding handed over at once, and every file tested on the walk's own thread, so
    // that a hook on the list sees each row arrive before the worker goes on.
    void HandOverEachAtOnce() {
        page.handOverPolicy = ScanHandOverPolicy{1, std::chrono::milliseconds(0)};
        page.probeConcurrency = ProbeConcurrency{0, 1};
    }

    void RunScan() {
        ASSERT_EQ(page.btnStartScan.Caption(), "Start &Scan");
        page.btnStartScan.Click();
        ASSERT_TRUE(memory.ui().PumpUntil([&] { return !page.ScanErrorsThread.Active(); }));
    }

    std::vector<std::string> Counts() const {
        std::vector<std::string> counts;
        for (int i = 0; i < page.lvScanGroups.Count(); ++i) counts.push_back(page.lvScanGroups.SubItem(i, 0));
        return counts;
    }
    std::vector<std::string> Column(int subItem) const {
        std::vector<std::string> cells;
        for (int i = 0; i < page.lvErrors.Count(); ++i)
            cells.push_back(subItem < 0 ? page.lvErrors.Item(i).caption : page.lvErrors.SubItem(i, subItem));
        return cells;
    }
    void CheckOnly(std::initializer_list<int> rows) {
        for (int i = 0; i < page.lvScanGroups.Count(); ++i) page.lvScanGroups.SetChecked(i, false);
        for (int row : rows) page.lvScanGroups.SetChecked(row, true);
    }
    void Ignore(const std::string& root, const std::string& key, const std::string& value) {
        ignoreList.Add(IgnoreEntry{root, key, value});
    }
};

}  // namespace korvane::testing
