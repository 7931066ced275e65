#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/monitors/RAM.h"
#include "gui/Exception.h"
#include "gui/IniFile.h"
#include "gui/TextCodec.h"
#include "tests/support/TrayConfig.h"
#include "tests/toolkit/HelperWindows.h"
#include "tests/tray/TrayFixture.h"

using testing_support::ReadBytes;

namespace {

class TrayForm_ : public testing::Test, public TrayFormFixture {
protected:
    void TearDown() override { StopTray(); }
};

// Whether the shell knows the icon (a modify of an unknown icon fails).
bool ShellHasIcon(const TNotifyTrayIcon& icon) {
    TNotifyIconDataEx data = icon.Data();
    data.uFlags = 0;
    return ::Shell_NotifyIconW(NIM_MODIFY, reinterpret_cast<NOTIFYICONDATAW*>(&data)) != FALSE;
}

TEST_F(TrayForm_, FirstStartDefaultsAndConfigWrittenOnce) {
    StartTray();
    EXPECT_EQ(TrayForm->MCPUDisp, 0);
    EXPECT_EQ(TrayForm->MStartDelay, 0);
    EXPECT_EQ(TrayForm->MPPTrayPanelC, 0);
    EXPECT_TRUE(TrayForm->PPBtnCursor->Checked());
    EXPECT_TRUE(TrayForm->PPCaret->Checked());
    EXPECT_TRUE(TrayForm->PPMenuFav->Checked());
    EXPECT_FALSE(TrayForm->PPCPUStop->Checked());
    EXPECT_TRUE(TrayForm->Menus().MPPCPUDisp[0]->Checked());
    EXPECT_TRUE(TrayForm->TimerMain->Enabled());
    EXPECT_TRUE(TrayForm->TrayIcon->Enabled());
    EXPECT_TRUE(ShellHasIcon(*TrayForm->TrayIcon)) << "the CPU icon is in the notification area";
    EXPECT_FALSE(testing_support::ReadBytes(dir / L"Config.ini").size()) << "nothing written yet";

    EXPECT_TRUE(TrayForm->CloseQuery());
    EXPECT_TRUE(TrayForm->FClose);
    EXPECT_FALSE(TrayForm->TimerMain->Enabled());
    EXPECT_FALSE(ShellHasIcon(*TrayForm->TrayIcon)) << "the icon is hidden at the close";
    std::string first = ReadBytes(dir / L"Config.ini");
    ASSERT_FALSE(first.empty());

    // A second close request (from the exit countdown, say) writes nothing again.
    ::DeleteFileW((dir / L"Config.ini").c_str());
    EXPECT_TRUE(TrayForm->CloseQuery());
    EXPECT_TRUE(ReadBytes(dir / L"Config.ini").empty());
}

// Both usage icons start with the same design look: a 9-pixel "Small
// Fonts" text with an aqua frame, one pixel below the centre.
TEST_F(TrayForm_, BothUsageIconsStartWithTheirDesignLook) {
    StartTray();
    struct {
        const char* name;
        TTextTrayIcon* icon;
    } icons[] = {{"CPU", TrayForm->TrayIcon}, {"RAM", RAMForm->TrayIcon}};
    for (const auto& c : icons) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.icon, nullptr);
        EXPECT_EQ(c.icon->Font().Name(), L"Small Fonts");
        EXPECT_EQ(c.icon->Font().Height(), -9);
        EXPECT_EQ(c.icon->BorderColor(), gui::clAqua);
        EXPECT_EQ(c.icon->Options().OffsetX(), 0);
        EXPECT_EQ(c.icon->Options().OffsetY(), 1);
        EXPECT_EQ(c.icon->Options().LineDistance(), 0);
        EXPECT_FALSE(c.icon->Icon().Empty()) << "the look is drawn into the icon";
    }
}

