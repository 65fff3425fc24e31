// The real window under Wine, driven through window messages: a click on a column header sorts a
// list that allows it (the header shows the arrow), a list that does not ignores it, and typing into
// the filter box runs its handler, which narrows the uninstall list. The program logic runs on the
// in-memory platform so that the tests touch no real registry.
#include <string>
#include <vector>

#include "win32/support/MemoryWindowFixture.h"

namespace korvane::win32 {
namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class ListSortAndFilterWindowTest : public testing::MemoryWindowTest {
protected:
    void SetUp() override {
        Seed("1", "Paint Studio", "Contoso", "10.2");
        Seed("2", "Media Player", "Fabrikam", "9.1");
        Seed("3", "Notes", "contoso", "10.10");
        MemoryWindowTest::SetUp();
        SendMessageW(window->PageButton(4), BM_CLICK, 0, 0);  // Uninstall Manager
        Pump();
    }

    static std::vector<std::wstring> Captions(HWND list) {
        std::vector<std::wstring> captions;
        for (int i = 0; i < ListView_GetItemCount(list); ++i) captions.push_back(ItemText(list, i, 0));
        return captions;
    }
    void Seed(const std::string& key, const std::string& name, const std::string& publisher,
              const std::string& version) {
        memory.registry().SetString(roots::LocalMachine, kUninstall + "\\" + key, "DisplayName", name);
        memory.registry().SetString(roots::LocalMachine, kUninstall + "\\" + key, "Publisher", publisher);
        memory.registry().SetString(roots::LocalMachine, kUninstall + "\\" + key, "DisplayVersion", version);
    }
    // A press and release of the left button in the middle of a header item, as the mouse gives them.
    void ClickHeader(HWND list, int column) {
        HWND header = ListView_GetHeader(list);
        RECT item{};
        ASSERT_TRUE(Header_GetItemRect(header, column, &item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(header, WM_LBUTTONUP, 0, at);
        Pump();
    }
    static int ArrowOf(HWND list, int column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(ListView_GetHeader(list), column, &item);
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
};

TEST_F(ListSortAndFilterWindowTest, HeaderClickSortsTheListAndShowsTheOrder) {
    UninstallPage& page = form->tabAddRemove;
    HWND list = Hwnd(page, page.lvAddRemove);
    EXPECT_FALSE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_NOSORTHEADER);
    ASSERT_EQ(Captions(list), (std::vector<std::wstring>{L"Media Player", L"Notes", L"Paint Studio"}));
    page.lvAddRemove.SetChecked(2, true);  // Paint Studio
    Pump();

    ClickHeader(list, 4);  // Version
    EXPECT_EQ(page.lvAddRemove.SortColumn(), 4);
    EXPECT_EQ(Captions(list), (std::vector<std::wstring>{L"Media Player", L"Paint Studio", L"Notes"}));
    EXPECT_EQ(ArrowOf(list, 4), HDF_SORTUP);
    EXPECT_EQ(ArrowOf(list, 0), 0);
    EXPECT_EQ(ListView_GetItemState(list, 1, LVIS_STATEIMAGEMASK) >> 12, 2u);  // the check went along

    ClickHeader(list, 4);
    EXPECT_EQ(Captions(list), (std::vector<std::wstring>{L"Notes", L"Paint Studio", L"Media Player"}));
    EXPECT_EQ(ArrowOf(list, 4), HDF_SORTDOWN);

    ClickHeader(list, 3);  // Publisher, ignoring case; equal ones keep their order
    EXPECT_EQ(Captions(list), (std::vector<std::wstring>{L"Notes", L"Paint Studio", L"Media Player"}));
    EXPECT_EQ(ArrowOf(list, 3), HDF_SORTUP);
    EXPECT_EQ(ArrowOf(list, 4), 0);
}

TEST_F(ListSortAndFilterWindowTest, AListWithoutHeaderSortingIgnoresTheClick) {
    HWND list = Hwnd(form->tabIE, form->tabIE.lvIE);
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_NOSORTHEADER);
    const std::wstring first = ItemText(list, 0, 0);
    ClickHeader(list, 0);
    EXPECT_EQ(form->tabIE.lvIE.SortColumn(), -1);
    EXPECT_EQ(ItemText(list, 0, 0), first);
}

TEST_F(ListSortAndFilterWindowTest, TypingIntoTheFilterBoxNarrowsTheList) {
    UninstallPage& page = form->tabAddRemove;
    HWND edit = Hwnd(page, page.edFilter);
    HWND list = Hwnd(page, page.lvAddRemove);
    int changes = 0;
    auto narrow = page.edFilter.onChange;
    page.edFilter.onChange = [&] {
        ++changes;
        narrow();
    };
    for (wchar_t c : std::wstring(L"CONTOSO")) SendMessageW(edit, WM_CHAR, c, 0);
    Pump();
    EXPECT_EQ(page.edFilter.Text(), "CONTOSO");
    EXPECT_EQ(changes, 7);  // once per key
    EXPECT_EQ(Captions(list), (std::vector<std::wstring>{L"Notes", L"Paint Studio"}));

    SendMessageW(edit, WM_CHAR, L'X', 0);
    Pump();
    EXPECT_EQ(ListView_GetItemCount(list), 0);

    // The program clearing the box shows it without running the handler.
    page.edFilter.SetText("");
    Pump();
    EXPECT_EQ(GetWindowTextLengthW(edit), 0);
    EXPECT_EQ(changes, 8);

    // The box spans the page's width above the list, and keeps doing so when the window grows.
    RECT box{}, rows{};
    GetWindowRect(edit, &box);
    GetWindowRect(list, &rows);
    EXPECT_EQ(box.right, rows.right);
    EXPECT_LT(box.bottom, rows.top + 2);
    RECT frame{};
    GetWindowRect(window->Handle(), &frame);
    SetWindowPos(window->Handle(), nullptr, 0, 0, frame.right - frame.left + 120, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    RECT wider{};
    GetWindowRect(edit, &wider);
    GetWindowRect(list, &rows);
    EXPECT_EQ(wider.right, rows.right);
    EXPECT_GT(wider.right - wider.left, box.right - box.left);
}

}  // namespace
}  // namespace korvane::win32
