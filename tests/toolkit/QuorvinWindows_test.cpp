#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/HelperWindows.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinWindows.h"

using helper_windows::MakeWindow;
using helper_windows::WindowHost;
using testing_support::ScratchDir;
using testing_support::WaitUntil;

namespace {

bool SamePath(const std::wstring& a, const std::wstring& b) { return ::_wcsicmp(a.c_str(), b.c_str()) == 0; }

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

const DWORD kVisibleFrame = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

TEST(OtherWindows, ForegroundFocusAndCaret) {
    WindowHost host;
    ASSERT_TRUE(host.Start({
        L"class=OrvFgHost\ttitle=前面テスト\tx=300\ty=200\tw=420\th=300",
        L"class=EDIT\tsys=1\tparent=0\tid=11\tx=10\ty=10\tw=300\th=24\ttitle=一つ目",
        L"class=EDIT\tsys=1\tparent=0\tid=12\tx=10\ty=80\tw=300\th=24\ttitle=二つ目",
    }));
    gui::OwnedWindow own = MakeWindow(L"自分の窓", kVisibleFrame, 40, 40, 200, 150);
    ASSERT_TRUE(own);
    ::SetForegroundWindow(own.get());
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == own.get(); }, 3000));

    EXPECT_TRUE(ForceForegroundWindow(host[0]));
    EXPECT_EQ(::GetForegroundWindow(), host[0]);
    EXPECT_TRUE(ForceForegroundWindow(host[0])) << "already in front";

    for (int i : {2, 1}) {
        SCOPED_TRACE(testing::Message() << "edit " << i);
        SetFocusAcrossThreads(host[i]);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundFocusWindow() == host[i]; }, 3000));
        POINT pt{-1, -1};
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundCaretPos(pt); }, 3000));
        RECT r{};
        ::GetWindowRect(host[i], &r);
        EXPECT_TRUE(::PtInRect(&r, pt)) << "caret at " << pt.x << "," << pt.y;
    }

    EXPECT_TRUE(ForceForegroundWindow(own.get()));
    EXPECT_EQ(::GetForegroundWindow(), own.get());
    POINT pt{};
    EXPECT_FALSE(GetForegroundCaretPos(pt)) << "the program's own window";
}

TEST(OtherWindows, BoundsUnlessParkedAsMinimised) {
    gui::OwnedWindow w = MakeWindow(L"枠", kVisibleFrame, 120, 130, 300, 200);
    ASSERT_TRUE(w);
    int x = 0, y = 0, cx = 0, cy = 0;
    ASSERT_TRUE(GetWindowBounds(w.get(), x, y, cx, cy));
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 130);
    EXPECT_EQ(cx, 300);
    EXPECT_EQ(cy, 200);

    // Windows parks minimised windows there (Wine lines them up at the bottom).
    ::MoveWindow(w.get(), -32000, -32000, 160, 24, FALSE);
    RECT r{1, 2, 3, 4};
    EXPECT_FALSE(GetWindowRectUnlessMinimized(w.get(), r));
    x = y = cx = cy = 7;
    EXPECT_FALSE(GetWindowBounds(w.get(), x, y, cx, cy));
    EXPECT_EQ(x + y + cx + cy, 28) << "outputs untouched";

    ::MoveWindow(w.get(), -32000, 5, 160, 24, FALSE);
    EXPECT_TRUE(GetWindowRectUnlessMinimized(w.get(), r)) << "only both at -32000 mean parked";
    EXPECT_EQ(r.left, -32000);

    HWND gone = w.get();
    w.reset();
    EXPECT_FALSE(GetWindowBounds(gone, x, y, cx, cy));
}