TEST_F(TrayForm_, ConfigKeysInTheirOrder) {
    StartTray();
    TrayForm->CloseQuery();
    int size = TrayForm->TrayIcon->Font().Size();
    const std::string expected = testing_support::DefaultConfigIni(size);
    EXPECT_EQ(ReadBytes(dir / L"Config.ini"), expected);
}

TEST_F(TrayForm_, ChangedValuesSurviveARestart) {
    const std::string config =
        "[Tray]\r\nTrashTop=1\r\nTrashCheck=1\r\nIMEHint=1\r\nIMEIconColor=1\r\nPPIMEEnable=1\r\n"
        "IME=3\r\nIMEWave=2\r\nStartDelay=0\r\nFontSize=8\r\nFav=0\r\nIcon=1\r\nWide=1\r\nNarrow=1\r\n\r\n"
        "[CPU]\r\nStop=1\r\nDisp=4\r\nTime=5\r\n\r\n"
        "[RAM]\r\nStop=1\r\n\r\n"
        "[History]\r\nStop=1\r\n\r\n"
        "[Button]\r\nStop=1\r\nCursor=0\r\nCaret=0\r\n\r\n"
        "[ProgramLaunch]\r\nDisp=1\r\n\r\n"
        "[Panel]\r\nTray/Panel=1\r\n\r\n";
    StartTray(&config);
    EXPECT_EQ(TrayForm->IMENotices().MPPIMEC, 3);
    EXPECT_TRUE(TrayForm->IMENotices().MPPIME[3]->Checked());
    EXPECT_EQ(TrayForm->IMENotices().MPPIMEWaveC, 2);
    EXPECT_EQ(TrayForm->MCPUDisp, 4);
    EXPECT_TRUE(TrayForm->Menus().MPPCPUDisp[4]->Checked());
    EXPECT_EQ(TrayForm->MCPUStopTime, 5);
    EXPECT_TRUE(TrayForm->Menus().MPPCPUs[5]->Checked());
    EXPECT_TRUE(TrayForm->PPMenuWide->Checked());
    EXPECT_FALSE(TrayForm->PPCaret->Enabled()) << "the caret option follows the cursor option";
    EXPECT_EQ(TrayForm->Menus().MPPMenuSepa[0]->Break(), gui::TMenuBreak::mbBreak);
    EXPECT_TRUE(TrayForm->Menus().MPPTrayPanel[1]->Checked());
    TrayForm->CloseQuery();
    EXPECT_EQ(ReadBytes(dir / L"Config.ini"), config);
}

// Keys the file lacks keep the items' state from their creation: the
// checked ones stay checked and are written back so.
TEST_F(TrayForm_, MissingConfigKeysKeepTheItemsState) {
    const std::string config = "[CPU]\r\nDisp=2\r\n";
    StartTray(&config);
    EXPECT_EQ(TrayForm->MCPUDisp, 2);
    EXPECT_TRUE(TrayForm->PPBtnCursor->Checked());
    EXPECT_TRUE(TrayForm->PPCaret->Checked());
    EXPECT_TRUE(TrayForm->PPCaret->Enabled());
    EXPECT_TRUE(TrayForm->PPMenuFav->Checked());
    EXPECT_FALSE(TrayForm->PPCPUStop->Checked());
    TrayForm->CloseQuery();
    std::string expected = testing_support::DefaultConfigIni(TrayForm->TrayIcon->Font().Size());
    const std::string disp = "[CPU]\r\nStop=0\r\nDisp=0";
    ASSERT_NE(expected.find(disp), std::string::npos);
    expected.replace(expected.find(disp), disp.size(), "[CPU]\r\nStop=0\r\nDisp=2");
    EXPECT_EQ(ReadBytes(dir / L"Config.ini"), expected);
}

