// The window in light and dark as Windows switches the user's app mode (the registry value and the
// broadcast that Settings sends), and in high contrast: every page is photographed in both modes and
// measured (how much light background dark mode leaves, the contrast of labels, buttons, check boxes,
// rows and headers), a live switch keeps the page, rows, selection, scroll position and check marks,
// and high contrast shows the system's colours. The form runs on the in-memory platform; the app mode
// is Windows' own setting, read from the real registry.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/ListView.h"
#include "win32/platform/Text.h"
#include "win32/support/MemoryWindowFixture.h"
#include "win32/support/ProgramFolder.h"
#include "win32/window/Theme.h"
#include "win32/window/WindowShot.h"

namespace korvane::win32::testing {
namespace {

constexpr wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t kAppsUseLightTheme[] = L"AppsUseLightTheme";

// Puts the user's app mode back as it was found (or removes the value) when it goes.
class AppModeKeeper {
public:
    AppModeKeeper() {
        DWORD value = 0, size = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, kPersonalize, kAppsUseLightTheme, RRF_RT_REG_DWORD, nullptr,
                         &value, &size) == ERROR_SUCCESS)
            saved_ = value;
    }
    ~AppModeKeeper() {
        if (saved_) {
            Write(*saved_);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, kAppsUseLightTheme);
        }
        Broadcast();
    }
    AppModeKeeper(const AppModeKeeper&) = delete;
    AppModeKeeper& operator=(const AppModeKeeper&) = delete;

    // As Settings does: the value, then the broadcast.
    static void SwitchTo(bool dark) {
        Write(dark ? 0 : 1);
        Broadcast();
    }

private:
    static void Write(DWORD value) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kPersonalize, kAppsUseLightTheme, REG_DWORD, &value, sizeof value);
    }
    static void Broadcast() {
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                            reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG, 2000, nullptr);
    }

    std::optional<DWORD> saved_;
};

// Where a group box's caption stands, in `top`'s client coordinates: after an indent of about one
// character, as wide as its text.
RECT CaptionOfGroupBox(HWND box, HWND top) {
    WindowDc dc(box);
    SelectedObject withFont(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    wchar_t caption[256] = {};
    const int length = GetWindowTextW(box, caption, 256);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), caption, length, &extent);
    const RECT r = RectIn(top, box);
    return RECT{r.left + metrics.tmAveCharWidth + 2, r.top, r.left + metrics.tmAveCharWidth + extent.cx,
                r.top + metrics.tmHeight};
}

// The common controls the program itself gets from its manifest (version 6: themed, custom-drawn,
// with their own button classes), for the controls created while this lives. The test program has no
// manifest of its own; Korvane.exe, built beside it, lends its.
class ProgramControls {
public:
    ProgramControls() {
        const std::wstring exe = (ProgramFolder() / L"Korvane.exe").wstring();
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.lpSource = exe.c_str();
        context.lpResourceName = MAKEINTRESOURCEW(1);
        context_ = CreateActCtxW(&context);
        if (context_ != INVALID_HANDLE_VALUE) active_ = ActivateActCtx(context_, &cookie_) != FALSE;
    }
    ~ProgramControls() {
        if (active_) DeactivateActCtx(0, cookie_);
        if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
    }
    ProgramControls(const ProgramControls&) = delete;
    ProgramControls& operator=(const ProgramControls&) = delete;
    bool Active() const { return active_; }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

class ColorModeWindowTest : public MemoryWindowTest {
protected:
    // The window is made with the program's controls, as Korvane.exe shows it.
    void SetUp() override {
        controls_ = std::make_unique<ProgramControls>();
        ASSERT_TRUE(controls_->Active()) << "no activation context from Korvane.exe's manifest";
        MemoryWindowTest::SetUp();
    }
    void TearDown() override {
        MemoryWindowTest::TearDown();
        controls_.reset();
    }

    void SwitchTo(bool dark) {
        AppModeKeeper::SwitchTo(dark);
        Pump();
    }

    // Every list of the page gets rows (its own, or some made up) with a few checked and the second
    // selected; every label something to show.
    static void FillPage(Page& page) {
        for (Control* control : page.Controls()) {
            if (control->Kind() == ControlKind::Label && control->Caption().empty())
                control->SetCaption("Text of " + control->Name());
            if (control->Kind() != ControlKind::ListView) continue;
            auto& list = static_cast<ListView&>(*control);
            for (int i = list.Count(); i < 40; ++i) {
                ListItem row;
                row.caption = "Row " + std::to_string(i);
                for (size_t column = 1; column < list.columns.size(); ++column)
                    row.subItems.push_back("Cell " + std::to_string(column) + " of row " + std::to_string(i));
                row.checked = i % 3 == 0;
                list.Add(std::move(row));
            }
            if (list.Count() > 1) list.SetSelected(1, true);
        }
    }

