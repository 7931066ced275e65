// The target window: the window just below the program's own in Z order,
// unless it is of a kind that cannot take a paste or a folder; and the hints
// of the tool buttons that follow it.
#include "tests/acting/ActingFixture.h"

#include <cwctype>

#include "tests/toolkit/HelperWindows.h"
#include "toolkit/QuorvinPlacement.h"

namespace {

using helper_windows::MakeWindow;
using helper_windows::WindowHost;
using testing_support::BinDir;
using testing_support::ClipboardText;
using testing_support::ScratchDir;

class Target : public acting::ActingTest {};

enum Host : size_t {
    kNormal, kTApplication, kOffScreen, kMdiOwner, kMdiChild, kTiny, kDisabled, kProgramManager, kMinimised,
    kCoreWindow, kBareFrame, kFrame, kFrameCore, kToolWindow, kHidden, kTaskbar, kUntitled
};

TEST_F(Target, TheWindowBelowUnlessOfAnExcludedKind) {
    WindowHost host;
    ASSERT_TRUE(host.Start({
        L"class=ActNormal\ttitle=普通",
        L"class=TApplication\ttitle=Other App",
        L"class=ActNormal\ttitle=画面の外\tx=12000\ty=100",
        L"class=MDIClient\ttitle=MDI親",
        L"class=ActNormal\ttitle=MDI子\tstyle=0x90C00000\towner=3",
        L"class=ActNormal\ttitle=小さい\tstyle=0x90000000\tw=5\th=5",
        L"class=ActNormal\ttitle=無効\tstyle=0x18CF0000",
        L"class=ActNormal\ttitle=Program Manager",
        L"class=ActNormal\ttitle=最小化\tshow=7",
        L"class=Windows.UI.Core.CoreWindow\ttitle=Store",
        L"class=ApplicationFrameWindow\ttitle=Frame",
        L"class=ApplicationFrameWindow\ttitle=Frame2",
        L"class=Windows.UI.Core.CoreWindow\ttitle=Core\tparent=11",
        L"class=ActNormal\ttitle=ツール\texstyle=0x80",
        L"class=ActNormal\ttitle=隠れ\tstyle=0x00CF0000",
        L"class=Shell_TrayWnd\ttitle=",
        L"class=ActNormal\ttitle=",
    }));
    ASSERT_TRUE(host.Settle()) << "the new windows settle in front";
    gui::OwnedWindow own = MakeWindow(L"このプログラム", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    ASSERT_TRUE(own);

    struct Case {
        const char* what;
        std::vector<HWND> below;
        HWND expected;
    } cases[] = {
        {"another program's window", {host[kNormal]}, host[kNormal]},
        {"an application window", {host[kTApplication], host[kNormal]}, nullptr},
        {"off the screen", {host[kOffScreen], host[kNormal]}, nullptr},
        {"owned by an MDI client", {host[kMdiChild], host[kNormal]}, nullptr},
        {"smaller than a caption button", {host[kTiny], host[kNormal]}, nullptr},
        {"disabled", {host[kDisabled], host[kNormal]}, nullptr},
        {"the desktop's title", {host[kProgramManager], host[kNormal]}, nullptr},
        {"minimised", {host[kMinimised], host[kNormal]}, nullptr},
        {"a store app's core window", {host[kCoreWindow], host[kNormal]}, nullptr},
        {"a store app's frame without its core", {host[kBareFrame], host[kNormal]}, nullptr},
        {"a store app's frame with its core", {host[kFrame], host[kNormal]}, host[kFrame]},
        {"another program's tool window", {host[kToolWindow], host[kNormal]}, host[kToolWindow]},
        {"another program's hidden window is passed over", {host[kHidden], host[kNormal]}, host[kNormal]},
        {"the taskbar is passed over", {host[kTaskbar], host[kNormal]}, host[kNormal]},
        {"untitled", {host[kUntitled], host[kNormal]}, nullptr},
        {"this program's own window", {own.get(), host[kNormal]}, nullptr},
    };
    ASSERT_TRUE(::IsIconic(host[kMinimised]));
    ASSERT_FALSE(::IsWindowVisible(host[kHidden]));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StackBelowProgram(c.below);
        ASSERT_EQ(::GetWindow(ProgramWindow(), GW_HWNDNEXT), c.below[0]) << "the Z order as arranged";
        His().Target.Proc_GetTarget();
        EXPECT_EQ(His().Target.MClipHandle, c.expected);
    }

    // When the walk finds nothing, the window last seen in front is taken if
    // it may be a target; the taskbar and this program's windows are never
    // remembered as that window.
    struct FrontCase {
        const char* what;
        HWND front;
        HWND expected;
    } fronts[] = {
        {"another program's window", host[kNormal], host[kNormal]},
        {"an application window", host[kTApplication], nullptr},
        {"minimised", host[kMinimised], nullptr},
    };
    for (const FrontCase& c : fronts) {
        SCOPED_TRACE(c.what);
        His().Target.MFrontWin = nullptr;
        His().Target.Proc_RememberFront(c.front);
        StackBelowProgram({host[kDisabled], host[kNormal]});
        His().Target.Proc_GetTarget();
        EXPECT_EQ(His().Target.MClipHandle, c.expected);
    }

    // The program's window left below the window the user was in: the walk
    // would find an older window, the one last seen in front is taken. One
    // that stays on top says nothing about where the walk started.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    for (bool topmost : {false, true}) {
        SCOPED_TRACE(topmost ? "front window stays on top" : "front window above the program's");
        His().Target.MFrontWin = host[kToolWindow];
        StackBelowProgram({host[kNormal]});
        ::SetWindowPos(host[kToolWindow], topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, flags);
        His().Target.Proc_GetTarget();
        EXPECT_EQ(His().Target.MClipHandle, topmost ? host[kNormal] : host[kToolWindow]);
        ::SetWindowPos(host[kToolWindow], HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    }

    His().Target.MFrontWin = host[kNormal];
    His().Target.Proc_RememberFront(host[kTaskbar]);
    His().Target.Proc_RememberFront(own.get());
    EXPECT_EQ(His().Target.MFrontWin, host[kNormal]) << "neither the taskbar nor this program's window";
    His().Target.MFrontWin = nullptr;
}

TEST_F(Target, ASecondCopyOfThisProgramIsNoTarget) {
    ScratchDir dir;
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring name = self;
    name = name.substr(name.rfind(L'\\') + 1);
    // The window host under this program's file name, in upper case.
    for (auto& ch : name) ch = static_cast<wchar_t>(::towupper(ch));
    std::wstring copy = dir / name;
    ASSERT_TRUE(::CopyFileW((BinDir() + L"OrvWindowHost.exe").c_str(), copy.c_str(), FALSE));
    WindowHost twin, other;
    ASSERT_TRUE(twin.Start({L"class=ActNormal\ttitle=二つ目"}, copy));
    ASSERT_TRUE(twin.Settle()) << "the new windows settle in front";
    ASSERT_TRUE(other.Start({L"class=ActNormal\ttitle=別"}));
    ASSERT_TRUE(other.Settle()) << "the new windows settle in front";
    StackBelowProgram({twin[0], other[0]});
    His().Target.Proc_GetTarget();
    EXPECT_EQ(His().Target.MClipHandle, nullptr);
    StackBelowProgram({other[0], twin[0]});
    His().Target.Proc_GetTarget();
    EXPECT_EQ(His().Target.MClipHandle, other[0]);
}

TEST_F(Target, ClipboardHintAndPictureFollowTheTarget) {
    WindowHost host;
    ASSERT_TRUE(host.Start({L"class=ActNormal\ttitle=貼り付け先", L"class=ActNormal\ttitle=外\tx=-12000"}));
    ASSERT_TRUE(host.Settle()) << "the new windows settle in front";
    His().Lists.Settings.Tab = 0;
    StackBelowProgram({host[0]});
    His().Target.Proc_GetTarget();
    EXPECT_EQ(testing_support::Named<gui::TToolButton>(His(), L"TBexe")->Hint, L"貼り付け [Enter]");
    EXPECT_FALSE(His().TBexeIcon.Empty()) << "the target program's icon";

    // The same target again leaves the hints alone.
    testing_support::Named<gui::TToolButton>(His(), L"TBexe")->Hint = L"unchanged";
    His().Target.Proc_GetTarget();
    EXPECT_EQ(testing_support::Named<gui::TToolButton>(His(), L"TBexe")->Hint, L"unchanged");

    StackBelowProgram({host[1], host[0]});
    His().Target.Proc_GetTarget();
    EXPECT_EQ(His().Target.MClipHandle, nullptr);
    EXPECT_EQ(testing_support::Named<gui::TToolButton>(His(), L"TBexe")->Hint, L"コピー [Enter]");
    EXPECT_TRUE(His().TBexeIcon.Empty());
}

TEST_F(Target, WithoutATargetAClipboardEntryIsOnlyCopied) {
    WindowHost host;
    ASSERT_TRUE(host.Start({L"class=ActNormal\ttitle=外\tx=-12000"}));
    ASSERT_TRUE(host.Settle()) << "the new windows settle in front";
    StackBelowProgram({host[0]});
    His().Lists.MFileList[0].Add(L"コピーだけ");
    ExecuteHistoryRow(0);
    EXPECT_EQ(His().Target.MClipHandle, nullptr);
    EXPECT_EQ(ClipboardText(), L"コピーだけ");

    His().Lists.MFileList[0].Insert(0, L"メニューから");
    His().TrayMenu.Proc_PPListClick(0);
    EXPECT_EQ(ClipboardText(), L"メニューから");
}

TEST_F(Target, TheWindowClosesAfterAnActionWhenSetTo) {
    WindowHost host;
    ASSERT_TRUE(host.Start({L"class=ActNormal\ttitle=外\tx=-12000"}));
    ASSERT_TRUE(host.Settle()) << "the new windows settle in front";
    testing_support::Named<gui::TToolButton>(His(), L"TBExeClose")->SetDown(true);
    His().Show();
    ASSERT_TRUE(His().Visible());
    StackBelowProgram({host[0]});
    // Nothing to paste into: the action does less than it could, the window closes all the same.
    His().Lists.MFileList[0].Add(L"閉じる");
    ExecuteHistoryRow(0);
    EXPECT_FALSE(His().Visible());
}

TEST_F(Target, FolderHintsByTargetKind) {
    WindowHost host;
    ASSERT_TRUE(host.Start({
        L"class=CabinetWClass\ttitle=一枚",
        L"class=ExploreWClass\ttitle=二枚",
        L"class=#32770\tsys=1\ttitle=ファイルを開く",
        L"class=SHELLDLL_DefView\tparent=2\tid=1121",
        L"class=Button\tsys=1\tparent=2\tid=1\ttitle=開く",
        L"class=Button\tsys=1\tparent=2\tid=2\ttitle=キャンセル",
        L"class=ActNormal\ttitle=普通",
    }));
    ASSERT_TRUE(host.Settle()) << "the new windows settle in front";
    const HWND cabinet = host[0], explore = host[1], dialog = host[2], normal = host[6];
    const std::wstring open = L"開く [Enter]", move = L"移動 [Enter]";
    const std::wstring upOpenK = L"一つ上のフォルダを開く [ALT+K]", upMoveK = L"一つ上のフォルダに移動 [ALT+K]";
    const std::wstring upOpenL = L"一つ上のフォルダを開く [ALT+L]", upMoveL = L"一つ上のフォルダに移動 [ALT+L]";
    struct Case {
        int tab;
        HWND target;
        std::wstring exe, upExp, upFol;
    } cases[] = {
        {3, cabinet, move, upOpenK, upMoveL}, {3, dialog, move, upOpenK, upMoveL},
        {3, explore, open, upOpenK, upOpenL}, {3, normal, open, upOpenK, upOpenL},
        {4, explore, move, upMoveK, upOpenL}, {4, dialog, move, upMoveK, upOpenL},
        {4, cabinet, open, upOpenK, upOpenL}, {4, normal, open, upOpenK, upOpenL},
    };
    for (const Case& c : cases) {
        wchar_t title[64] = {};
        ::GetWindowTextW(c.target, title, 64);
        SCOPED_TRACE(testing::Message() << "tab " << c.tab << " " << gui::WideToUtf8(title));
        His().Lists.Settings.Tab = c.tab;
        His().Target.MClipHandleB = nullptr;
        StackBelowProgram({c.target});
        His().Target.Proc_GetTarget();
        ASSERT_EQ(His().Target.MClipHandle, c.target);
        EXPECT_EQ(testing_support::Named<gui::TToolButton>(His(), L"TBexe")->Hint, c.exe);
        EXPECT_EQ(testing_support::Named<gui::TToolButton>(His(), L"TBUpExp")->Hint, c.upExp);
        EXPECT_EQ(testing_support::Named<gui::TToolButton>(His(), L"TBUpFol")->Hint, c.upFol);
    }
}

}  // namespace