TEST_F(TrayForm_, BadConfigValuesFallBackToDefaults) {
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"truncated", "[Tray]\r\nIME=3\r\nIMEW"},
        {"out of range", "[Tray]\r\nIME=99\r\nIMEWave=-1\r\nStartDelay=6\r\n[CPU]\r\nDisp=5\r\nTime=-2147483648\r\n"
                         "[Panel]\r\nTray/Panel=3\r\n"},
        {"huge and not numbers", "[Tray]\r\nIME=99999999999999\r\nStartDelay=abc\r\nFontSize=100000\r\n"
                                 "[CPU]\r\nDisp=0x7FFFFFFF\r\n"},
        {"UTF-16", std::string("\xFF\xFE[\0T\0r\0a\0y\0]\0\r\0\n\0I\0M\0E\0=\0" "2\0\r\0\n\0", 30)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartTray(&c.bytes);
        EXPECT_GE(TrayForm->IMENotices().MPPIMEC, 0);
        EXPECT_LT(TrayForm->IMENotices().MPPIMEC, 5);
        EXPECT_GE(TrayForm->IMENotices().MPPIMEWaveC, 0);
        EXPECT_LT(TrayForm->IMENotices().MPPIMEWaveC, 4);
        EXPECT_EQ(TrayForm->MStartDelay, 0);
        EXPECT_EQ(TrayForm->MCPUDisp, 0);
        EXPECT_EQ(TrayForm->MPPTrayPanelC, 0);
        EXPECT_TRUE(TrayForm->CloseQuery());
        gui::TMemIniFile written(dir / L"Config.ini");
        EXPECT_EQ(written.Encoding(), gui::TTextEncoding::Ansi);
        EXPECT_TRUE(written.ValueExists(L"Panel", L"Tray/Panel"));
        StopTray();
    }
    // A UTF-16 file is read by its mark.
    std::string utf16("\xFF\xFE[\0T\0r\0a\0y\0]\0\r\0\n\0I\0M\0E\0=\0" "2\0\r\0\n\0", 30);
    StartTray(&utf16);
    EXPECT_EQ(TrayForm->IMENotices().MPPIMEC, 2);
}

TEST_F(TrayForm_, ConfigThatIsAFolder) {
    DataFolder = dir.Path();
    ASSERT_TRUE(::CreateDirectoryW((dir / L"Config.ini").c_str(), nullptr));
    StartTray();
    EXPECT_EQ(TrayForm->MCPUDisp, 0);
    EXPECT_TRUE(TrayForm->CloseQuery()) << "the close goes on when the file cannot be written";
}

TEST_F(TrayForm_, PanelOnlyModeRegistersNoIcon) {
    const std::string config = "[Panel]\r\nTray/Panel=2\r\n";
    StartTray(&config);
    EXPECT_FALSE(ShellHasIcon(*TrayForm->TrayIcon));
    TrayForm->Menus().MPPTrayPanel[0]->Click();
    EXPECT_EQ(TrayForm->MPPTrayPanelC, 0);
    EXPECT_TRUE(ShellHasIcon(*TrayForm->TrayIcon));
}

// --- heartbeat ------------------------------------------------------------------

class Heartbeat : public TrayForm_ {
protected:
    std::vector<std::string> log;
    HWND cursorWin = nullptr;
    bool pplSet = false;

    void SetUp() override {
        StartTray();
        TrayForm->TimerMain->SetEnabled(false);
        auto rec = [this](const char* name) {
            return [this, name] {
                // The timer is off from the hook check on.
                bool off = !TrayForm->TimerMain->Enabled();
                log.push_back(std::string(name) + (off ? "" : "(timer on)"));
            };
        };
        auto& s = TrayForm->Steps;
        s.IMECheck = rec("ime");
        s.TrashCheck = [this] { log.push_back("trash"); };
        s.CheckHook = rec("hook");
        s.TimerCPU = rec("cpu");
        s.TimerRAM = rec("ram");
        s.DispCPU = rec("dispcpu");
        s.AutoMinimize = rec("automin");
        s.TimerHis = [this](HWND fg, bool changed) {
            log.push_back(std::string("his ") + (changed ? "changed" : "same"));
            lastFg = fg;
        };
        s.TimerBtn = [this](HWND, bool changed) {
            log.push_back(std::string("btn ") + (changed ? "changed" : "same"));
        };
        s.CursorWin = [this] { return cursorWin; };
        s.PPLSet = [this] { return pplSet; };
    }
    HWND lastFg = nullptr;
};

