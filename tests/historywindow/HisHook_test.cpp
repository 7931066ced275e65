// The history window's desktop middle click and its three global hot keys:
// the mouse hook follows the cursor onto and off a desktop (a stand-in
// "Progman" of a helper program, as Wine has none), a middle click there
// pops the tray history menu up, and keys typed anywhere show the window,
// pop the menu up or close it, and show or hide the launcher.
#include <atomic>
#include <thread>

#include "app/Tray.h"
#include "app/history/Launch.h"
#include "hooklib/Hook.h"
#include "tests/historywindow/HisWindowFixture.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShortCut.h"

using namespace testing_support;

namespace {

// Waits on its own thread for a pop-up menu of this process and closes it
// with Esc, so the menu's modal loop on the test's thread returns.
class MenuCloser {
public:
    MenuCloser() : thread_([this] { Run(); }) {}
    ~MenuCloser() {
        stop_ = true;
        thread_.join();
    }
    bool Seen() const { return seen_; }

private:
    void Run() {
        const ULONGLONG end = ::GetTickCount64() + 20000;
        while (!stop_ && ::GetTickCount64() < end) {
            if (HWND menu = OpenMenuWindow(); menu && ::IsWindowVisible(menu)) {
                seen_ = true;
                PressKey(VK_ESCAPE);
                // Once more later, should the first press land before the menu's loop.
                for (int i = 0; i < 50 && !stop_ && OpenMenuWindow(); ++i) ::Sleep(100);
                if (OpenMenuWindow()) PressKey(VK_ESCAPE);
                return;
            }
            ::Sleep(20);
        }
    }
    std::atomic<bool> stop_{false}, seen_{false};
    std::thread thread_;
};

class HisHook : public history_window::HisWindowTest {
protected:
    // The window loads the hook library named like the program file: for
    // this test program that is a copy of Orvandel.dll under its name.
    void SetUp() override {
        history_window::HisWindowTest::SetUp();
        ASSERT_TRUE(::CopyFileW((BinDir() + L"Orvandel.dll").c_str(), LibraryCopy().c_str(), FALSE));
    }
    void TearDown() override {
        history_window::HisWindowTest::TearDown();
        ::DeleteFileW(LibraryCopy().c_str());
    }
    static std::wstring LibraryCopy() {
        std::wstring exe = ProgramFilePath();
        return exe.substr(0, exe.find_last_of(L'.')) + L".dll";
    }
    void StartFakeDesktop() {
        desktop_ = ChildProcess::Start(BinDir() + L"HookFakeDesktop.exe");
        ASSERT_TRUE(desktop_.Started());
        const std::wstring title = L"desktop-progman";
        ASSERT_TRUE(WaitUntil([&] { return !FindTopWindows(L"Progman", &title).empty(); }, 20000));
        progman_ = FindTopWindows(L"Progman", &title)[0];
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(progman_) != FALSE; }, 10000));
    }
    // Heartbeat ticks run the hook check until it holds (or the deadline passes).
    bool TicksUntil(bool hooked) {
        return WaitApp([&] {
            His().Hook.Proc_CheckHook();
            return His().Hook.FHook == hooked;
        }, 5000);
    }
    // The cursor rests on the window; then one tick's hook check runs.
    void CursorTo(POINT pt) {
        ASSERT_TRUE(CursorRestsAt(pt));
        His().Hook.Proc_CheckHook();
    }
    ChildProcess desktop_;
    HWND progman_ = nullptr;
};

TEST_F(HisHook, TheHookFollowsTheCursorOntoAndOffTheDesktop) {
    Start([](gui::TMemIniFile& ini) { ini.WriteBool(L"History", L"DeskTopWClick", true); });
    ASSERT_TRUE(His().Hook.MDLL) << "the hook library beside the program";
    StartFakeDesktop();
    ShowInFront();
    const POINT onDesktop = Centre(progman_);
    const POINT onWindow = Centre(Named<gui::TListBox>(His(), L"ListBoxHis")->Handle());

    CursorTo(onDesktop);
    EXPECT_TRUE(TicksUntil(true));
    CursorTo(onWindow);
    EXPECT_TRUE(TicksUntil(false));

    // While the tray history menu is open the hook stays as it is.
    TrayForm->FPopUpL = true;
    CursorTo(onDesktop);
    EXPECT_FALSE(His().Hook.FHook);
    TrayForm->FPopUpL = false;
    EXPECT_TRUE(TicksUntil(true));

    // Without the option the desktop installs nothing.
    CursorTo(onWindow);
    EXPECT_TRUE(TicksUntil(false));
    His().Lists.Settings.CHKHookDesktop = false;
    CursorTo(onDesktop);
    EXPECT_FALSE(His().Hook.FHook);
}

