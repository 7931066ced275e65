// The floating usage panel inside the main form of the test process: fed by
// the CPU step and the RAM monitor, its sizes, transparency and layout read
// back from the windows, "Panel.ini", the three tray/panel modes, and real
// clicks on its pictures.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "gui/Canvas.h"
#include "gui/IniFile.h"
#include "gui/Timer.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayConfig.h"
#include "tests/tray/TrayFixture.h"
#include "tests/support/SyntheticInput.h"

using testing_support::WaitUntil;

namespace {

POINT Centre(gui::TWinControl* c) {
    POINT pt{c->ClientWidth() / 2, c->ClientHeight() / 2};
    ::ClientToScreen(c->Handle(), &pt);
    return pt;
}

void Press(POINT pt, DWORD down, DWORD up, int times = 1) {
    testing_support::MouseAt(pt);
    for (int i = 0; i < times; ++i) {
        testing_support::MouseAt(pt, {down});
        testing_support::MouseAt(pt, {up});
    }
}

// The control's client area as painted, as 0xRRGGBB pixels.
std::vector<DWORD> Painted(gui::TWinControl* c) {
    const int w = c->ClientWidth(), h = c->ClientHeight();
    gui::TBitmap bmp(w, h);
    ::SendMessageW(c->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bmp.Canvas().Handle()), PRF_CLIENT);
    std::vector<DWORD> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px.push_back(bmp.ScanLine(y)[x] & 0xFFFFFF);
    return px;
}

// The icon drawn at size s on a background colour, as 0xRRGGBB pixels.
std::vector<DWORD> Expected(const gui::TIcon& icon, int s, gui::TColor back) {
    gui::TBitmap bmp(s, s);
    bmp.Canvas().Brush().SetColor(back);
    bmp.Canvas().FillRect(RECT{0, 0, s, s});
    ::DrawIconEx(bmp.Canvas().Handle(), 0, 0, icon.Handle(), s, s, 0, nullptr, DI_NORMAL);
    std::vector<DWORD> px;
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) px.push_back(bmp.ScanLine(y)[x] & 0xFFFFFF);
    return px;
}