TEST_F(Heartbeat, OrderAndTheSlowTick) {
    TrayForm->MActWin = reinterpret_cast<HWND>(1);  // not the window in front
    cursorWin = ::GetForegroundWindow();  // the button form has finished with this window
    TrayForm->TimerMainTimer();
    std::vector<std::string> first = {"trash", "hook", "his changed", "btn changed"};
    EXPECT_EQ(log, first) << "no IME step while no notice is chosen";
    EXPECT_TRUE(TrayForm->TimerMain->Enabled()) << "switched on again after the work";

    log.clear();
    for (int i = 0; i < 3; ++i) TrayForm->TimerMainTimer();
    EXPECT_EQ(log.size(), 12u);
    EXPECT_EQ(log[2], "his same");
    EXPECT_EQ(log[3], "btn same");

    log.clear();
    TrayForm->TimerMainTimer();  // the fifth tick
    std::vector<std::string> slow = {"trash", "hook", "cpu", "ram", "dispcpu", "automin", "his same",
                                     "btn same"};
    EXPECT_EQ(log, slow);
    EXPECT_EQ(TrayForm->MTime1000C, 0);

    log.clear();
    TrayForm->PPIMEHint->SetChecked(true);
    TrayForm->TimerMainTimer();
    EXPECT_EQ(log.front(), "ime(timer on)") << "the IME step runs before the timer goes off";
}

TEST_F(Heartbeat, OpenMenusSkipCaptureAndButtons) {
    TrayForm->MActWin = reinterpret_cast<HWND>(1);  // a window that is not in front
    for (bool* flag : {&TrayForm->FPopUpL, &TrayForm->FPopUpR, &pplSet}) {
        log.clear();
        *flag = true;
        TrayForm->TimerMainTimer();
        EXPECT_EQ(log, (std::vector<std::string>{"trash", "hook"}));
        EXPECT_EQ(TrayForm->MActWin, reinterpret_cast<HWND>(1)) << "the old window is kept";
        *flag = false;
    }
    log.clear();
    cursorWin = ::GetForegroundWindow();
    TrayForm->TimerMainTimer();
    EXPECT_EQ(log[2], "his changed") << "the first tick after the menu reports the change";
}

TEST_F(Heartbeat, ButtonWatchToldChangedWhileItsCursorWindowIsNotInFront) {
    cursorWin = reinterpret_cast<HWND>(12345);
    TrayForm->TimerMainTimer();
    log.clear();
    TrayForm->TimerMainTimer();
    EXPECT_EQ(log[2], "his same");
    EXPECT_EQ(log[3], "btn changed");
}

TEST_F(Heartbeat, AFailingStepLeavesTheTimerRunning) {
    TrayForm->Steps.CheckHook = [] { throw gui::Exception(L"step failed"); };
    ::SetLastError(0);
    EXPECT_THROW(TrayForm->TimerMainTimer(), gui::Exception);
    EXPECT_TRUE(TrayForm->TimerMain->Enabled());
}

// --- CPU display ------------------------------------------------------------------

class CPUDisplay : public TrayForm_ {
protected:
    int usage = 0;
    void SetUp() override {
        StartTray();
        TrayForm->TimerMain->SetEnabled(false);
        TrayForm->CPUUsageSource = [this] { return usage; };
    }
    void Show(int v) {
        usage = v;
        TrayForm->Proc_TimerCPU();
    }
};