TEST(OtherWindows, TitleClassAndProgramOfAnotherProgram) {
    WindowHost host;
    ASSERT_TRUE(host.Start({
        L"class=OrvTitled\ttitle=タイトル  \tx=100\ty=100",
        L"class=OrvHidden\ttitle=隠れた窓\tstyle=0x00CF0000",
        L"class=OrvUntitled\ttitle=",
    }));
    std::wstring t = L"x", c = L"x", e = L"x";
    GetWindowTitleClassExe(host[0], t, c, e);
    EXPECT_EQ(t, L"タイトル") << "trailing blanks trimmed";
    EXPECT_EQ(c, L"OrvTitled");
    EXPECT_TRUE(SamePath(e, host.Exe())) << testing::PrintToString(e);
    EXPECT_EQ(FileNameOf(e), L"OrvWindowHost.exe") << "true case";

    for (int i : {1, 2}) {
        t = c = e = L"x";
        GetWindowTitleClassExe(host[i], t, c, e);
        EXPECT_EQ(t + c + e, L"") << "window " << i;
    }
    t = c = e = L"x";
    GetWindowTitleClassExe(nullptr, t, c, e);
    EXPECT_EQ(t + c + e, L"");

    std::wstring p;
    GetWindowExePath(host[2], p);
    EXPECT_TRUE(SamePath(p, host.Exe())) << "also for a window without a title";
    EXPECT_TRUE(CanQueryWindowProcess(host[0]));

    host.Stop();
    p = L"x";
    GetWindowExePath(host[0], p);
    EXPECT_EQ(p, L"") << "no process behind the window";
    EXPECT_FALSE(CanQueryWindowProcess(host[0]));
}

