// The window without a mouse and through a screen reader: Tab walks each page in reading order and
// comes back round, Alt with a caption's underlined letter presses that control, a list shows which row
// has the focus, and every list and button carries a name a reader can say. Keys go through
// IsDialogMessage, as in the program's own message loop.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "win32/support/MemoryWindowFixture.h"

namespace korvane::win32::testing {
namespace {

std::string Describe(HWND window) {
    const std::wstring text = ClassOfWindow(window) + L" \"" + TextOfWindow(window).substr(0, 40) + L"\"";
    return std::string(text.begin(), text.end());
}

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
}

bool IsGroupBox(HWND window) {
    return ClassOfWindow(window) == L"Button" && (StyleOf(window) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The underlined letter of a caption, lower case; 0 when it has none.
wchar_t Mnemonic(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] != L'&') return static_cast<wchar_t>(std::towlower(caption[i + 1]));
        ++i;
    }
    return 0;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM out) {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
    return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
    std::vector<HWND> found;
    EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool Reachable(HWND window) {
    return IsWindowVisible(window) && IsWindowEnabled(window);
}

// The controls of a page a user can Tab to, in reading order: by rows from the top, left to right.
std::vector<HWND> TabStopsInReadingOrder(HWND page) {
    std::vector<HWND> stops;
    for (HWND child : Descendants(page))
        if (GetParent(child) == page && Reachable(child) && (StyleOf(child) & WS_TABSTOP))
            stops.push_back(child);
    std::stable_sort(stops.begin(), stops.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return stops;
}

// The reader's name of a window's client object, through the accessibility proxy a reader would use.
std::wstring AccessibleName(HWND window) {
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static const HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    static const auto fromWindow = oleacc ? reinterpret_cast<FromWindow>(reinterpret_cast<void*>(
                                                GetProcAddress(oleacc, "AccessibleObjectFromWindow")))
                                          : nullptr;
    if (!fromWindow) return L"<no oleacc>";
    IAccessible* object = nullptr;
    if (FAILED(fromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                          reinterpret_cast<void**>(&object))) ||
        !object)
        return L"<no object>";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result;
    if (object->get_accName(self, &name) == S_OK && name) result = name;
    SysFreeString(name);
    object->Release();
    return result;
}

class Keyboard : public MemoryWindowTest {
protected:
    void SetUp() override {
        MemoryWindowTest::SetUp();
        SetForegroundWindow(window->Handle());
        SetFocus(window->PageButton(0));
        Pump(true);
    }
    void Press(UINT key) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000000);
        Pump(true);
    }
    // Alt and a letter, as the system hands them to the focused window.
    void PressAlt(wchar_t letter) {
        PostMessageW(GetFocus(), WM_SYSCHAR, letter, 0x20000000);
        Pump(true);
    }
    HWND Page(const korvane::Page& page) { return window->ViewOf(page)->Handle(); }
    HWND AutorunBox() { return window->AutorunBar().ViewOf(form->cbAutoRun)->Handle(); }
};

TEST_F(Keyboard, TabWalksEachPageInReadingOrderAndComesBackRound) {
    for (const auto& link : form->Navigation()) {
        ShowPage(*link.page);
        std::vector<HWND> expected;
        for (size_t i = 0; i < form->Navigation().size(); ++i) expected.push_back(window->PageButton(i));
        for (HWND stop : TabStopsInReadingOrder(Page(*link.page))) expected.push_back(stop);
        expected.push_back(AutorunBox());
        expected.push_back(window->PageButton(0));

        SetFocus(window->PageButton(0));
        Pump(true);
        std::vector<HWND> visited{GetFocus()};
        for (size_t i = 1; i < expected.size(); ++i) {
            Press(VK_TAB);
            visited.push_back(GetFocus());
        }
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(visited[i], expected[i])
                << "page " << link.page->Name() << ", stop " << i << ": " << Describe(visited[i])
                << " instead of " << Describe(expected[i]);
    }
}

TEST_F(Keyboard, EveryUnderlinedLetterOfAPageIsItsOwn) {
    for (const auto& link : form->Navigation()) {
        ShowPage(*link.page);
        std::map<wchar_t, std::vector<std::string>> owners;
        std::vector<HWND> controls = Descendants(window->Handle());
        for (HWND control : controls)
            if (IsWindowVisible(control) && Mnemonic(TextOfWindow(control)) &&
                ClassOfWindow(control) != L"Static")
                owners[Mnemonic(TextOfWindow(control))].push_back(Describe(control));
        for (const auto& [letter, named] : owners)
            if (named.size() > 1)
                ADD_FAILURE() << "page " << link.page->Name() << ": Alt+" << static_cast<char>(letter)
                              << " is on " << named.front() << " and " << named.back();
    }
}