TEST_F(CPUDisplay, TextStyleColours) {
    struct {
        int usage;
        std::wstring text;
        gui::TColor font, back;
    } cases[] = {
        {-1, L"  0", gui::clLime, gui::clBlack},   {0, L"  0", gui::clLime, gui::clBlack},
        {7, L"  7", gui::clLime, gui::clBlack},    {42, L" 42", gui::clLime, gui::clBlack},
        {50, L" 50", gui::clLime, gui::clBlack},   {51, L" 51", gui::clYellow, gui::clBlack},
        {79, L" 79", gui::clYellow, gui::clBlack}, {80, L" 80", gui::clRed, gui::clBlack},
        {99, L" 99", gui::clRed, gui::clBlack},    {100, L"100", gui::clBlack, gui::clRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.usage);
        Show(c.usage);
        EXPECT_EQ(TrayForm->TrayIcon->Text(), c.text);
        EXPECT_EQ(TrayForm->TrayIcon->Font().Color(), c.font);
        EXPECT_EQ(TrayForm->TrayIcon->Color(), c.back);
        EXPECT_EQ(TrayForm->TrayIcon->Hint(), L"CPU使用率:" + c.text + L"%");
        EXPECT_FALSE(TrayForm->TrayIcon->CycleIcons());
    }
    EXPECT_EQ(TrayForm->MCPU, 100);
}

TEST_F(CPUDisplay, PictureStyles) {
    struct {
        int style, usage, index;
    } cases[] = {{1, 0, 0}, {1, 42, 42}, {1, 100, 100}, {2, 7, 7}, {2, 100, 100},
                 {3, 9, 0}, {3, 42, 4}, {3, 100, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " usage " << c.usage);
        TrayForm->Menus().MPPCPUDisp[c.style]->Click();
        Show(c.usage);
        EXPECT_EQ(TrayForm->TrayIcon->IconIndex(), c.index);
        EXPECT_FALSE(TrayForm->TrayIcon->CycleIcons());
    }
    EXPECT_EQ(TrayForm->TrayIcon->IconList(), TrayForm->ImageListLevel);
    EXPECT_EQ(TrayForm->ImageListNum->Count(), 101);
    EXPECT_EQ(TrayForm->ImageListCPU->Count(), 102);
    EXPECT_EQ(TrayForm->ImageListRAM->Count(), 102);
    EXPECT_EQ(TrayForm->ImageListLevel->Count(), 11);
    EXPECT_EQ(TrayComponent<gui::TImageList>(L"ImageListMirt")->Count(), 4);
}

TEST_F(CPUDisplay, ClassicCycleGetsFasterWithTheLoad) {
    TrayForm->Menus().MPPCPUDisp[4]->Click();
    EXPECT_EQ(TrayForm->TrayIcon->IconList(), TrayComponent<gui::TImageList>(L"ImageListMirt"));
    struct {
        int usage;
        UINT interval;
    } cases[] = {{0, 1000}, {19, 1000}, {20, 800}, {39, 800}, {40, 600}, {59, 600},
                 {60, 400}, {79, 400},  {80, 200}, {99, 200}, {100, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.usage);
        Show(c.usage);
        EXPECT_TRUE(TrayForm->TrayIcon->CycleIcons());
        EXPECT_EQ(TrayForm->TrayIcon->CycleInterval(), c.interval);
    }
    // Stopped: the still picture, no cycling.
    TrayForm->PPCPUStop->Click();
    EXPECT_FALSE(TrayForm->TrayIcon->CycleIcons());
    EXPECT_EQ(TrayForm->TrayIcon->Hint(), L"Orvandel");
    Show(50);
    EXPECT_FALSE(TrayForm->TrayIcon->CycleIcons());
}