TEST(OtherWindows, ProgramOfA64BitProcessHasItsDriveLetter) {
    HWND tray = FindTaskbarWindow();
    ASSERT_TRUE(tray) << "Wine's desktop has a taskbar window";
    EXPECT_EQ(TaskbarWnd, tray);
    wchar_t cls[64] = {};
    ::GetClassNameW(tray, cls, 64);
    EXPECT_STREQ(cls, L"Shell_TrayWnd");

    // Wine's explorer is a 64-bit process: a 32-bit caller cannot list its modules.
    DWORD pid = testing_support::WindowProcessId(tray);
    gui::Handle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    ASSERT_TRUE(process);
    wchar_t buf[MAX_PATH] = {};
    ASSERT_EQ(::GetModuleFileNameExW(process.get(), nullptr, buf, MAX_PATH), 0u);

    wchar_t full[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    ASSERT_TRUE(::QueryFullProcessImageNameW(process.get(), 0, full, &size));
    std::wstring path;
    GetWindowExePath(tray, path);
    EXPECT_EQ(path, full);
    EXPECT_EQ(path.substr(1, 2), L":\\");
    EXPECT_TRUE(SamePath(FileNameOf(path), L"explorer.exe")) << testing::PrintToString(path);
}

TEST(OtherWindows, WindowUnderTheCursor) {
    gui::OwnedWindow w = MakeWindow(L"カーソルの下", WS_POPUP | WS_VISIBLE, 300, 300, 200, 100,
                                    nullptr, WS_EX_TOPMOST);
    ASSERT_TRUE(w);
    ASSERT_TRUE(testing_support::CursorRestsAt({400, 350}));
    EXPECT_EQ(GetWindowUnderCursor(), w.get());
    std::wstring title, cls;
    EXPECT_EQ(GetWindowUnderCursorInfo(title, cls), w.get());
    EXPECT_EQ(title, L"カーソルの下");
    EXPECT_EQ(cls, L"OrvTestWindow");
}

TEST(OtherWindows, TopLevelAndCaptionedAncestors) {
    gui::OwnedWindow owner = MakeWindow(L"持ち主", kVisibleFrame, 100, 100, 400, 300);
    gui::OwnedWindow popup = MakeWindow(L"", WS_POPUP | WS_VISIBLE, 150, 150, 200, 150, owner.get());
    gui::OwnedWindow child = MakeWindow(L"子", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, popup.get());
    gui::OwnedWindow hiddenCaption = MakeWindow(L"隠れ", WS_CHILD | WS_CAPTION, 0, 60, 80, 50, popup.get());
    gui::OwnedWindow captionChild =
        MakeWindow(L"見出し", WS_CHILD | WS_CAPTION | WS_VISIBLE, 90, 0, 80, 50, popup.get());
    gui::OwnedWindow bare = MakeWindow(L"枠なし", WS_POPUP | WS_VISIBLE, 500, 100, 100, 100);
    ASSERT_TRUE(owner && popup && child && hiddenCaption && captionChild && bare);

    struct {
        const char* what;
        HWND wnd, top, captioned;
    } cases[] = {
        {"child of an owned popup", child.get(), owner.get(), owner.get()},
        {"owned popup", popup.get(), owner.get(), owner.get()},
        {"owner", owner.get(), owner.get(), owner.get()},
        {"hidden child with caption", hiddenCaption.get(), owner.get(), owner.get()},
        {"visible child with caption", captionChild.get(), owner.get(), captionChild.get()},
        {"top-level without caption", bare.get(), bare.get(), bare.get()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GetTopLevelWindow(c.wnd), c.top);
        EXPECT_EQ(GetCaptionedAncestor(c.wnd), c.captioned);
    }
}

TEST(OtherWindows, BareStoreAppWindows) {
    WindowHost host;
    ASSERT_TRUE(host.Start({
        L"class=Windows.UI.Core.CoreWindow\ttitle=コア",
        L"class=ApplicationFrameWindow\ttitle=枠と中身",
        L"class=Windows.UI.Core.CoreWindow\ttitle=中身\tparent=1",
        L"class=ApplicationFrameWindow\ttitle=枠だけ",
        L"class=OrvFrameChild\ttitle=ほか\tparent=3",
        L"class=OrvPlainApp\ttitle=普通",
    }));
    struct {
        int index;
        bool bare;
    } cases[] = {{0, true}, {1, false}, {3, true}, {5, false}};
    for (const auto& c : cases) {
        wchar_t cls[260] = {};
        ::GetClassNameW(host[c.index], cls, 260);
        EXPECT_EQ(IsBareUwpWindow(host[c.index], cls), c.bare) << "window " << c.index;
    }
}

TEST(OtherWindows, NextVisibleWindowInZOrder) {
    gui::OwnedWindow a = MakeWindow(L"上", kVisibleFrame, 100, 100, 200, 100);
    gui::OwnedWindow b = MakeWindow(L"間", WS_OVERLAPPEDWINDOW, 110, 110, 200, 100);
    gui::OwnedWindow c = MakeWindow(L"下", kVisibleFrame, 120, 120, 200, 100);
    ASSERT_TRUE(a && b && c);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(b.get(), a.get(), 0, 0, 0, 0, flags);
    ::SetWindowPos(c.get(), b.get(), 0, 0, 0, 0, flags);
    ASSERT_EQ(::GetWindow(a.get(), GW_HWNDNEXT), b.get());
    EXPECT_EQ(GetNextVisibleWindow(a.get()), c.get()) << "the hidden one is skipped";
    ::ShowWindow(b.get(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(GetNextVisibleWindow(a.get()), b.get());
    ::SetWindowPos(c.get(), HWND_BOTTOM, 0, 0, 0, 0, flags);
    EXPECT_EQ(GetNextVisibleWindow(c.get()), nullptr) << "the end of the list";
}

TEST(OtherWindows, ChildSearchByExactClass) {
    WindowHost host;
    ASSERT_TRUE(host.Start({
        L"class=OrvSearchRoot\ttitle=探す",
        L"class=OrvMiddle\tparent=0",
        L"class=OrvDeep\tparent=1",
        L"class=OrvDeepToo\tparent=0",
    }));
    EXPECT_EQ(FindChildWindowByClass(host[0], L"OrvDeep"), host[2]) << "a grandchild";
    EXPECT_EQ(FoundChildWnd, host[2]);
    EXPECT_EQ(FindChildClassName, L"OrvDeep");
    EXPECT_EQ(FindChildWindowByClass(host[0], L"OrvDeepToo"), host[3]);
    EXPECT_EQ(FindChildWindowByClass(host[0], L"orvdeep"), nullptr) << "case counts";
    EXPECT_EQ(FoundChildWnd, nullptr);
    EXPECT_EQ(FindChildWindowByClass(host[0], L"OrvSearchRoot"), nullptr) << "not the parent itself";
    EXPECT_EQ(FindChildWindowByClass(host[2], L"OrvDeep"), nullptr);
    // Without a parent nothing is searched (not every top-level window).
    EXPECT_EQ(FindChildWindowByClass(nullptr, L"OrvSearchRoot"), nullptr);
}

TEST(OtherWindows, NormalAppWindowFilter) {
    gui::OwnedWindow normal = MakeWindow(L"普通の窓", kVisibleFrame, 100, 100, 300, 200);
    gui::OwnedWindow desktop = MakeWindow(L"Program Manager", kVisibleFrame, 100, 100, 300, 200);
    gui::OwnedWindow hidden = MakeWindow(L"隠れた窓", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200);
    gui::OwnedWindow untitled = MakeWindow(L"", kVisibleFrame, 100, 100, 300, 200);
    gui::OwnedWindow minimised = MakeWindow(L"最小化", kVisibleFrame, 100, 100, 300, 200);
    ::ShowWindow(minimised.get(), SW_MINIMIZE);
    gui::OwnedWindow away = MakeWindow(L"画面の外", kVisibleFrame, 5000, 5000, 300, 200);
    gui::OwnedWindow parked = MakeWindow(L"退避", kVisibleFrame, -32000, -32000, 300, 200);
    gui::OwnedWindow partly = MakeWindow(L"はみ出し", kVisibleFrame, -250, -150, 300, 200);
    gui::OwnedWindow maxAway = MakeWindow(L"最大化", kVisibleFrame, 100, 100, 300, 200);
    ::ShowWindow(maxAway.get(), SW_MAXIMIZE);
    ::SetWindowPos(maxAway.get(), nullptr, 5000, 5000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(::IsIconic(minimised.get()));
    ASSERT_TRUE(::IsZoomed(maxAway.get()));

    struct {
        const char* what;
        HWND wnd;
        bool anywhere, onScreen;
    } cases[] = {
        {"normal", normal.get(), true, true},
        {"desktop title", desktop.get(), false, false},
        {"hidden", hidden.get(), false, false},
        {"untitled", untitled.get(), false, false},
        {"minimised", minimised.get(), false, false},
        {"off every monitor", away.get(), true, false},
        {"parked without bounds", parked.get(), true, false},
        {"one corner on screen", partly.get(), true, true},
        {"maximised off screen", maxAway.get(), true, true},
        {"no window", nullptr, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsNormalAppWindow(c.wnd, false), c.anywhere);
        EXPECT_EQ(IsNormalAppWindow(c.wnd, true), c.onScreen);
    }
}

TEST(OtherWindows, ListableAppWindowsLeaveShellPartsOut) {
    WindowHost host;
    const std::wstring at = L"\tw=200\th=150\tx=";
    ASSERT_TRUE(host.Start({
        L"class=ViewControlClass\ttitle=表示スライダー コントロール" + at + L"10\ty=10",
        L"class=SysDragImage\ttitle=Drag" + at + L"30\ty=30",
        L"class=DV2ControlHost\ttitle=スタート メニュー" + at + L"50\ty=50",
        L"class=VANUITooltip\ttitle=View Available Networks (Tooltip)" + at + L"70\ty=70",
        L"class=DV2ControlHost\ttitle=ジャンプ リスト" + at + L"90\ty=90",
        L"class=Button\tsys=1\ttitle=スタート" + at + L"110\ty=110",
        L"class=OrvListable\ttitle=ジャンプ リスト" + at + L"130\ty=130",
        L"class=DV2ControlHost\ttitle=別の題" + at + L"150\ty=150",
        L"class=OrvDisabled\ttitle=無効\tstyle=0x18CF0000" + at + L"170\ty=170",
        L"class=OrvTiny\ttitle=小さい\tstyle=0x90000000\tw=10\th=10\tx=190\ty=190",
        L"class=OrvFarLeft\ttitle=遠く" + at + L"-10500\ty=100",
        L"class=OrvEdge\ttitle=端" + at + L"-9999\ty=9999",
        L"class=OrvMinimised\ttitle=最小化\tshow=6" + at + L"210\ty=210",
    }));
    struct {
        int index;
        bool listable;
    } cases[] = {{0, false}, {1, false}, {2, false}, {3, false}, {4, false}, {5, true},  {6, true},
                 {7, true},  {8, false}, {9, false}, {10, false}, {11, true}, {12, false}};
    for (const auto& c : cases) {
        std::wstring e, t, cl;
        EXPECT_EQ(IsListableAppWindow(host[c.index], e, t, cl), c.listable) << "window " << c.index;
    }

    std::wstring e, t, cl;
    EXPECT_FALSE(IsListableAppWindow(host[0], e, t, cl));
    EXPECT_EQ(t, L"表示スライダー コントロール") << "outputs filled for a rejected shell window";
    EXPECT_EQ(cl, L"ViewControlClass");
    EXPECT_TRUE(SamePath(e, host.Exe()));
    EXPECT_TRUE(IsListableAppWindow(host[5], e, t, cl));
    EXPECT_EQ(t, L"スタート");
    EXPECT_EQ(cl, L"Button");

    e = t = cl = L"untouched";
    EXPECT_FALSE(IsListableAppWindow(host[9], e, t, cl));
    EXPECT_EQ(t, L"untouched") << "a window failing the size test is not read";
}

TEST(OtherWindows, ExplorersStartButtonIsNoProgramWindow) {
    // A program named like Explorer showing a "スタート" button.
    ScratchDir dir;
    std::wstring exe = dir / L"Explorer.EXE";
    ASSERT_TRUE(::CopyFileW((testing_support::BinDir() + L"OrvWindowHost.exe").c_str(), exe.c_str(), FALSE));
    {
        WindowHost host;
        ASSERT_TRUE(host.Start({L"class=Button\tsys=1\ttitle=スタート\tw=200\th=60",
                                L"class=OrvExplorerWindow\ttitle=スタート"},
                               exe));
        std::wstring e, t, cl;
        EXPECT_FALSE(IsListableAppWindow(host[0], e, t, cl));
        EXPECT_EQ(FileNameOf(e), L"Explorer.EXE");
        EXPECT_TRUE(IsListableAppWindow(host[1], e, t, cl)) << "another class of the same title";
    }
}

TEST(OtherWindows, FileDialogTest) {
    WindowHost host;
    ASSERT_TRUE(host.Start({
        L"class=#32770\tsys=1\ttitle=開く\tstyle=0x10CF0000",
        L"class=SHELLDLL_DefView\tparent=0",
        L"class=Button\tsys=1\tparent=0\tid=1\ttitle=OK\ty=160\tw=60\th=20",
        L"class=Button\tsys=1\tparent=0\tid=2\ttitle=Cancel\ty=160\tx=70\tw=60\th=20",
        L"class=#32770\tsys=1\ttitle=新しい開く",
        L"class=DUIViewWndClassName\tparent=4",
        L"class=Button\tsys=1\tparent=4\tid=1\ttitle=OK",
        L"class=Button\tsys=1\tparent=4\tid=2\ttitle=Cancel",
        L"class=#32770\tsys=1\ttitle=取消なし",
        L"class=SHELLDLL_DefView\tparent=8",
        L"class=Button\tsys=1\tparent=8\tid=1\ttitle=OK",
        L"class=#32770\tsys=1\ttitle=奥の一覧",
        L"class=OrvPane\tparent=11",
        L"class=SHELLDLL_DefView\tparent=12",
        L"class=Button\tsys=1\tparent=11\tid=1\ttitle=OK",
        L"class=Button\tsys=1\tparent=11\tid=2\ttitle=Cancel",
        L"class=OrvNotDialog\ttitle=ダイアログ以外",
        L"class=SHELLDLL_DefView\tparent=16",
        L"class=Button\tsys=1\tparent=16\tid=1\ttitle=OK",
        L"class=Button\tsys=1\tparent=16\tid=2\ttitle=Cancel",
    }));
    struct {
        int index;
        bool dialog;
    } cases[] = {{0, true}, {4, true}, {8, false}, {11, false}, {16, false}};
    for (const auto& c : cases) EXPECT_EQ(IsFileDialogWindow(host[c.index]), c.dialog) << "window " << c.index;
}

TEST(OtherWindows, RealOpenDialogIsAFileDialog) {
    auto child = testing_support::ChildProcess::Start(testing_support::BinDir() + L"OrvWindowHost.exe",
                                                      L"/opendialog");
    ASSERT_TRUE(child.Started());
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND w : testing_support::FindTopWindows(L"#32770"))
                if (testing_support::WindowProcessId(w) == child.Pid() && ::IsWindowVisible(w)) dialog = w;
            return dialog != nullptr;
        },
        15000));
    EXPECT_TRUE(IsFileDialogWindow(dialog));
}