bool Layered(HWND w) { return (::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }
bool TopMost(HWND w) { return (::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

std::string Config(int mode) {
    std::string c = testing_support::DefaultConfigIni(9);
    c.replace(c.find("Tray/Panel=0"), 12, "Tray/Panel=" + std::to_string(mode));
    return c;
}

class UsagePanel : public testing::Test, public TrayFormFixture {
protected:
    int cpu = 42, ram = 37;
    void Start(int mode = 1) {
        const std::string config = Config(mode);
        StartTray(&config);
        // The test drives the CPU and RAM steps itself.
        TrayForm->Steps.TimerRAM = [] {};
        TrayForm->Steps.TimerCPU = [] {};
        TrayForm->CPUUsageSource = [this] { return cpu; };
        RAMForm->RAMUsageSource = [this] { return ram; };
        PanelForm->BusyPause = 0;
    }
    void TearDown() override { StopTray(); }
    HWND Panel() { return PanelForm->Handle(); }
    int S() { return TPanelForm::PictureSize(PanelForm->MPPSizeC); }
};

TEST_F(UsagePanel, TrayModesShowWhatTheyName) {
    struct Case {
        int mode;
        bool cpuIcon, ramIcon, panel;
    };
    const Case cases[] = {{0, true, true, false}, {1, true, true, true}, {2, false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Start(c.mode);  // the mode saved in "Config.ini", at start
        EXPECT_TRUE(TrayForm->Menus().MPPTrayPanel[c.mode]->Checked());
        EXPECT_EQ(TrayForm->TrayIcon->IconVisible(), c.cpuIcon);
        EXPECT_EQ(RAMForm->TrayIcon->IconVisible(), c.ramIcon);
        EXPECT_EQ(PanelForm->Visible(), c.panel);
        EXPECT_EQ(::IsWindowVisible(Panel()) != FALSE, c.panel);
        // And each mode again from the menu.
        for (const Case& m : cases) {
            TrayForm->Menus().MPPTrayPanel[m.mode]->Click();
            EXPECT_EQ(TrayForm->MPPTrayPanelC, m.mode);
            EXPECT_EQ(TrayForm->TrayIcon->IconVisible(), m.cpuIcon) << "menu mode " << m.mode;
            EXPECT_EQ(RAMForm->TrayIcon->IconVisible(), m.ramIcon) << "menu mode " << m.mode;
            EXPECT_EQ(PanelForm->Visible(), m.panel) << "menu mode " << m.mode;
        }
        StopTray();
    }
}

TEST_F(UsagePanel, FedByTheCPUStepAndTheRAMMonitor) {
    Start(1);
    TrayForm->Proc_TimerCPU();
    RAMForm->Proc_DispRAM();
    EXPECT_EQ(PanelForm->ImageCPU->Hint, L"CPU使用率: 42%");
    EXPECT_EQ(PanelForm->ImageRAM->Hint, L"RAM使用率: 37%");
    gui::TIcon cpuIcon, ramIcon;
    ASSERT_TRUE(TrayForm->ImageListNum->GetIcon(42, cpuIcon));
    ASSERT_TRUE(TrayForm->ImageListNum->GetIcon(37, ramIcon));
    EXPECT_EQ(Painted(PanelForm->ImageCPU), Expected(cpuIcon, S(), gui::clBlack));
    EXPECT_EQ(Painted(PanelForm->ImageRAM), Expected(ramIcon, S(), gui::clBlack));

    // 100 %: the digits on a red half; the next lower value black again.
    cpu = 100;
    TrayForm->Proc_TimerCPU();
    gui::TIcon full;
    ASSERT_TRUE(TrayForm->ImageListNum->GetIcon(100, full));
    const std::vector<DWORD> shown = Painted(PanelForm->ImageCPU);
    EXPECT_EQ(shown, Expected(full, S(), gui::clRed));
    EXPECT_NE(std::count(shown.begin(), shown.end(), 0xFF0000u), static_cast<long>(shown.size()))
        << "digits show on the red";
    EXPECT_EQ(PanelForm->PanelCPU->Color(), gui::clRed);
    EXPECT_EQ(Painted(PanelForm->PanelCPU)[0], 0xFF0000u) << "the half's margin beside the picture";
    cpu = 99;
    TrayForm->Proc_TimerCPU();
    EXPECT_EQ(PanelForm->PanelCPU->Color(), gui::clBlack);

    // With the tray icons only, the hidden panel is not fed.
    TrayForm->Menus().MPPTrayPanel[0]->Click();
    cpu = 7;
    TrayForm->Proc_TimerCPU();
    EXPECT_EQ(PanelForm->ImageCPU->Hint, L"CPU使用率: 99%");
}

TEST_F(UsagePanel, SizesAndTheNarrowerPanelWithTheRAMMonitorStopped) {
    Start(1);
    const int sizes[7] = {32, 48, 64, 96, 128, 192, 256};
    EXPECT_TRUE(PanelForm->MPPSize[1]->Checked()) << "48 pixels by default";
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(sizes[i]);
        PanelForm->MPPSize[i]->Click();
        EXPECT_TRUE(PanelForm->Visible());
        const int s = sizes[i];
        EXPECT_EQ(PanelForm->Height(), s);
        EXPECT_EQ(PanelForm->ImageCPU->Width(), s);
        EXPECT_EQ(PanelForm->ImageCPU->Height(), s);
        EXPECT_EQ(PanelForm->ImageRAM->Width(), s);
        EXPECT_EQ(PanelForm->PanelCPU->Width(), s + 4);
        EXPECT_EQ(PanelForm->PanelRAM->Width(), s + 4);
        EXPECT_EQ(PanelForm->Width(), 2 * (s + 4) + 20);
    }
    PanelForm->MPPSize[1]->Click();
    const int wide = PanelForm->Width();
    TrayForm->PPRAMStop->Click();
    EXPECT_FALSE(PanelForm->PanelRAM->Visible()) << "only the CPU half";
    EXPECT_EQ(PanelForm->Width(), wide - 52);
    EXPECT_EQ(PanelForm->Panel->Width(), 52);
    TrayForm->PPRAMStop->Click();
    EXPECT_TRUE(PanelForm->PanelRAM->Visible());
    EXPECT_EQ(PanelForm->Width(), wide);
}

TEST_F(UsagePanel, HalvesExchangedAndMovedLeft) {
    Start(1);
    const int w = PanelForm->ClientWidth();
    EXPECT_EQ(PanelForm->Panel->Left(), 20) << "the halves at the right, the grip at the left";
    EXPECT_LT(PanelForm->PanelCPU->Left(), PanelForm->PanelRAM->Left());
    EXPECT_EQ(PanelForm->PanelEdge->Left(), 2 * 52 - 2);
    PanelForm->PPCPURAM->Click();
    EXPECT_GT(PanelForm->PanelCPU->Left(), PanelForm->PanelRAM->Left());
    PanelForm->PPLeft->Click();
    EXPECT_EQ(PanelForm->Panel->Left(), 0);
    EXPECT_EQ(PanelForm->PanelEdge->Left(), 0);
    EXPECT_EQ(PanelForm->ClientWidth(), w);
}

TEST_F(UsagePanel, OpacityReadBackFromTheWindow) {
    Start(1);
    EXPECT_FALSE(Layered(Panel()));
    struct Case {
        int tag;
        BYTE alpha;
    };
    for (Case c : {Case{9, 229}, Case{2, 51}, Case{5, 127}}) {
        PanelForm->MPPTrans[10 - c.tag]->Click();
        ASSERT_TRUE(Layered(Panel())) << c.tag;
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(::GetLayeredWindowAttributes(Panel(), nullptr, &alpha, &flags));
        EXPECT_EQ(alpha, c.alpha) << c.tag * 10 << " %";
        EXPECT_TRUE(flags & LWA_ALPHA);
    }
    EXPECT_EQ(PanelForm->MPPTrans[0]->Caption(), L"100%");
    PanelForm->MPPTrans[0]->Click();
    EXPECT_FALSE(Layered(Panel())) << "100 % switches translucency off";
}

TEST_F(UsagePanel, PanelIniReadAtStartAndWrittenAtClose) {
    testing_support::WriteBytes(dir / L"Panel.ini",
                                "[Window]\r\nLeft=300\r\nTop=200\r\n[Disp]\r\nSize=6\r\nTop=1\r\nPosition=1\r\nLeft=0\r\nTrans=8\r\n");
    Start(1);
    EXPECT_EQ(PanelForm->Left(), 300);
    EXPECT_EQ(PanelForm->Top(), 200);
    EXPECT_EQ(PanelForm->ImageCPU->Width(), 256);
    EXPECT_EQ(PanelForm->PanelCPU->Width(), 260);
    EXPECT_EQ(PanelForm->Height(), 256);
    EXPECT_TRUE(PanelForm->PPTop->Checked());
    EXPECT_TRUE(TopMost(Panel()));
    EXPECT_TRUE(PanelForm->MPPTrans[2]->Checked());
    BYTE alpha = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(Panel(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 204);

    PanelForm->MPPSize[2]->Click();
    PanelForm->PPLeft->Click();
    ::SetWindowPos(Panel(), nullptr, 123, 234, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(TrayForm->CloseQuery());
    gui::TMemIniFile ini(dir / L"Panel.ini");
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Left", -1), 123);
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Top", -1), 234);
    EXPECT_EQ(ini.ReadInteger(L"Disp", L"Size", -1), 2);
    EXPECT_TRUE(ini.ReadBool(L"Disp", L"Top", false));
    EXPECT_TRUE(ini.ReadBool(L"Disp", L"Position", false));
    EXPECT_TRUE(ini.ReadBool(L"Disp", L"Left", false));
    EXPECT_EQ(ini.ReadInteger(L"Disp", L"Trans", -1), 8);
}

TEST_F(UsagePanel, OutOfScreenAndOutOfRangeSettings) {
    testing_support::WriteBytes(dir / L"Panel.ini", "[Window]\r\nLeft=9000\r\nTop=-5000\r\n[Disp]\r\nSize=17\r\nTrans=0\r\n");
    Start(1);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(PanelForm->Left() + PanelForm->Width(), work.right) << "pulled back onto the work area";
    EXPECT_GE(PanelForm->Top(), work.top);
    EXPECT_EQ(PanelForm->Height(), 48) << "an unknown size shows 48 pixels";
    EXPECT_FALSE(Layered(Panel())) << "an opacity of 0 would hide the panel: opaque instead";
}

TEST_F(UsagePanel, DraggedPanelKeepsItsPlace) {
    Start(1);
    ::SetWindowPos(Panel(), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT grip{5, PanelForm->ClientHeight() / 2};
    ::ClientToScreen(Panel(), &grip);
    // The drag comes from another thread while this one runs the move.
    std::thread hand([grip] {
        testing_support::MouseAt(grip);
        ::Sleep(300);
        testing_support::MouseAt(grip, {MOUSEEVENTF_LEFTDOWN});
        for (int i = 1; i <= 10; ++i) {
            ::Sleep(100);
            testing_support::MouseAt(POINT{grip.x + i * 10, grip.y + i * 5});
        }
        ::Sleep(300);
        testing_support::MouseAt(POINT{grip.x + 100, grip.y + 50}, {MOUSEEVENTF_LEFTUP});
    });
    bool moved = WaitUntil([&] { return PanelForm->Left() == 500 && PanelForm->Top() == 350; }, 20000);
    hand.join();
    ASSERT_TRUE(moved) << PanelForm->Left() << "," << PanelForm->Top();
    ASSERT_TRUE(WaitUntil([&] {
        return gui::TMemIniFile(dir / L"Panel.ini").ReadInteger(L"Window", L"Left", -1) == 500;
    }, 20000)) << "written right after the drag";
    EXPECT_EQ(gui::TMemIniFile(dir / L"Panel.ini").ReadInteger(L"Window", L"Top", -1), 350);
}

TEST_F(UsagePanel, ClicksOnThePictures) {
    Start(1);
    TrayForm->Proc_TimerCPU();
    RAMForm->Proc_DispRAM();
    ::SetForegroundWindow(Panel());
    // The middle button keeps the panel on top, and again lets it go.
    Press(Centre(PanelForm->ImageCPU), MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    ASSERT_TRUE(WaitUntil([&] { return PanelForm->PPTop->Checked(); }, 10000));
    EXPECT_TRUE(TopMost(Panel()));
    Press(Centre(PanelForm->ImageRAM), MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    ASSERT_TRUE(WaitUntil([&] { return !PanelForm->PPTop->Checked(); }, 10000));
    EXPECT_FALSE(TopMost(Panel()));

    // A double click on the RAM picture does the RAM icon's double-click action.
    RAMForm->RGTrayWClick = 2;
    Press(Centre(PanelForm->ImageRAM), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    ASSERT_TRUE(WaitUntil([&] { return RAMForm->PPStop->Checked(); }, 10000));
    EXPECT_EQ(Painted(PanelForm->ImageRAM), Expected(PanelForm->ImageStop, S(), gui::clBlack))
        << "the stopped monitor's picture";

    // A single click on the CPU picture opens the history menu (closed again
    // by a timer, as the menu's loop holds this thread).
    bool sawMenu = false, flagSet = false;
    auto* closer = new gui::TTimer(TrayForm);
    closer->SetInterval(100);
    closer->OnTimer = [&](gui::TTimer* t) {
        if (!testing_support::OpenMenuWindow()) return;
        sawMenu = true;
        flagSet = TrayForm->FPopUpL;
        t->SetEnabled(false);
        TrayForm->Proc_CancelPopUpMenu();
    };
    HisForm->Hide();  // shown at start by default
    testing_support::PumpMessages(::GetDoubleClickTime() + 100);
    Press(Centre(PanelForm->ImageCPU), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitUntil([&] { return sawMenu; }, 15000));
    EXPECT_TRUE(flagSet);
    ASSERT_TRUE(WaitUntil([&] { return testing_support::OpenMenuWindow() == nullptr; }, 15000));
    TrayForm->FPopUpL = false;
    EXPECT_FALSE(HisForm->Visible());

    // A double click on it shows the history window, and no menu.
    sawMenu = false;
    closer->SetEnabled(true);
    testing_support::PumpMessages(::GetDoubleClickTime() + 100);
    Press(Centre(PanelForm->ImageCPU), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    ASSERT_TRUE(WaitUntil([&] { return HisForm->Visible(); }, 15000));
    testing_support::PumpMessages(::GetDoubleClickTime() + 300);
    EXPECT_FALSE(sawMenu);
}

TEST_F(UsagePanel, StopAndBusyPictures) {
    Start(1);
    TrayForm->Proc_TimerCPU();
    TrayForm->PPCPUStop->Click();
    EXPECT_EQ(Painted(PanelForm->ImageCPU), Expected(PanelForm->ImageStop, S(), gui::clBlack));
    // The classic style's still picture while that style is stopped.
    TrayForm->Menus().MPPCPUDisp[4]->Click();
    EXPECT_EQ(Painted(PanelForm->ImageCPU), Expected(TrayForm->ImageMirtStop, S(), gui::clBlack));
    TrayForm->PPCPUStop->Click();
    TrayForm->Menus().MPPCPUDisp[0]->Click();

    // A cleaning shows the busy picture on the RAM half and takes its menu away.
    RAMForm->Wow64Source = [] { return false; };
    RAMForm->Proc_DispRAM();
    RAMForm->Proc_BeginClean();
    EXPECT_EQ(Painted(PanelForm->ImageRAM), Expected(PanelForm->ImageStop, S(), gui::clBlack));
    EXPECT_EQ(PanelForm->ImageRAM->PopupMenu, nullptr);
    EXPECT_EQ(PanelForm->ImageRAM->Hint, L"RAM最適化中");
    RAMForm->Proc_EndClean();
    EXPECT_EQ(PanelForm->ImageRAM->PopupMenu, RAMForm->PPMenu);
    EXPECT_EQ(PanelForm->ImageCPU->PopupMenu, TrayForm->PPRMenu);
}

TEST_F(UsagePanel, BackOnTopWhenTheApplicationIsDeactivated) {
    Start(1);
    PanelForm->PPTop->Click();
    ASSERT_TRUE(TopMost(Panel()));
    ::SetWindowPos(Panel(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_FALSE(TopMost(Panel()));
    TrayForm->ApplicationEventsDeactivate();
    EXPECT_TRUE(TopMost(Panel()));
    // Not without the stay-on-top item.
    PanelForm->PPTop->Click();
    ASSERT_FALSE(TopMost(Panel()));
    TrayForm->ApplicationEventsDeactivate();
    EXPECT_FALSE(TopMost(Panel()));
}

}  // namespace