TEST_F(CPUDisplay, ACleaningGivesEachPictureStyleItsOwnPicturesBack) {
    ASSERT_TRUE(RAMForm);
    RAMForm->Wow64Source = [] { return false; };  // the CPU icon shows the busy look
    const struct {
        int style;
        gui::TImageList* list;
    } cases[] = {{1, TrayForm->ImageListNum}, {2, TrayForm->ImageListCPU}, {3, TrayForm->ImageListLevel},
                 {4, TrayComponent<gui::TImageList>(L"ImageListMirt")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        TrayForm->Menus().MPPCPUDisp[c.style]->Click();
        Show(30);
        ASSERT_EQ(TrayForm->TrayIcon->IconList(), c.list);
        RAMForm->Proc_BeginClean();
        EXPECT_EQ(TrayForm->TrayIcon->IconList(), TrayForm->ImageListCPU);
        RAMForm->Proc_EndClean();
        EXPECT_EQ(TrayForm->TrayIcon->IconList(), c.list);
        Show(60);
        EXPECT_EQ(TrayForm->TrayIcon->IconList(), c.list);
        EXPECT_EQ(TrayForm->TrayIcon->CycleIcons(), c.style == 4);
    }
}

TEST_F(CPUDisplay, AnUnchangedValueIsNotDrawnAgain) {
    Show(42);
    HICON drawn = TrayForm->TrayIcon->Icon().Handle();
    ASSERT_NE(drawn, nullptr);
    Show(42);
    EXPECT_EQ(TrayForm->TrayIcon->Icon().Handle(), drawn) << "the same text and colours: no new image";
    Show(43);
    EXPECT_NE(TrayForm->TrayIcon->Icon().Handle(), drawn);
    EXPECT_EQ(TrayForm->TrayIcon->Text(), L" 43");
}

TEST_F(CPUDisplay, ClassicCycleRunsOnAcrossTicksOfTheSameSpeed) {
    TrayForm->Menus().MPPCPUDisp[4]->Click();
    Show(100);  // a picture every 100 ms
    ASSERT_TRUE(testing_support::WaitUntil([] { return TrayForm->TrayIcon->IconIndex() != 0; }, 3000));
    int shown = TrayForm->TrayIcon->IconIndex();
    Show(100);
    EXPECT_EQ(TrayForm->TrayIcon->IconIndex(), shown) << "the same speed does not start the pictures again";
    EXPECT_TRUE(TrayForm->TrayIcon->CycleIcons());
    Show(10);
    EXPECT_EQ(TrayForm->TrayIcon->IconIndex(), 0) << "a new speed starts them again";
    EXPECT_EQ(TrayForm->TrayIcon->CycleInterval(), 1000u);
}

TEST_F(CPUDisplay, BothMonitorsStoppedKeepTheLastValue) {
    Show(37);
    TrayForm->PPCPUStop->Click();
    TrayForm->PPRAMStop->Click();
    Show(90);
    EXPECT_EQ(TrayForm->MCPU, 37);
    EXPECT_EQ(TrayForm->TrayIcon->Hint(), L"Orvandel");
    EXPECT_EQ(TrayForm->TrayIcon->Text(), L"");
    TrayForm->PPRAMStop->Click();
    Show(90);
    EXPECT_EQ(TrayForm->MCPU, 90) << "taken while only the CPU monitor is stopped";
}

TEST_F(CPUDisplay, AutomaticStopCountsSlowTicksAtFullLoad) {
    TrayForm->Menus().MPPCPUs[1]->Click();  // "1分": 60 slow ticks
    EXPECT_EQ(TrayForm->MCPUStopTime, 1);
    for (int i = 0; i < 58; ++i) Show(100);
    Show(99);  // the 59th tick drops below: the count starts again
    EXPECT_EQ(TrayForm->MCPUStopC, 0);
    for (int i = 0; i < 59; ++i) Show(100);
    EXPECT_FALSE(TrayForm->PPCPUStop->Checked());
    Show(100);
    EXPECT_TRUE(TrayForm->PPCPUStop->Checked()) << "stopped on the 60th slow tick at 100 %";
    EXPECT_EQ(TrayForm->TrayIcon->Hint(), L"Orvandel");
    EXPECT_EQ(TrayForm->MCPUStopC, 0);
}

}  // namespace

