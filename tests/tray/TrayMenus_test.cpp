#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <shlobj.h>

#include "app/Ver.h"
#include "toolkit/QuorvinFiles.h"
#include "tests/tray/TrayFixture.h"

using namespace testing_support;

namespace {

class TrayClicks : public testing::Test, public TrayFormFixture {
protected:
    void SetUp() override {
        StartTray();
        TrayForm->TimerMain->SetEnabled(false);
        // Timers keep running inside a menu's own loop, so one of ours watches
        // the menus from there.
        watch = new gui::TTimer(TrayForm);
        watch->SetInterval(30);
        watch->OnTimer = [this](gui::TTimer*) { Watch(); };
    }
    void TearDown() override { StopTray(); }

    void Post(UINT code) {
        TNotifyTrayIcon* icon = TrayForm->TrayIcon;
        ::PostMessageW(icon->Handle(), WM_TRAYNOTIFY, icon->Data().uID, code);
    }

    void Watch() {
        HWND menu = OpenMenuWindow();
        if (menu && !sawMenu) {
            sawMenu = true;
            menuAfterMs = ::GetTickCount() - start;
            leftOpen = TrayForm->PPLMenu->IsOpen();
            rightOpen = TrayForm->PPRMenu->IsOpen();
            popUpL = TrayForm->FPopUpL;
            popUpR = TrayForm->FPopUpR;
            if (onMenu) onMenu();
        }
    }

    gui::TTimer* watch = nullptr;
    DWORD start = 0;
    bool sawMenu = false, leftOpen = false, rightOpen = false, popUpL = false, popUpR = false;
    DWORD menuAfterMs = 0;
    std::function<void()> onMenu;
};

TEST_F(TrayClicks, SingleLeftClickOpensTheHistoryMenuAfterTheDoubleClickTime) {
    onMenu = [] { TrayForm->Proc_CancelPopUpMenu(); };
    start = ::GetTickCount();
    Post(WM_LBUTTONDOWN);
    Post(WM_LBUTTONUP);
    WaitUntil([&] { return sawMenu; }, 5000);
    ASSERT_TRUE(sawMenu);
    EXPECT_TRUE(leftOpen);
    EXPECT_FALSE(rightOpen);
    EXPECT_TRUE(popUpL);
    EXPECT_GE(menuAfterMs + 60, ::GetDoubleClickTime()) << "not before the double-click time";
    EXPECT_TRUE(WaitUntil([] { return OpenMenuWindow() == nullptr; }, 3000)) << "cancelled";
}

TEST_F(TrayClicks, DoubleClickShowsTheHistoryWindowAndNoMenu) {
    HisForm->Hide();  // shown at start by its default start option
    ASSERT_FALSE(HisForm->Visible());
    start = ::GetTickCount();
    Post(WM_LBUTTONDOWN);
    Post(WM_LBUTTONUP);
    Post(WM_LBUTTONDBLCLK);
    Post(WM_LBUTTONUP);
    PumpMessages(::GetDoubleClickTime() + 600);
    EXPECT_FALSE(sawMenu);
    EXPECT_TRUE(HisForm->Visible());
}

TEST_F(TrayClicks, RightClickOpensTheSettingsMenu) {
    // The button is let go while the menu is up, as a user's click does.
    onMenu = [this] {
        Post(WM_RBUTTONUP);
        TrayForm->Proc_CancelPopUpMenu();
    };
    Post(WM_RBUTTONDOWN);
    WaitUntil([&] { return sawMenu; }, 5000);
    ASSERT_TRUE(sawMenu);
    EXPECT_TRUE(rightOpen);
    EXPECT_TRUE(popUpR);
    EXPECT_FALSE(popUpL);
    PumpMessages(200);
    EXPECT_FALSE(TrayForm->FPopUpR) << "the button's release clears the open state";
}

TEST_F(TrayClicks, AClickWhileTheMenuIsOpenClosesItAndDoesNotReopen) {
    int menus = 0;
    onMenu = [&] {
        ++menus;
        // The next click on the icon while the menu is up.
        Post(WM_LBUTTONDOWN);
        Post(WM_LBUTTONUP);
    };
    Post(WM_LBUTTONDOWN);
    Post(WM_LBUTTONUP);
    WaitUntil([&] { return sawMenu; }, 5000);
    ASSERT_TRUE(sawMenu);
    EXPECT_TRUE(WaitUntil([] { return OpenMenuWindow() == nullptr; }, 3000));
    sawMenu = false;
    PumpMessages(::GetDoubleClickTime() + 600);
    EXPECT_FALSE(sawMenu) << "the same click must not open it again";
    EXPECT_EQ(menus, 1);
    EXPECT_FALSE(TrayForm->FPopUpL);
}

TEST_F(TrayClicks, DisabledIconIgnoresClicks) {
    TrayForm->TrayIcon->SetEnabled(false);
    Post(WM_LBUTTONDOWN);
    Post(WM_LBUTTONUP);
    Post(WM_RBUTTONDOWN);
    Post(WM_RBUTTONUP);
    PumpMessages(::GetDoubleClickTime() + 400);
    EXPECT_FALSE(sawMenu);
}

TEST_F(TrayClicks, AboutBoxOpensModallyAndIsReleased) {
    std::wstring caption;
    bool timerWasOff = false;
    auto* closer = new gui::TTimer(TrayForm);
    closer->SetInterval(100);
    closer->OnTimer = [&](gui::TTimer* t) {
        if (!VerForm || !VerForm->Visible()) return;
        caption = VerForm->Caption();
        timerWasOff = !TrayForm->TimerMain->Enabled();
        t->SetEnabled(false);
        VerForm->OKButton->Click();
    };
    TrayForm->TimerMain->SetEnabled(true);
    TrayItem(L"PPVer")->Click();
    EXPECT_EQ(caption, L"Orvandel - バージョン情報");
    EXPECT_TRUE(timerWasOff) << "the heartbeat stops while the box is open";
    EXPECT_TRUE(TrayForm->TimerMain->Enabled());
    EXPECT_EQ(VerForm, nullptr);
    EXPECT_TRUE(FindTopWindows(L"TVerForm").empty());
}

// --- the history menu's entries ----------------------------------------------------

class HistoryMenu : public testing::Test, public TrayFormFixture {
protected:
    void SetUp() override { StartTray(); }
    void TearDown() override { StopTray(); }