    // What must be readable on the page as shown: each visible label, enabled button and check box,
    // group box caption, the first row, the selected row and the header of each list.
    void ExpectReadable(const WindowShot& shot, Page& page, const std::string& mode) {
        HWND top = window->Handle();
        const int px20 = MulDiv(20, static_cast<int>(window->Dpi()), 96);
        for (Control* control : page.Controls()) {
            HWND handle = Hwnd(page, *control);
            if (!handle || !IsWindowVisible(handle)) continue;
            RECT r = RectIn(top, handle);
            const std::string what = page.Name() + "." + control->Name() + " (" + mode + ")";
            switch (control->Kind()) {
                case ControlKind::Label:
                    if (!control->Caption().empty()) {
                        EXPECT_GE(shot.TextContrast(r), 4.5) << what;
                    }
                    break;
                case ControlKind::Button:
                    if (!IsWindowEnabled(handle)) break;
                    InflateRect(&r, -3, -3);
                    EXPECT_GE(shot.TextContrast(r), 4.5) << what;
                    break;
                case ControlKind::CheckBox:
                    r.left += px20;  // the caption, past the box
                    EXPECT_GE(shot.TextContrast(r), 4.5) << what;
                    break;
                case ControlKind::GroupBox:
                    if (control->Caption().empty()) break;
                    // The caption alone: the frame's line beside it would stand out from the ground
                    // whatever colour the caption has.
                    EXPECT_GE(shot.TextContrast(CaptionOfGroupBox(handle, top)), 4.5) << what;
                    break;
                case ControlKind::ListView: {
                    auto& list = static_cast<ListView&>(*control);
                    EXPECT_GE(shot.TextContrast(RectIn(top, ListView_GetHeader(handle))), 4.5)
                        << what << " header";
                    for (int row : {0, 1}) {
                        if (row >= list.Count()) break;
                        RECT label{};
                        ListView_GetItemRect(handle, row, &label, LVIR_LABEL);
                        MapWindowPoints(handle, top, reinterpret_cast<POINT*>(&label), 2);
                        EXPECT_GE(shot.TextContrast(label), 4.5) << what << " row " << row;
                    }
                    break;
                }
                default:
                    break;
            }
        }
    }

    void SaveForAFailure(const WindowShot& shot, const std::string& name) {
        if (HasFailure()) shot.Save(std::filesystem::path(Widen("colour-" + name + ".bmp")));
    }

    AppModeKeeper keeper;
    std::unique_ptr<ProgramControls> controls_;
};

TEST_F(ColorModeWindowTest, EveryPageIsReadableInLightAndDarkAndDarkLeavesLittleLight) {
    SwitchTo(false);
    for (const auto& link : form->Navigation()) {
        ShowPage(*link.page);
        FillPage(*link.page);
        Pump();
        for (bool dark : {false, true}) {
            SwitchTo(dark);
            const std::string mode = dark ? "dark" : "light";
            ASSERT_EQ(window->Colors().Mode(), dark ? ColorMode::Dark : ColorMode::Light);
            WindowShot shot(window->Handle());
            ASSERT_FALSE(shot.Empty());
            const double light = shot.LightBackgroundShare();
            if (dark)
                EXPECT_LT(light, 0.04) << link.page->Name();
            else
                EXPECT_GT(light, 0.25) << link.page->Name();  // the picture is real: light mode is light
            ExpectReadable(shot, *link.page, mode);
            SaveForAFailure(shot, link.page->Name() + "-" + mode);
        }
        SwitchTo(false);
    }
}

// What a list shows, read from the window.
struct ShownList {
    int count = 0;
    int top = -1;
    std::vector<int> selected;
    std::vector<bool> checked;
    std::wstring caption40;
    bool operator==(const ShownList&) const = default;
};

ShownList Shown(HWND list) {
    ShownList shown;
    shown.count = ListView_GetItemCount(list);
    shown.top = ListView_GetTopIndex(list);
    for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(list, i, LVNI_SELECTED))
        shown.selected.push_back(i);
    for (int i = 0; i < shown.count; ++i)
        shown.checked.push_back((ListView_GetItemState(list, i, LVIS_STATEIMAGEMASK) >> 12) == 2);
    wchar_t text[256] = {};
    ListView_GetItemText(list, 40, 1, text, 256);
    shown.caption40 = text;
    return shown;
}

