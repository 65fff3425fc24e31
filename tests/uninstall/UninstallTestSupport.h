// What the uninstall tests share: the page on an in-memory platform, the four Uninstall keys, and
// short ways to seed entries and read the list.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/AppWithHistoryFixture.h"
#include "uninstall/AddRemove.h"
#include "uninstall/UninstallColumns.h"
#include "uninstall/UninstallPage.h"

namespace korvane::testing {

inline const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline const std::string kUninstall32 =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr HKey HKLM = roots::LocalMachine;
inline constexpr HKey HKCU = roots::CurrentUser;

class UninstallTest : public AppWithHistoryFixture {
protected:
    MemoryRegistry& registry() { return memory.registry(); }

    // An entry with a name and, when given, the usual details.
    void AddProgram(HKey root, const std::string& uninstallKey, const std::string& key,
                    const std::string& name, const std::string& publisher = {},
                    const std::string& version = {}) {
        const std::string path = uninstallKey + "\\" + key;
        registry().SetString(root, path, "DisplayName", name);
        registry().SetString(root, path, "UninstallString", "C:\\" + key + "\\uninstall.exe");
        if (!publisher.empty()) registry().SetString(root, path, "Publisher", publisher);
        if (!version.empty()) registry().SetString(root, path, "DisplayVersion", version);
    }

    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const ListItem& row : page.lvAddRemove.Items()) captions.push_back(row.caption);
        return captions;
    }
    int RowOf(const std::string& caption) const {
        for (int i = 0; i < page.lvAddRemove.Count(); ++i)
            if (page.lvAddRemove.Item(i).caption == caption) return i;
        return -1;
    }
    std::string Column(const std::string& caption, int subItem) const {
        const int row = RowOf(caption);
        EXPECT_GE(row, 0) << caption;
        return row < 0 ? std::string() : page.lvAddRemove.SubItem(row, subItem);
    }
    void ClickCheck(const std::string& caption) {
        const int row = RowOf(caption);
        ASSERT_GE(row, 0) << caption;
        page.lvAddRemove.UserToggleCheck(row);
        page.lvAddRemove.Click();
    }
    // Lets the uninstall run the page started end on its worker, and shows its results.
    void WaitForRun() {
        ASSERT_TRUE(memory.ui().PumpUntil([this] { return !page.leftovers.Running(); }))
            << "the uninstall run did not end";
    }
    void UninstallChecked() {
        page.btnUninstallClick();
        WaitForRun();
    }
    std::vector<std::string> StartedCommands() {
        std::vector<std::string> commands;
        for (const auto& call : memory.processes().Calls()) commands.push_back(call.commandLine);
        return commands;
    }

    UninstallPage page{state, history};
};

}  // namespace korvane::testing