    void ExpectLayout(gui::TMenuBreak expectedBreak) {
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE(i);
            gui::TMenuItem* tab = TrayForm->MPPTab[i];
            ASSERT_EQ(tab->Count(), 41);
            EXPECT_EQ(tab->Items(20), TrayForm->Menus().MPPMenuSepa[i]);
            EXPECT_TRUE(tab->Items(20)->IsLine());
            EXPECT_EQ(tab->Items(20)->Break(), expectedBreak);
            for (int j = 0; j < 40; ++j) {
                gui::TMenuItem* e = TrayForm->MPPList[i * 40 + j];
                EXPECT_EQ(tab->Items(j < 20 ? j : j + 1), e);
                EXPECT_EQ(e->Tag, j < 20 ? i * 1000 + j : i * 1000 + 100 + (j - 20));
            }
        }
    }
};

TEST_F(HistoryMenu, TagsAndTheSeparatorAtTwenty) {
    ExpectLayout(gui::TMenuBreak::mbNone);
    EXPECT_EQ(TrayForm->MPPList[0]->Tag, 0);
    EXPECT_EQ(TrayForm->MPPList[20]->Tag, 100);
    EXPECT_EQ(TrayForm->MPPList[4 * 40 + 39]->Tag, 4119);
    EXPECT_TRUE(TrayForm->PPWindow->Default());
    EXPECT_TRUE(TrayForm->PPMenuFav->Checked());
    EXPECT_FALSE(TrayForm->MPPTab[4]->Visible()) << "no two-pane Explorer category from Vista on";
}