TEST_F(ColorModeWindowTest, LiveSwitchKeepsThePageRowsSelectionScrollAndChecks) {
    SwitchTo(false);
    ShowPage(form->tabStartup);
    ListView& list = form->tabStartup.lvStartup;
    for (int i = list.Count(); i < 200; ++i)
        list.Add(ListItem{"Entry " + std::to_string(i), {"cmd" + std::to_string(i), "HKCU Run"}, i % 4 == 1});
    list.SetSelected(57, true);
    Pump();
    HWND handle = Hwnd(form->tabStartup, list);
    ListView_EnsureVisible(handle, 120, FALSE);
    ListView_EnsureVisible(handle, 57, FALSE);
    Pump();
    const ShownList before = Shown(handle);
    ASSERT_EQ(before.selected, std::vector<int>{57});
    ASSERT_GT(before.top, 0);  // scrolled: the switch must keep it so
    const std::vector<int> modelSelection = list.SelectedIndices();

    for (bool dark : {true, false}) {
        SwitchTo(dark);
        EXPECT_EQ(window->Colors().Mode(), dark ? ColorMode::Dark : ColorMode::Light);
        EXPECT_EQ(form->MainControl.ActivePage(), &form->tabStartup);
        EXPECT_TRUE(IsWindowVisible(window->ViewOf(form->tabStartup)->Handle()));
        EXPECT_EQ(Hwnd(form->tabStartup, list), handle);  // the same control, not a new one
        EXPECT_EQ(Shown(handle), before) << (dark ? "dark" : "light");
        EXPECT_EQ(list.SelectedIndices(), modelSelection);
        EXPECT_EQ(list.Count(), 200);
    }
}

TEST_F(ColorModeWindowTest, OtherSettingChangesAndAnUnannouncedValueChangeNothing) {
    SwitchTo(false);
    DWORD dark = 0;
    RegSetKeyValueW(HKEY_CURRENT_USER, kPersonalize, kAppsUseLightTheme, REG_DWORD, &dark, sizeof dark);
    Pump();
    EXPECT_EQ(window->Colors().Mode(), ColorMode::Light);  // Windows has not said so yet
    SendMessageW(window->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"));
    Pump();
    EXPECT_EQ(window->Colors().Mode(), ColorMode::Light);
    SendMessageW(window->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
    Pump();
    EXPECT_EQ(window->Colors().Mode(), ColorMode::Dark);
}

// Pixels of the header's own text colour in the upper and the lower half of the arrow's place at the
// right of column `column`: an arrow pointing up is wide at the bottom.
struct ArrowShape {
    int upper = 0, lower = 0;
};

ArrowShape ArrowIn(const WindowShot& shot, HWND top, HWND list, int column, UINT dpi) {
    HWND header = ListView_GetHeader(list);
    RECT item{};
    Header_GetItemRect(header, column, &item);
    MapWindowPoints(header, top, reinterpret_cast<POINT*>(&item), 2);
    const int reach = MulDiv(20, static_cast<int>(dpi), 96);
    const int middle = (item.top + item.bottom) / 2;
    const Rgb ground = shot.Ground(item);
    ArrowShape shape;
    for (int y = item.top + 1; y < item.bottom - 1; ++y)
        for (int x = item.right - reach; x < item.right - 2; ++x)
            if (ContrastRatio(shot.At(x, y), ground) >= 3.0) ++(y < middle ? shape.upper : shape.lower);
    return shape;
}

TEST_F(ColorModeWindowTest, DarkHeaderShowsTheSortArrowEachWay) {
    SwitchTo(true);
    ShowPage(form->tabStartup);
    ListView& list = form->tabStartup.lvStartup;
    for (int i = list.Count(); i < 20; ++i)
        list.Add(ListItem{"Entry " + std::to_string(i), {"cmd", "HKCU Run"}});
    HWND handle = Hwnd(form->tabStartup, list);
    HWND top = window->Handle();
    list.SortByColumn(1, false);
    Pump();
    const ArrowShape up = ArrowIn(WindowShot(top), top, handle, 1, window->Dpi());
    EXPECT_GT(up.lower, up.upper) << up.upper << " above, " << up.lower << " below";
    list.SortByColumn(1, true);
    Pump();
    const ArrowShape down = ArrowIn(WindowShot(top), top, handle, 1, window->Dpi());
    EXPECT_GT(down.upper, down.lower) << down.upper << " above, " << down.lower << " below";
    // The other columns show none.
    const ArrowShape none = ArrowIn(WindowShot(top), top, handle, 0, window->Dpi());
    EXPECT_EQ(none.upper + none.lower, 0);
}

// System colours no palette of ours has, for the length of a test, and high contrast on where the
// system lets a program turn it on.
class HighContrastScope {
public:
    HighContrastScope() {
        for (int i = 0; i < kCount; ++i) saved_[i] = GetSysColor(kIndices[i]);
        SetSysColors(kCount, kIndices, kContrast);
        HIGHCONTRASTW contrast{sizeof contrast, HCF_HIGHCONTRASTON, nullptr};
        set_ =
            SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, SPIF_SENDCHANGE) != FALSE;
    }
    ~HighContrastScope() {
        if (set_) {
            HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
            SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, SPIF_SENDCHANGE);
        }
        SetSysColors(kCount, kIndices, saved_);
    }
    HighContrastScope(const HighContrastScope&) = delete;
    HighContrastScope& operator=(const HighContrastScope&) = delete;

    // False where the system refuses (Wine answers ERROR_INVALID_SPI_VALUE).
    bool SetBySystem() const { return set_; }
    static bool IsSystemColour(Rgb c) {
        for (int i = 0; i <= COLOR_MENUBAR; ++i) {
            const COLORREF s = GetSysColor(i);
            if (GetRValue(s) == c.red && GetGValue(s) == c.green && GetBValue(s) == c.blue) return true;
        }
        return false;
    }

    static constexpr int kCount = 8;
    static constexpr int kIndices[kCount] = {COLOR_WINDOW,   COLOR_WINDOWTEXT, COLOR_BTNFACE,
                                             COLOR_BTNTEXT,  COLOR_HIGHLIGHT,  COLOR_HIGHLIGHTTEXT,
                                             COLOR_GRAYTEXT, COLOR_BTNSHADOW};
    static constexpr COLORREF kContrast[kCount] = {RGB(0, 0, 0),       RGB(255, 255, 1),  RGB(1, 0, 0),
                                                   RGB(254, 255, 255), RGB(26, 235, 255), RGB(0, 0, 1),
                                                   RGB(63, 242, 63),   RGB(128, 128, 129)};

private:
    COLORREF saved_[kCount] = {};
    bool set_ = false;
};