TEST(OtherWindows, ExplorerAddressBar) {
    ScratchDir dir;
    std::wstring folder = dir / L"アドレス先";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    auto explorer = [](const std::wstring& text, int base, bool withProgress) {
        std::vector<std::wstring> l;
        auto p = [&](int i) { return L"\tparent=" + std::to_wstring(base + i); };
        l.push_back(L"class=OrvExplorer\ttitle=エクスプローラー");
        l.push_back(L"class=WorkerW" + p(0));
        l.push_back(L"class=ReBarWindow32" + p(1));
        l.push_back(L"class=Address Band Root" + p(2));
        if (withProgress) l.push_back(L"class=msctls_progress32" + p(3));
        l.push_back(L"class=Breadcrumb Parent" + p(withProgress ? 4 : 3));
        l.push_back(L"class=ToolbarWindow32\ttitle=" + text + p(withProgress ? 5 : 4));
        return l;
    };
    std::vector<std::wstring> lines;
    auto add = [&](const std::vector<std::wstring>& l) { lines.insert(lines.end(), l.begin(), l.end()); };
    add(explorer(L"アドレス: " + folder, 0, true));                  // 0
    add(explorer(L"アドレス: " + folder + L"\\無い", 7, true));      // 7
    add(explorer(L"アドレス: " + folder, 14, false));                // 14
    add(explorer(L"", 20, true));                                     // 20
    WindowHost host;
    ASSERT_TRUE(host.Start(lines));
    struct {
        int index;
        std::wstring path;
    } cases[] = {{0, folder}, {7, L""}, {14, L""}, {20, L""}};
    for (const auto& c : cases) {
        std::wstring p = L"junk";
        GetExplorerAddressBarPath(host[c.index], p);
        EXPECT_EQ(p, c.path) << "explorer " << c.index;
    }
}

TEST(OtherWindows, DesktopViewHost) {
    ASSERT_EQ(FindDesktopViewHostWindow(), nullptr) << "Wine's desktop has no icon view";
    {
        WindowHost host;
        ASSERT_TRUE(host.Start({
            L"class=WorkerW\ttitle=",
            L"class=Progman\ttitle=Program Manager",
            L"class=SHELLDLL_DefView\tparent=1",
            L"class=WorkerW\ttitle=",
            L"class=OrvPane\tparent=3",
            L"class=SHELLDLL_DefView\tparent=4",
        }));
        EXPECT_EQ(FindDesktopViewHostWindow(), host[1]);
        EXPECT_EQ(DesktopViewHostWnd, host[1]);
        EXPECT_FALSE(IsNormalAppWindow(host[1], false)) << "the desktop is no program window";
    }
    EXPECT_EQ(FindDesktopViewHostWindow(), nullptr);
    EXPECT_EQ(DesktopViewHostWnd, nullptr);
}

}  // namespace
