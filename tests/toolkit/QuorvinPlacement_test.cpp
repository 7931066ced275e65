#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "tests/toolkit/HelperWindows.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinWindows.h"

using helper_windows::MakeWindow;

namespace {

RECT PrimaryMonitor() {
    MONITORINFO mi{sizeof(mi)};
    ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &mi);
    return mi.rcMonitor;
}

RECT Bounds(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return r;
}

::testing::AssertionResult HasBounds(HWND wnd, int x, int y, int w, int h) {
    RECT r = Bounds(wnd);
    if (r.left == x && r.top == y && r.right - r.left == w && r.bottom - r.top == h)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "window at " << r.left << "," << r.top << " " << r.right - r.left << "x"
           << r.bottom - r.top << ", expected " << x << "," << y << " " << w << "x" << h;
}

TEST(Placement, RectOffScreenLooksAtCornersAndCentre) {
    RECT m = PrimaryMonitor();
    const int W = m.right, H = m.bottom;
    ASSERT_GT(W, 0);
    struct {
        const char* what;
        int x, y, w, h;
        bool off;
    } cases[] = {
        {"inside", 100, 100, 300, 200, false},
        {"far right and below", W + 500, H + 500, 300, 200, true},
        {"left of the screen", -1000, 100, 300, 200, true},
        {"only the top-left corner on", W - 10, H - 10, 300, 200, false},
        {"only the bottom-right corner on", -290, -190, 300, 200, false},
        {"only the top-right corner on", -290, H - 10, 300, 200, false},
        {"only the bottom-left corner on", W - 10, -190, 300, 200, false},
        {"corners off, centre on", -100, -100, W + 200, H + 200, false},
        {"a band across the screen with corners and centre off", -3 * W, H / 2, 4 * W + 400, 10, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsRectOffScreen(c.x, c.y, c.w, c.h), c.off);
    }
}

TEST(Placement, TaskbarAsTheShellReportsIt) {
    // Wine's desktop keeps a one-pixel taskbar at the bottom edge.
    APPBARDATA data{sizeof(data)};
    ASSERT_TRUE(::SHAppBarMessage(ABM_GETTASKBARPOS, &data));
    ASSERT_EQ(data.uEdge, static_cast<UINT>(ABE_BOTTOM));
    RECT r{};
    EXPECT_EQ(GetTaskbarEdge(r), TaskbarEdgeBottom);
    EXPECT_TRUE(::EqualRect(&r, &data.rc));
    EXPECT_EQ(r.bottom, PrimaryMonitor().bottom);
    EXPECT_TRUE(IsTaskbarAlwaysOnTop());
}

TEST(Placement, MonitorIndexOfAWindow) {
    gui::OwnedWindow w = MakeWindow(L"モニター", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    ASSERT_TRUE(w);
    EXPECT_EQ(GetWindowMonitorIndex(w.get()), 0);
    ::MoveWindow(w.get(), 9000, 9000, 300, 200, FALSE);
    EXPECT_EQ(GetWindowMonitorIndex(w.get()), 0) << "the nearest monitor";
    EXPECT_EQ(GetWindowMonitorIndex(nullptr), 0);
}

// The primary work area widened over the taskbar, as the modes use it.
RECT PlacementArea() {
    RECT a{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &a, 0);
    APPBARDATA data{sizeof(data)};
    ::SHAppBarMessage(ABM_GETTASKBARPOS, &data);
    if (data.uEdge == ABE_BOTTOM) a.bottom += data.rc.bottom - data.rc.top;
    return a;
}

TEST(Placement, ModesAgainstTheWorkArea) {
    RECT a = PlacementArea();
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    APPBARDATA data{sizeof(data)};
    ::SHAppBarMessage(ABM_GETTASKBARPOS, &data);
    ASSERT_EQ(a.bottom, work.bottom + (data.rc.bottom - data.rc.top)) << "the taskbar is added below";

    const int L = a.left, T = a.top, R = a.right, B = a.bottom;
    const int x0 = 120, y0 = 90, w0 = 310, h0 = 215;
    struct {
        int mode, x, y, w, h;
    } cases[] = {
        {0, x0, T, w0, B - T},
        {1, L, y0, R - L, h0},
        {2, x0, T, w0, h0},
        {3, x0, B - h0, w0, h0},
        {4, L, y0, w0, h0},
        {5, R - w0, y0, w0, h0},
        {6, L, T, w0, h0},
        {7, R - w0, T, w0, h0},
        {8, L, B - h0, w0, h0},
        {9, R - w0, B - h0, w0, h0},
        {10, (R - w0) / 2, (B - h0) / 2, w0, h0},
        {11, L, T, R, B / 2},
        {12, L, B / 2, R, B / 2},
        {13, L, T, R / 2, B - T},
        {14, R / 2, T, R / 2, B - T},
        {15, x0, y0, w0, h0},
        {-1, x0, y0, w0, h0},
    };
    gui::OwnedWindow w = MakeWindow(L"配置", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x0, y0, w0, h0);
    ASSERT_TRUE(w);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        ::MoveWindow(w.get(), x0, y0, w0, h0, FALSE);
        PlaceWindowInWorkArea(w.get(), c.mode);
        EXPECT_TRUE(HasBounds(w.get(), c.x, c.y, c.w, c.h));
    }

    // A window parked as minimised has no bounds to change.
    ::MoveWindow(w.get(), -32000, -32000, w0, h0, FALSE);
    PlaceWindowInWorkArea(w.get(), 10);
    EXPECT_TRUE(HasBounds(w.get(), -32000, -32000, w0, h0));
}

TEST(Placement, EnsureOnScreenCentresOnlyLostWindows) {
    RECT a = PlacementArea();
    const int w0 = 300, h0 = 200;
    gui::OwnedWindow w = MakeWindow(L"画面内", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, w0, h0);
    ASSERT_TRUE(w);

    // Saved on a monitor that is gone.
    ::MoveWindow(w.get(), a.right + 2000, 100, w0, h0, FALSE);
    EnsureWindowOnScreen(w.get());
    EXPECT_TRUE(HasBounds(w.get(), (a.right - w0) / 2, (a.bottom - h0) / 2, w0, h0));

    // One corner still on the screen.
    ::MoveWindow(w.get(), -w0 + 20, -h0 + 20, w0, h0, FALSE);
    EnsureWindowOnScreen(w.get());
    EXPECT_TRUE(HasBounds(w.get(), -w0 + 20, -h0 + 20, w0, h0));

    ::MoveWindow(w.get(), 50, 60, w0, h0, FALSE);
    EnsureWindowOnScreen(w.get());
    EXPECT_TRUE(HasBounds(w.get(), 50, 60, w0, h0));

    // A window parked as minimised has no bounds to centre: it stays parked.
    ::MoveWindow(w.get(), -32000, -32000, w0, h0, FALSE);
    EnsureWindowOnScreen(w.get());
    EXPECT_TRUE(HasBounds(w.get(), -32000, -32000, w0, h0));

    // A maximised window is never moved, wherever it is.
    ::ShowWindow(w.get(), SW_MAXIMIZE);
    ASSERT_TRUE(::IsZoomed(w.get()));
    ::SetWindowPos(w.get(), nullptr, a.right + 3000, a.bottom + 3000, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT before = Bounds(w.get());
    ASSERT_TRUE(IsRectOffScreen(before.left, before.top, before.right - before.left,
                                before.bottom - before.top));
    EnsureWindowOnScreen(w.get());
    RECT after = Bounds(w.get());
    EXPECT_TRUE(::EqualRect(&before, &after));
}

}  // namespace
