// The program's one top-level window: it renders MainForm — the banner, the eight page buttons, the
// page area (one plain child container per page, one visible at a time, no tabs) and the bottom bar
// with the autorun box — and hands every input to the models. It holds no program logic. Every size,
// font and picture follows the DPI of the monitor the window is on, also when it moves to another.
// Its colours follow Windows: the user's app mode (light or dark) or high contrast, at start and
// whenever Windows says they changed.
#pragma once

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "win32/platform/Win32Registry.h"
#include "win32/window/Accessibility.h"
#include "win32/window/GdiHandles.h"
#include "win32/window/PageView.h"
#include "win32/window/Theme.h"
#include "win32/window/WindowBase.h"

namespace korvane::win32 {

class MainWindow : public WindowBase<MainWindow> {
public:
    static constexpr const wchar_t* kClassName = L"KorvaneMainWindow";
    static constexpr int kClientWidth = 754;
    static constexpr int kClientHeight = 577;

    // Creates the window (hidden), centred on the desktop, with a view of every control.
    explicit MainWindow(MainForm& form);
    ~MainWindow();

    // Shows the window the way the program starts: runs FormShow, then shows it.
    void Show(int showCommand);

    // For tests and tools: the views of the pages and the page buttons.
    PageView* ViewOf(const Page& page) const;
    HWND PageButton(size_t index) const { return pageButtons_.at(index); }
    PageView& AutorunBar() const { return *autorunBar_; }
    // The program's version as the banner shows it ("Version 1.0.0").
    HWND VersionLabel() const { return versionLabel_; }
    UINT Dpi() const { return dpi_; }
    // The colours shown now.
    const ColorScheme& Colors() const { return colors_; }
    // Shows `mode` with the system colours of now, as a change of Windows' settings does. For tests on
    // a system that cannot switch itself (Wine cannot turn high contrast on); the next change of the
    // settings brings back the mode Windows asks for.
    void ShowColorMode(ColorMode mode);
    // Renders every pending model change now.
    void RenderPending();

    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void PlaceOnMonitor();
    void CreateFonts();
    void CreatePageButtons();
    void LoadPageIcons();
    HICON LoadPageIcon(SHSTOCKICONID stock, LPCWSTR fallback, int size);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnSettingChange(WPARAM action, const wchar_t* area);
    void ApplyColors();
    void CreatePageViews();
    void LayOut();
    void ShowActivePage();
    void OnPaint();
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void DrawPageButton(const DRAWITEMSTRUCT& item, size_t index);
    void DrawVersionLabel(const DRAWITEMSTRUCT& item);
    void OnCommand(WORD id, WORD code);
    void OnClose();
    void OnDestroy();
    int Px(double units) const { return static_cast<int>(units * scale_ + 0.5); }

    ComApartment com_;  // first in, last out
    MainForm& form_;
    bool quitOnDestroy_ = true;  // closing the window ends the message loop
    Win32Registry settings_;     // the user's app mode is Windows' setting, whatever registry the form uses
    ColorScheme colors_;
    UINT dpi_ = 96;
    double scale_ = 1.0;  // pixels per layout unit: dpi_ / 96
    UniqueFont font_;
    UniqueFont buttonFont_;
    std::wstring fontFace_;
    std::vector<HWND> pageButtons_;  // children: destroyed with the window
    HWND versionLabel_ = nullptr;
    std::vector<UniqueIcon> ownedIcons_;
    std::vector<HICON> icons_;
    std::vector<std::unique_ptr<PageView>> pages_;
    std::unique_ptr<Page> autorunPanel_;
    std::unique_ptr<PageView> autorunBar_;
};

}  // namespace korvane::win32