namespace {

TEST_F(TrayForm_, HistoryWindowShownAtStartByItsStartOption) {
    StartTray();
    EXPECT_TRUE(HisForm->Visible()) << "the start option's default is to show it";
    StopTray();
    testing_support::WriteBytes(dir / L"His.ini",
                                gui::EncodeText(L"[Window]\r\nStart=0\r\n", gui::TTextEncoding::Utf16LE));
    StartTray();
    EXPECT_FALSE(HisForm->Visible());
}

// "[History] MenuItem<c>" shows or hides the tray menu's category c at load;
// "[Window] Normal=0" opens the window maximised.
TEST_F(TrayForm_, HisIniDecidesTheMenuCategoriesAndAMaximisedWindow) {
    testing_support::WriteBytes(dir / L"His.ini",
                                gui::EncodeText(L"[Window]\r\nNormal=0\r\nStart=1\r\n"
                                                L"[History]\r\nMenuItem1=0\r\nMenuItem3=0\r\n",
                                                gui::TTextEncoding::Utf16LE));
    StartTray();
    const bool shown[] = {true, false, true, false};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(TrayForm->MPPTab[c]->Visible(), shown[c]) << c;
    ASSERT_TRUE(HisForm->Visible());
    EXPECT_TRUE(::IsZoomed(HisForm->Handle())) << "maximised as it was closed";
    StopTray();

    testing_support::WriteBytes(dir / L"His.ini",
                                gui::EncodeText(L"[Window]\r\nNormal=1\r\nStart=1\r\n", gui::TTextEncoding::Utf16LE));
    StartTray();
    for (int c = 0; c < 4; ++c) EXPECT_TRUE(TrayForm->MPPTab[c]->Visible()) << c;
    EXPECT_FALSE(::IsZoomed(HisForm->Handle()));
}

// The history window minimises itself a number of slow ticks after another
// program came to the front, or closes with "閉じる"; while this program is
// in front the count starts over.
TEST_F(TrayForm_, HistoryWindowMinimisesAfterTheChosenSlowTicks) {
    StartTray();
    TrayForm->TimerMain->SetEnabled(false);
    helper_windows::WindowHost other;
    ASSERT_TRUE(other.Start({L"class=ActNormal\ttitle=他のプログラム"}));
    HWND his = HisForm->Handle();
    struct Case {
        int seconds;
        bool close;
    } cases[] = {{1, false}, {3, false}, {2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        HisForm->Lists.Settings.CBAutoMin = c.seconds;
        HisForm->Lists.Settings.CHKAutoMin = c.close;
        HisForm->Show();
        ::ShowWindow(his, SW_RESTORE);
        ASSERT_TRUE(testing_support::WaitUntil(
            [&] {
                ::SetForegroundWindow(his);
                return ::GetForegroundWindow() == his;
            },
            10000));
        TrayForm->Steps.AutoMinimize();
        EXPECT_EQ(TrayForm->MMinWinC, c.seconds) << "counted from the choice while this program is in front";
        ASSERT_TRUE(testing_support::WaitUntil(
            [&] {
                ::SetForegroundWindow(other[0]);
                return ::GetForegroundWindow() == other[0];
            },
            10000));
        // With choice n the window goes on the (n + 2)-th slow tick.
        for (int tick = 1; tick <= c.seconds + 1; ++tick) {
            TrayForm->Steps.AutoMinimize();
            ASSERT_TRUE(::IsWindowVisible(his) && !::IsIconic(his)) << "tick " << tick;
        }
        TrayForm->Steps.AutoMinimize();
        if (c.close) EXPECT_FALSE(::IsWindowVisible(his)) << "closed";
        else EXPECT_TRUE(::IsIconic(his)) << "minimised";
    }
    // "しない": never.
    HisForm->Lists.Settings.CBAutoMin = 0;
    HisForm->Show();
    ::ShowWindow(his, SW_RESTORE);
    TrayForm->MMinWinC = -1;
    for (int tick = 0; tick < 5; ++tick) TrayForm->Steps.AutoMinimize();
    EXPECT_TRUE(::IsWindowVisible(his) && !::IsIconic(his));
}

}  // namespace