TEST_F(HisHook, AMiddleClickOnTheDesktopPopsUpTheHistoryMenu) {
    Start([](gui::TMemIniFile& ini) { ini.WriteBool(L"History", L"DeskTopWClick", true); });
    StartFakeDesktop();
    His().Lists.MFileList[1].Add(Path(L"メニュー.txt"));
    His().TrayMenu.Proc_PPListSet(1);
    CursorTo(Centre(progman_));
    ASSERT_TRUE(TicksUntil(true));

    MenuCloser closer;
    MiddleClickAt(Centre(progman_));
    EXPECT_TRUE(WaitApp([&] { return closer.Seen(); }, 20000)) << "the menu popped up";
    EXPECT_TRUE(WaitApp([&] { return OpenMenuWindow() == nullptr; }, 10000));
    EXPECT_FALSE(TrayForm->FPopUpL);
}

TEST_F(HisHook, HotKeysShowTheWindowPopTheMenuAndToggleTheLauncher) {
    const std::wstring show = ShortCutToText(scCtrl | scShift | VK_F10);
    const std::wstring menu = ShortCutToText(scCtrl | scShift | VK_F11);
    const std::wstring launch = ShortCutToText(scCtrl | scShift | VK_F12);
    Start([&](gui::TMemIniFile& ini) {
        ini.WriteString(L"HotKey", L"Show", show);
        ini.WriteString(L"HotKey", L"Menu", menu);
        ini.WriteString(L"HotKey", L"Launch", launch);
    });
    ASSERT_FALSE(His().Visible());

    PressKey(VK_F10, {VK_CONTROL, VK_SHIFT});
    EXPECT_TRUE(WaitApp([&] { return His().Visible(); }, 10000)) << "hot key 1 shows the window";

    ASSERT_TRUE(LaunchForm);
    const bool before = LaunchForm->Visible();
    PressKey(VK_F12, {VK_CONTROL, VK_SHIFT});
    EXPECT_TRUE(WaitApp([&] { return LaunchForm->Visible() != before; }, 10000));
    EXPECT_EQ(TrayForm->PPLaunch->Checked(), !before);
    EXPECT_EQ(LaunchForm->TrayIcon->Visible(), !before) << "the launcher's own tray icon follows it";
    PressKey(VK_F12, {VK_CONTROL, VK_SHIFT});
    EXPECT_TRUE(WaitApp([&] { return LaunchForm->Visible() == before; }, 10000));
    EXPECT_EQ(TrayForm->PPLaunch->Checked(), before);
    EXPECT_EQ(LaunchForm->TrayIcon->Visible(), before);

    {
        MenuCloser closer;
        PressKey(VK_F11, {VK_CONTROL, VK_SHIFT});
        EXPECT_TRUE(WaitApp([&] { return closer.Seen(); }, 20000)) << "hot key 2 pops the history menu up";
    }
    EXPECT_TRUE(WaitApp([&] { return OpenMenuWindow() == nullptr; }, 10000));
}

TEST_F(HisHook, TheSettingsPageTakesTheHotKeysOutUntilItIsLeft) {
    const std::wstring launch = ShortCutToText(scCtrl | scShift | VK_F12);
    Start([&](gui::TMemIniFile& ini) { ini.WriteString(L"HotKey", L"Launch", launch); });
    // A key this program holds cannot be registered by anyone else.
    auto free = [] {
        if (!::RegisterHotKey(nullptr, 0x7777, MOD_CONTROL | MOD_SHIFT, VK_F12)) return false;
        ::UnregisterHotKey(nullptr, 0x7777);
        return true;
    };
    EXPECT_FALSE(free());
    Named<gui::TPageControl>(His(), L"PageControl")->SetActivePage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
    His().PageControlChange();
    EXPECT_TRUE(free());
    EXPECT_EQ(Named<gui::TStatusBar>(His(), L"StatusBar")->PanelText(0), L"設定");
    // Closing the window leaves the settings page and registers them again.
    His().Show();
    Named<gui::TPageControl>(His(), L"PageControl")->SetActivePage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
    His().PageControlChange();
    His().Close();
    EXPECT_EQ(Named<gui::TPageControl>(His(), L"PageControl")->ActivePage(), Named<gui::TTabSheet>(His(), L"TabSheetAct"));
    EXPECT_FALSE(free());
}

}  // namespace
