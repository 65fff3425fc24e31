// The drawing owners against real GDI: owned objects live in scope and are gone after it, a selection
// is undone on scope exit, a paint scope validates its window, a window DC is that window's.
#include <gtest/gtest.h>

#include "win32/window/GdiHandles.h"

namespace korvane::win32 {
namespace {

UniqueHwnd ShownWindow() {
    return UniqueHwnd(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
}

TEST(GdiHandles, GdiObjectOwnersDeleteTheirObject) {
    UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    UniquePen pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    const HBRUSH rawBrush = brush.get();
    const HPEN rawPen = pen.get();
    EXPECT_EQ(GetObjectType(rawBrush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(rawPen), static_cast<DWORD>(OBJ_PEN));
    brush.reset();
    pen.reset();
    EXPECT_EQ(GetObjectType(rawBrush), 0u);
    EXPECT_EQ(GetObjectType(rawPen), 0u);
}

TEST(GdiHandles, MemoryDcIsDeleted) {
    HDC raw = nullptr;
    {
        UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        raw = dc.get();
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(raw), 0u);
}

TEST(GdiHandles, IconIsDestroyed) {
    UniqueIcon icon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
    ICONINFO info{};
    ASSERT_TRUE(icon);
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);  // GetIconInfo hands out copies
    const HICON raw = icon.get();
    icon.reset();
    EXPECT_FALSE(GetIconInfo(raw, &info));
}

// The object is selected inside the scope, the previous one after it, and only then can it be deleted.
TEST(GdiHandles, SelectedObjectSelectsThePreviousObjectBack) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_PEN);
    UniquePen pen(CreatePen(PS_SOLID, 3, RGB(255, 0, 0)));
    {
        SelectedObject selected(dc.get(), pen.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), before);
    EXPECT_TRUE(DeleteObject(pen.release()));
}

TEST(GdiHandles, WindowDcBelongsToItsWindowAndNullMeansTheScreen) {
    UniqueHwnd window = ShownWindow();
    if (!window) GTEST_SKIP() << "no display: windows cannot be created";
    WindowDc dc(window.get());
    ASSERT_TRUE(dc);
    EXPECT_EQ(WindowFromDC(dc.get()), window.get());
    WindowDc screen(nullptr);
    ASSERT_TRUE(screen);
    EXPECT_GT(GetDeviceCaps(screen.get(), LOGPIXELSY), 0);
}

TEST(GdiHandles, PaintScopePaintsTheWindowAndValidatesIt) {
    UniqueHwnd window = ShownWindow();
    if (!window) GTEST_SKIP() << "no display: windows cannot be created";
    InvalidateRect(window.get(), nullptr, FALSE);
    ASSERT_TRUE(GetUpdateRect(window.get(), nullptr, FALSE));
    {
        PaintScope paint(window.get());
        ASSERT_NE(paint.get(), nullptr);
        EXPECT_EQ(WindowFromDC(paint.get()), window.get());
    }
    EXPECT_FALSE(GetUpdateRect(window.get(), nullptr, FALSE));
}

}  // namespace
}  // namespace korvane::win32
