// The real window under Wine, driven through window messages: every page button shows its page, each
// kind of control renders its model and routes the user's input to it once, closing writes Backup.xml.
// The program logic runs on the in-memory platform so that the tests touch no real registry.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/MainForm.h"
#include "platform/memory/MemoryPlatform.h"
#include "win32/support/MemoryWindowFixture.h"
#include "win32/window/GdiHandles.h"
#include "win32/window/MainWindow.h"

namespace korvane::win32 {
namespace {

using testing::TextOfWindow;

using MainWindowTest = testing::MemoryWindowTest;

TEST_F(MainWindowTest, WindowHasItsCaptionAndClientSize) {
    EXPECT_EQ(TextOfWindow(window->Handle()), L"Korvane");
    RECT client;
    GetClientRect(window->Handle(), &client);
    const double scale = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY) / 96.0;
    EXPECT_EQ(client.right, static_cast<LONG>(754 * scale + 0.5));
    EXPECT_EQ(client.bottom, static_cast<LONG>(577 * scale + 0.5));
}

TEST_F(MainWindowTest, EveryPageButtonShowsItsPage) {
    const auto& links = form->Navigation();
    ASSERT_EQ(links.size(), 8u);
    for (size_t i = 0; i < links.size(); ++i) {
        HWND button = window->PageButton(i);
        EXPECT_EQ(TextOfWindow(button),
                  std::wstring(links[i].button->Caption().begin(), links[i].button->Caption().end()));
        SendMessageW(button, BM_CLICK, 0, 0);
        Pump();
        EXPECT_EQ(form->MainControl.ActivePage(), links[i].page) << i;
        for (const auto& other : links)
            EXPECT_EQ(IsWindowVisible(window->ViewOf(*other.page)->Handle()) != FALSE,
                      other.page == links[i].page)
                << "after button " << i << ", page " << other.page->Name();
    }
}

TEST_F(MainWindowTest, ButtonsRenderTheirModelAndAClickCallsTheHandlerOnce) {
    HWND uninstall = Hwnd(form->tabAddRemove, form->tabAddRemove.btnUninstall);
    EXPECT_EQ(TextOfWindow(uninstall), L"&Uninstall");
    EXPECT_FALSE(IsWindowEnabled(uninstall));
    form->tabAddRemove.btnUninstall.SetEnabled(true);
    form->tabAddRemove.btnUninstall.SetCaption("Other");
    Pump();
    EXPECT_TRUE(IsWindowEnabled(uninstall));
    EXPECT_EQ(TextOfWindow(uninstall), L"Other");

    int clicks = 0;
    form->tabIE.btnCheckIE.onClick = [&] { ++clicks; };
    SendMessageW(Hwnd(form->tabIE, form->tabIE.btnCheckIE), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(clicks, 1);

    // A handler's error reaches the error box and the window goes on.
    form->tabIE.btnCheckIE.onClick = [] { throw std::runtime_error("broken handler"); };
    SendMessageW(Hwnd(form->tabIE, form->tabIE.btnCheckIE), BM_CLICK, 0, 0);
    Pump();
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Records().back().text, "broken handler");
    EXPECT_TRUE(IsWindow(window->Handle()));
}

TEST_F(MainWindowTest, LabelsGroupBoxesAndTheMemoShowTheirText) {
    form->tabBackup.lbStatus.SetCaption("Exporting HKEY_USERS & more");
    Pump();
    EXPECT_EQ(TextOfWindow(Hwnd(form->tabBackup, form->tabBackup.lbStatus)), L"Exporting HKEY_USERS & more");
    // A group box shows no underlined letter: it takes no input and would steal a button's.
    EXPECT_EQ(TextOfWindow(Hwnd(form->tabBackup, form->tabBackup.gbControlPanel)), L"Control Panel ");
    EXPECT_EQ(TextOfWindow(Hwnd(form->tabToolbar, form->tabToolbar.Display_Toolbar)), L"Display");
    std::wstring memo = TextOfWindow(Hwnd(form->tabBackup, form->tabBackup.mWarning));
    EXPECT_EQ(memo.rfind(L"It is strongly recommended", 0), 0u);
    EXPECT_NE(memo.find(L"this software.\r\n\r\nYou can select"), std::wstring::npos);
    EXPECT_NE(memo.find(L"past date.\r\n\r\nGo to the 'Backup/Restore' section"), std::wstring::npos);
}

TEST_F(MainWindowTest, CheckBoxRendersAndAClickTogglesTheModelAndRunsItsHandler) {
    PluginsPage& plugins = form->tabToolbar;
    HWND box = Hwnd(plugins, plugins.DisplayBHO_CheckBox);
    EXPECT_EQ(TextOfWindow(box), L"Browser Extensions");
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    int scans = 0;
    plugins.ScanToolbar_BitBtn.onClick = [&] { ++scans; };
    SendMessageW(box, BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(plugins.DisplayBHO_CheckBox.Checked());
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(scans, 1);

    // The autorun box in the bottom bar is rendered the same way.
    form->cbAutoRun.SetChecked(true);
    Pump();
    HWND autorun = window->AutorunBar().ViewOf(form->cbAutoRun)->Handle();
    EXPECT_EQ(TextOfWindow(autorun), L"Autorun when Windows starts");
    EXPECT_EQ(SendMessageW(autorun, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(MainWindowTest, ListViewShowsRowsColumnsAndCheckMarks) {
    HWND list = Hwnd(form->tabIE, form->tabIE.lvIE);
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_OWNERDATA);
    ASSERT_EQ(ListView_GetItemCount(list), 7);
    EXPECT_EQ(ItemText(list, 0, 0), L"Clear the Internet Explorer Typed Address History");
    EXPECT_EQ(ItemText(list, 6, 1), L"Yes");
    EXPECT_EQ(ItemText(list, 3, 2), L"Manage cookies on your system");
    const bool initially[] = {false, false, true, false, true, false, true};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(ItemChecked(list, i), initially[i]) << i;

    wchar_t title[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = title;
    column.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(list, 1, &column));
    EXPECT_EQ(std::wstring(title), L"Restart IE");
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);

    // The model changes, the list follows: rows added, removed and re-checked.
    ListView& files = form->tabIE.lvDeletedFiles;
    files.BeginUpdate();
    for (int i = 0; i < 20000; ++i) {
        ListItem row;
        row.caption = "Cache files";
        row.subItems = {"file" + std::to_string(i) + ".dat", "C:\\Cache\\"};
        row.checked = true;
        files.Add(std::move(row));
    }
    files.EndUpdate();
    files.SetChecked(19999, false);
    Pump();
    HWND fileList = Hwnd(form->tabIE, files);
    EXPECT_EQ(ListView_GetItemCount(fileList), 20000);
    EXPECT_EQ(ItemText(fileList, 19999, 1), L"file19999.dat");
    EXPECT_FALSE(ItemChecked(fileList, 19999));
    EXPECT_TRUE(ItemChecked(fileList, 0));
    files.Clear();
    Pump();
    EXPECT_EQ(ListView_GetItemCount(fileList), 0);
}

TEST_F(MainWindowTest, SpaceBarAndAClickOnTheBoxToggleTheRowOnce) {
    SendMessageW(window->PageButton(2), BM_CLICK, 0, 0);  // IE Traces Cleaning
    Pump();
    ListView& model = form->tabIE.lvIE;
    HWND list = Hwnd(form->tabIE, model);
    int clicks = 0;
    model.onClick = [&] { ++clicks; };

    // Selecting a row by the keyboard reaches the model; the space bar toggles that row.
    SetFocus(list);
    ListView_SetItemState(list, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Pump();
    EXPECT_EQ(model.FirstSelected(), 3);
    SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    Pump();
    EXPECT_TRUE(model.Checked(3));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(ItemChecked(list, 3));

    // A real click on row 0's box: the mouse is moved there and pressed.
    RECT row;
    ASSERT_TRUE(ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS));
    POINT box{-1, -1};
    for (int x = row.left; x < row.left + 40 && box.x < 0; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = {x, (row.top + row.bottom) / 2};
        if (ListView_HitTest(list, &hit) == 0 && (hit.flags & LVHT_ONITEMSTATEICON)) box = hit.pt;
    }
    ASSERT_GE(box.x, 0) << "no check box found in row 0";
    SetWindowPos(window->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump();
    POINT screen = box;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
    for (int i = 0; i < 50 && clicks < 2; ++i) {
        Sleep(20);
        Pump();
    }
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(model.Checked(0));
    EXPECT_TRUE(ItemChecked(list, 0));
}

TEST_F(MainWindowTest, TypingIntoAnEditBoxReachesItsModel) {
    IgnorePage& ignore = form->tabIgnoreList;
    HWND edit = Hwnd(ignore, ignore.edRoot);
    for (wchar_t c : std::wstring(L"HKEY_USERS")) SendMessageW(edit, WM_CHAR, c, 0);
    Pump();
    EXPECT_EQ(ignore.edRoot.Text(), "HKEY_USERS");
    SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    Pump();
    EXPECT_EQ(ignore.edRoot.Text(), "HKEY_USER");

    // The program setting the text shows it, without an echo back into the model.
    int changes = 0;
    ignore.edKeyName.SetText("Software\\\xC3\xA9t\xC3\xA9");  // "Software\été"
    HWND keyName = Hwnd(ignore, ignore.edKeyName);
    auto render = ignore.edKeyName.onChanged;
    ignore.edKeyName.onChanged = [&](Control& c) {
        ++changes;
        render(c);
    };
    Pump();
    EXPECT_EQ(TextOfWindow(keyName), L"Software\\\x00E9t\x00E9");
    EXPECT_EQ(changes, 0);
    ignore.edKeyName.onChanged = render;
}

TEST_F(MainWindowTest, ListBoxShowsItsItemsAndAUserSelectionReachesTheModel) {
    ListBox& points = form->tabBackup.ltbk;
    points.Add("12-06-2026 8_10_32 PM");
    points.Add("12-07-2026 9_00_00 AM");
    Pump();
    HWND box = Hwnd(form->tabBackup, points);
    ASSERT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 2);
    int selections = 0;
    points.onSelect = [&] { ++selections; };
    SendMessageW(box, WM_KEYDOWN, VK_DOWN, 0);  // the first line
    SendMessageW(box, WM_KEYDOWN, VK_DOWN, 0);  // the second
    Pump();
    EXPECT_EQ(points.ItemIndex(), 1);
    EXPECT_EQ(selections, 2);
    points.Delete(1);
    Pump();
    EXPECT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(box, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(MainWindowTest, ClosingTheWindowWritesBackupXml) {
    EXPECT_FALSE(memory.files().fileExists("C:\\Korvane\\Backup.xml"));
    form->history.Document().DocumentElement().AppendChild("ELEMENT").SetAttribute("NAME", "x");
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(window->Handle()));
    auto saved = memory.files().readFile("C:\\Korvane\\Backup.xml");
    ASSERT_TRUE(saved);
    EXPECT_NE(saved->find("NAME=\"x\""), std::string::npos);
    // Models changed after the window has gone reach nothing.
    form->tabIE.lvIE.SetChecked(0, true);
    form->toolE.SetCaption("gone");
}

}  // namespace
}  // namespace korvane::win32