TEST_F(Keyboard, AltAndTheUnderlinedLetterPressesTheButton) {
    int pressed = 0;
    for (const auto& link : form->Navigation()) {
        ShowPage(*link.page);
        for (Control* control : link.page->Controls()) {
            if (control->Kind() != ControlKind::Button) continue;
            auto& button = static_cast<Button&>(*control);
            HWND handle = Hwnd(*link.page, button);
            const wchar_t letter = Mnemonic(TextOfWindow(handle));
            if (!letter || !Reachable(handle)) continue;
            int clicks = 0;
            auto handler = std::exchange(button.onClick, [&] { ++clicks; });
            SetFocus(window->PageButton(0));
            Pump(true);
            PressAlt(letter);
            button.onClick = std::move(handler);
            EXPECT_EQ(clicks, 1) << "page " << link.page->Name() << ": Alt+" << static_cast<char>(letter)
                                 << " for " << Describe(handle);
            ++pressed;
        }
    }
    EXPECT_GT(pressed, 10) << "too few buttons with underlined letters were found";
}

TEST_F(Keyboard, TabbingIntoAListShowsItsFocusedRow) {
    ListView& list = form->tabScanErrors.lvErrors;
    for (int i = 0; i < 60; ++i) list.Add(ListItem{"Row " + std::to_string(i), {"a", "b", "c"}});
    Pump();
    HWND handle = Hwnd(form->tabScanErrors, list);
    ASSERT_EQ(ListView_GetNextItem(handle, -1, LVNI_FOCUSED), -1);
    SetFocus(Hwnd(form->tabScanErrors, form->tabScanErrors.lvScanGroups));
    Pump(true);
    Press(VK_TAB);
    ASSERT_EQ(GetFocus(), handle);
    EXPECT_EQ(ListView_GetNextItem(handle, -1, LVNI_FOCUSED), 0) << "no row shows the focus";
    EXPECT_TRUE(list.SelectedIndices().empty()) << "arriving by Tab selects nothing";
}

TEST_F(Keyboard, ARowSelectedByTheProgramGetsTheFocusAndIsScrolledIntoView) {
    ListView& list = form->tabScanErrors.lvErrors;
    for (int i = 0; i < 200; ++i) list.Add(ListItem{"Row " + std::to_string(i), {"a", "b", "c"}});
    Pump();
    HWND handle = Hwnd(form->tabScanErrors, list);
    list.SetSelected(150, true);
    Pump();
    EXPECT_EQ(ListView_GetNextItem(handle, -1, LVNI_FOCUSED), 150);
    // Scrolled so that the row is on the page (Wine's list view does not answer LVM_ISITEMVISIBLE).
    const int top = ListView_GetTopIndex(handle);
    EXPECT_GT(top, 0);
    EXPECT_LE(top, 150);
    EXPECT_LT(150, top + ListView_GetCountPerPage(handle));
}

TEST_F(Keyboard, EveryListAndButtonHasANameForReaders) {
    std::vector<HWND> named;
    for (const auto& link : form->Navigation()) {
        ShowPage(*link.page);
        std::map<std::wstring, std::string> lists;
        for (HWND control : Descendants(Page(*link.page))) {
            const std::wstring kind = ClassOfWindow(control);
            const bool isList = kind == L"SysListView32" || kind == L"ListBox";
            const bool isButton = kind == L"Button" && !IsGroupBox(control);
            if (!IsWindowVisible(control) || (!isList && !isButton)) continue;
            const std::wstring name = AccessibleName(control);
            EXPECT_FALSE(name.empty())
                << "page " << link.page->Name() << ": " << Describe(control) << " has no name";
            EXPECT_EQ(name.find(L'&'), std::wstring::npos) << Describe(control);
            if (isList && !name.empty()) {
                EXPECT_EQ(lists.count(name), 0u)
                    << "two lists of " << link.page->Name() << " are both called "
                    << std::string(name.begin(), name.end());
                lists[name] = Describe(control);
            }
            named.push_back(control);
        }
    }
    for (size_t i = 0; i < form->Navigation().size(); ++i)
        EXPECT_FALSE(AccessibleName(window->PageButton(i)).empty()) << "page button " << i;
    EXPECT_GT(named.size(), 30u);
}

}  // namespace
}  // namespace korvane::win32::testing
