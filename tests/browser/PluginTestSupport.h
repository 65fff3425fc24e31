// What the plug-in tests share: an in-memory platform with the program folder C:\Korvane\, an empty
// undo history, the plug-in page, and short ways to register add-ons and read the list back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/PluginRemoval.h"
#include "browser/PluginsPage.h"
#include "support/AppWithHistoryFixture.h"

namespace korvane::testing {

inline constexpr HKey HKCR = roots::ClassesRoot;
inline constexpr HKey HKCU = roots::CurrentUser;
inline constexpr HKey HKLM = roots::LocalMachine;
inline const std::string kToolbarAll = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
inline const std::string kToolbarUser = "Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser";
inline const std::string kExtStats = "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats";
inline const std::string kBarsAll = "SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars";
inline const std::string kBarsUser = "Software\\Microsoft\\Internet Explorer\\Explorer Bars";
inline const std::string kMenuExt = "Software\\Microsoft\\Internet Explorer\\MenuExt";
inline const std::string kIe = "Software\\Microsoft\\Internet Explorer";

class PluginTest : public AppWithHistoryFixture {
protected:
    PluginTest() {
        history.Document().Reset("Korvane");
        history.Containers().Add(PluginBaseKeys());  // as the main window does where it builds the history
    }

    // A class registration: display name (none when `name` is null) and in-process server.
    void AddClass(const std::string& id, const char* name, const std::string& server) {
        if (name) registry.SetString(HKCR, "CLSID\\" + id, "", name);
        registry.SetString(HKCR, "CLSID\\" + id + "\\InprocServer32", "", server);
        registry.SetString(HKCR, "CLSID\\" + id + "\\InprocServer32", "ThreadingModel", "Apartment");
    }
    void AddToolbarAll(const std::string& id, const char* name, const std::string& server = "C:\\t.dll") {
        AddClass(id, name, server);
        registry.SetString(HKLM, kToolbarAll, id, "");
    }
    void AddToolbarUser(const std::string& id, const char* name, const std::string& server = "C:\\t.dll") {
        AddClass(id, name, server);
        registry.SetValue(HKCU, kToolbarUser, id, RegValue{regtype::Binary, {1, 2, 3}});
    }
    void AddExtension(const std::string& id, const char* name, const std::string& server) {
        AddClass(id, name, server);
        registry.SetDword(HKCU, kExtStats + "\\" + id + "\\iexplore", "Flags", 4);
    }
    void AddMenuExt(const std::string& keyName, const std::string& script) {
        registry.SetString(HKCU, kMenuExt + "\\" + keyName, "", script);
        registry.SetDword(HKCU, kMenuExt + "\\" + keyName, "Contexts", 1);
    }

    // "Name|Type|Registry Entries|Path" per row, in list order.
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        for (const ListItem& row : page.lvBHO.Items()) {
            std::string text = row.caption;
            for (const std::string& sub : row.subItems) text += "|" + sub;
            out.push_back(text);
        }
        return out;
    }
    int RowOf(const std::string& caption, const std::string& kind = {}) const {
        for (int i = 0; i < page.lvBHO.Count(); ++i)
            if (page.lvBHO.Item(i).caption == caption && (kind.empty() || page.lvBHO.SubItem(i, 0) == kind))
                return i;
        return -1;
    }
    void Check(const std::string& caption, const std::string& kind = {}) {
        const int row = RowOf(caption, kind);
        ASSERT_GE(row, 0) << caption;
        page.lvBHO.UserToggleCheck(row);
    }
    XmlElement History() { return history.Document().DocumentElement(); }

    PluginsPage page{state, history};
};

}  // namespace korvane::testing