TEST_F(ColorModeWindowTest, HighContrastShowsOnlySystemColours) {
    SwitchTo(true);  // high contrast wins over a dark app mode
    ShowPage(form->tabScanErrors);
    FillPage(form->tabScanErrors);
    Pump();
    HighContrastScope contrast;
    Pump();
    if (contrast.SetBySystem()) {
        // Windows: the system's broadcast alone switches the window.
        ASSERT_EQ(window->Colors().Mode(), ColorMode::HighContrast);
    } else {
        // Wine cannot turn high contrast on: the window is told as Windows' broadcast would tell it,
        // and the drawing with the system colours is measured all the same.
        EXPECT_EQ(window->Colors().Mode(), ColorMode::Dark);
        window->ShowColorMode(ColorMode::HighContrast);
        Pump();
    }
    WindowShot shot(window->Handle());
    ASSERT_FALSE(shot.Empty());
    HWND top = window->Handle();
    RECT client;
    GetClientRect(top, &client);
    // Sampled where no text, icon or line is drawn.
    struct Sample {
        const char* what;
        POINT at;
    };
    std::vector<Sample> samples{{"banner, left", {4, 4}},
                                {"banner, right", {client.right - 4, 4}},
                                {"bottom bar", {client.right - 4, client.bottom - 4}}};
    for (size_t i : {size_t{0}, size_t{1}}) {
        const RECT button = RectIn(top, window->PageButton(i));
        samples.push_back(
            {i == 0 ? "active page button" : "page button", {button.right - 4, button.top + 4}});
    }
    HWND errors = Hwnd(form->tabScanErrors, form->tabScanErrors.lvErrors);
    RECT row{};
    ListView_GetItemRect(errors, 0, &row, LVIR_BOUNDS);
    MapWindowPoints(errors, top, reinterpret_cast<POINT*>(&row), 2);
    samples.push_back({"list row", {row.right - 6, (row.top + row.bottom) / 2}});
    const RECT header = RectIn(top, ListView_GetHeader(errors));
    samples.push_back({"list header", {header.right - 6, (header.top + header.bottom) / 2}});
    const RECT start = RectIn(top, Hwnd(form->tabScanErrors, form->tabScanErrors.btnStartScan));
    samples.push_back({"push button", {start.left + 4, start.top + 4}});
    for (const Sample& sample : samples) {
        const Rgb colour = shot.At(sample.at.x, sample.at.y);
        EXPECT_TRUE(HighContrastScope::IsSystemColour(colour))
            << sample.what << ": " << int(colour.red) << "," << int(colour.green) << "," << int(colour.blue);
    }
    // And no colour of the light or dark palette shows up in place of a system one.
    const Palette dark = PaletteFor(ColorMode::Dark, SystemColors{});
    const Palette light = PaletteFor(ColorMode::Light, SystemColors{});
    for (const Sample& sample : samples) {
        const Rgb colour = shot.At(sample.at.x, sample.at.y);
        for (Rgb ours : {dark.background, dark.fieldBackground, dark.pageButtonFace, dark.headerBackground,
                         light.background, light.fieldBackground, light.pageButtonFace, light.bannerFrom})
            EXPECT_FALSE(colour == ours) << sample.what;
    }
    SaveForAFailure(shot, "high-contrast");
}

}  // namespace
}  // namespace korvane::win32::testing
