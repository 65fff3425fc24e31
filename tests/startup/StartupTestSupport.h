// What the startup tests share: an in-memory platform whose Windows version is set per test, the
// page under test, and short names for the keys the startup manager reads and writes.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "registry/WindowsVersion.h"
#include "startup/Startup.h"
#include "startup/StartupPage.h"
#include "support/AppWithHistoryFixture.h"

namespace korvane::testing {

inline const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::string kRunServices = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
inline const std::string kParking = "Software\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
inline const std::string kRun32 = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::string kApproved =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";
inline const std::string kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr HKey HKLM = roots::LocalMachine;
inline constexpr HKey HKCU = roots::CurrentUser;

// Class 8 holds both schemes: NT 6.0 and 6.1 park entries, NT 6.2 and later keep them in place.
inline constexpr VersionRecord kWindows7{2, 6, 1, 7601};
inline constexpr VersionRecord kWindows8{2, 6, 2, 9200};
inline constexpr VersionRecord kWindows10{2, 10, 0, 19045};

// A version record of each class the tests use.
inline std::optional<VersionRecord> VersionOfClass(int versionClass) {
    switch (versionClass) {
        case 1:
            return VersionRecord{1, 4, 0, 950};
        case 2:
            return VersionRecord{1, 4, 10, 1998};
        case 3:
            return VersionRecord{1, 4, 90, 3000};
        case 4:
            return VersionRecord{2, 4, 0, 1381};
        case 5:
            return VersionRecord{2, 5, 0, 2195};
        case 6:
            return VersionRecord{2, 5, 1, 2600};
        case 7:
            return VersionRecord{2, 5, 2, 3790};
        case 8:
            return VersionRecord{2, 10, 0, 19045};
        default:
            return std::nullopt;
    }
}

// A Run value's entry, as its row would carry it.
inline StartupEntry RunValue(HKey root, const std::string& keyPath, const std::string& name,
                             const std::string& command) {
    return RegistryStartupEntry(StartupKind::RunValue, root, keyPath, name, command);
}

class StartupTest : public AppWithHistoryFixture {
protected:
    StartupTest() { UseVersionClass(6); }

    void UseVersionClass(int versionClass) { UseVersion(VersionOfClass(versionClass)); }
    // Another Windows: what the state asked of the last one no longer holds.
    void UseVersion(std::optional<VersionRecord> version) {
        memory.system().version = version;
        state.windowsVersion = WindowsVersion(memory.system());
    }

    MemoryRegistry& registry() { return memory.registry(); }
    MemoryDialogs& dialogs() { return memory.dialogs(); }

    // A parking record as the system configuration utility writes it (all REG_SZ).
    void AddRecord(const std::string& record, const std::string& item, const std::string& command,
                   const std::string& hkey, const std::string& key) {
        const std::string path = kParking + "\\" + record;
        registry().SetString(HKLM, path, "command", command);
        registry().SetString(HKLM, path, "hkey", hkey);
        registry().SetString(HKLM, path, "inimapping", "0");
        registry().SetString(HKLM, path, "item", item);
        registry().SetString(HKLM, path, "key", key);
    }

    struct Row {
        std::string name, command, location;
        bool checked;
        bool operator==(const Row&) const = default;
        friend void PrintTo(const Row& row, std::ostream* out) {
            *out << "{" << row.name << " | " << row.command << " | " << row.location << " | "
                 << (row.checked ? "checked" : "unchecked") << "}";
        }
    };
    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        for (const ListItem& item : page.lvStartup.Items())
            rows.push_back({item.caption, item.subItems.at(0), item.subItems.at(1), item.checked});
        return rows;
    }
    int RowOf(const std::string& name) const {
        for (int i = 0; i < page.lvStartup.Count(); ++i)
            if (page.lvStartup.Item(i).caption == name) return i;
        return -1;
    }
    // Unticks or ticks the row as a user's click on its check box does.
    void ClickCheck(const std::string& name) {
        const int row = RowOf(name);
        ASSERT_GE(row, 0) << name;
        page.lvStartup.UserToggleCheck(row);
        page.lvStartup.Click();
    }
    // A StartupApproved record as Explorer keeps it.
    void SetApproved(HKey root, const std::string& list, const std::string& name,
                     std::vector<std::uint8_t> bytes, std::uint32_t type = regtype::Binary) {
        registry().SetValue(root, kApproved + "\\" + list, name, RegValue{type, std::move(bytes)});
    }
    std::optional<RegValue> Approved(HKey root, const std::string& list, const std::string& name) {
        return registry().GetValue(root, kApproved + "\\" + list, name);
    }
    // The two Startup folders, named where Windows names them.
    inline static const std::string kUserFolder =
        "C:\\Users\\me\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    inline static const std::string kCommonFolder =
        "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp";
    void NameStartupFolders() {
        registry().SetString(HKCU, kShellFolders, "Startup", kUserFolder);
        registry().SetString(HKLM, kShellFolders, "Common Startup", kCommonFolder);
        memory.files().AddFolder(kUserFolder);
        memory.files().AddFolder(kCommonFolder);
    }

    // Lets the signature checks of the last listing deliver every answer.
    void WaitForPublishers() {
        ASSERT_TRUE(memory.ui().PumpUntil([this] { return !page.PublishersPending(); }))
            << "the signature checks never finished";
    }
    std::string PublisherOf(const std::string& name) const {
        const int row = RowOf(name);
        return row < 0 ? "(no row " + name + ")" : page.lvStartup.SubItem(row, StartupPage::kPublisherColumn);
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const ListItem& item : page.lvStartup.Items()) captions.push_back(item.caption);
        return captions;
    }

    std::vector<std::string> MessageBoxTexts() {
        std::vector<std::string> texts;
        for (const DialogRecord& record : memory.dialogs().Records())
            if (record.kind == DialogKind::MessageBox) texts.push_back(record.text);
        return texts;
    }

    StartupPage page{state, history};
};

}  // namespace korvane::testing