TEST_F(HistoryMenu, WideRebuildsEveryEntryWithTheSameTags) {
    gui::TMenuItem* before = TrayForm->MPPList[0];
    size_t components = TrayForm->ComponentCount();
    TrayForm->PPMenuWide->Click();
    EXPECT_TRUE(TrayForm->PPMenuWide->Checked());
    ExpectLayout(gui::TMenuBreak::mbBreak);
    EXPECT_EQ(TrayForm->ComponentCount(), components) << "the old entries were freed";
    (void)before;
    TrayForm->PPMenuWide->Click();
    ExpectLayout(gui::TMenuBreak::mbNone);
}

TEST_F(HistoryMenu, SettingsMenuItemsAndTheirGroups) {
    struct {
        gui::TMenuItem* item;
        const wchar_t* caption;
    } items[] = {
        {TrayForm->PPCPUStop, L"CPU使用率の監視を停止"},
        {TrayForm->PPCaret, L"\u3000キャレット優先"},
        {TrayItem(L"PPClose"), L"終了"},
        {TrayForm->ExitCountdown().MPPExitWin[3], L"スリープ"},
        {TrayForm->Menus().MPPStartDelay[5], L"10秒"},
        {TrayForm->Menus().MPPCPUs[1], L"1分"},
    };
    for (const auto& i : items) EXPECT_EQ(i.item->Caption(), i.caption);
    // One choice per group.
    TrayForm->Menus().MPPStartDelay[3]->Click();
    EXPECT_EQ(TrayForm->MStartDelay, 3);
    int checked = 0;
    for (gui::TMenuItem* it : TrayForm->Menus().MPPStartDelay) checked += it->Checked();
    EXPECT_EQ(checked, 1);
    TrayForm->PPBtnCursor->Click();
    EXPECT_FALSE(TrayForm->PPBtnCursor->Checked());
    EXPECT_FALSE(TrayForm->PPCaret->Enabled());
}

}  // namespace

namespace {

class StartUpShortcut : public testing::Test, public TrayFormFixture {
protected:
    void SetUp() override { StartTray(); }
    void TearDown() override { StopTray(); }
};

TEST_F(StartUpShortcut, WrittenOnYesAndReadBackThroughTheShell) {
    std::wstring startup;
    GetShellFolderPath(9, startup);
    ASSERT_TRUE(DirectoryExistsSafe(startup));
    const std::wstring lnk = startup + L"Orvandel.lnk";
    ::DeleteFileW(lnk.c_str());

    std::vector<std::wstring> boxes;
    {
        MessageBoxAnswerer yes;  // presses the default button, "はい"
        TrayItem(L"PPStartUp")->Click();
        boxes = yes.Texts();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"スタートアップに登録しますか？");
    ASSERT_TRUE(FileExistsSafe(lnk));

    gui::ComPtr<IShellLinkW> link;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, link.put_void())));
    auto file = link.as<IPersistFile>(IID_IPersistFile);
    ASSERT_TRUE(file);
    ASSERT_TRUE(SUCCEEDED(file->Load(lnk.c_str(), STGM_READ)));
    wchar_t buf[MAX_PATH] = {};
    link->GetPath(buf, MAX_PATH, nullptr, 0);
    wchar_t exe[MAX_PATH];
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    EXPECT_EQ(std::wstring(buf), std::wstring(exe));
    link->GetWorkingDirectory(buf, MAX_PATH);
    std::wstring bin = BinDir();  // ...\build\bin\ : the shortcut starts in ...\build\ .
    std::wstring parent = bin.substr(0, bin.rfind(L'\\', bin.size() - 2) + 1);
    EXPECT_EQ(std::wstring(buf), parent);
    link->GetDescription(buf, MAX_PATH);
    EXPECT_EQ(std::wstring(buf), L"Orvandel");
    ::DeleteFileW(lnk.c_str());
}

}  // namespace
