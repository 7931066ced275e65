// The launcher window against the history window's real lists: captions and
// status texts from helper programs' version information, translucency
// steps, "Launch.ini", the pane split, the tray icon's pictures and real
// clicks on it, and programs started by real clicks on the panes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/IniFile.h"
#include "tests/acting/ActingFixture.h"
#include "tests/launch/LaunchFixture.h"
#include "tests/support/GuiPixels.h"
#include "tests/support/ListItems.h"
#include "tests/support/SyntheticInput.h"
#include "toolkit/QuorvinWindows.h"

using namespace launch_testing;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::SetItems;
using testing_support::WaitUntil;

namespace {

class Launcher : public testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = DataFolder;
        DataFolder = dir_.Path();
    }
    void TearDown() override { DataFolder = oldFolder_; }
    std::wstring Ini() const { return dir_ / L"Launch.ini"; }
    void WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
        gui::TMemIniFile ini(Ini(), gui::TTextEncoding::Utf16LE);
        ini.WriteString(section, key, value);
        ASSERT_TRUE(ini.UpdateFile());
    }

    ScratchDir dir_;
    std::wstring oldFolder_;
};

std::vector<std::wstring> Captions(gui::TListView* view) {
    std::vector<std::wstring> out;
    for (int i = 0; i < view->Count(); ++i) out.push_back(view->ItemText(i));
    return out;
}

void Click(POINT pt, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP, int times = 1) {
    testing_support::MouseAt(pt);
    for (int i = 0; i < times; ++i) {
        testing_support::MouseAt(pt, {down});
        testing_support::MouseAt(pt, {up});
    }
}

// The centre of a pane item's icon on the screen.
POINT ItemPoint(gui::TListView* view, int index) {
    RECT r{};
    r.left = LVIR_ICON;
    ::SendMessageW(view->Handle(), LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(view->Handle(), &pt);
    return pt;
}

// --- panes ---------------------------------------------------------------------------

TEST_F(Launcher, CaptionsAndStatusFromVersionInformation) {
    LaunchRun run;
    const std::wstring full = Helper(L"VersionInfoFull"), same = Helper(L"VersionInfoSame");
    const std::wstring plain = Helper(L"VersionInfoPlain"), bare = Helper(L"OrvRecorder");
    SetItems(HisForm->Lists.MFileList[2], {full, same, plain, bare});
    SetItems(HisForm->Lists.MFileList[7], {plain});
    TLaunchForm& f = *LaunchForm;
    f.Show();
    ASSERT_TRUE(f.Visible());
    EXPECT_EQ(Captions(f.ListViewHis),
              (std::vector<std::wstring>{L"試験用プログラム", L"VersionInfoSame", L"Plain sample tool", L"OrvRecorder"}))
        << "the description, else the bare name; a description equal to the version counts as none";
    EXPECT_EQ(Captions(f.ListViewFav), (std::vector<std::wstring>{L"Plain sample tool"}));
    EXPECT_EQ(f.ImageListHis->Count(), 4) << "one icon per row";
    EXPECT_EQ(f.ImageListFav->Count(), 1);

    struct Case {
        int row;
        std::wstring status;
    } cases[] = {
        {0, full + L" (1.2.3.4) [試験用プログラム]"},
        {1, same + L" (3.1) []"},
        {2, plain + L" (2.0) [Plain sample tool]"},
        {3, bare},
    };
    for (const Case& c : cases) {
        f.ListViewFav->SetItemIndex(0);
        f.ListViewHis->SetItemIndex(c.row);
        f.ListViewClick(0);
        EXPECT_EQ(f.StatusBar->PanelText(0), c.status);
        EXPECT_EQ(f.ListViewFav->ItemIndex(), -1) << "the other pane's selection goes";
    }
    f.ListViewHis->SetItemIndex(-1);
    f.ListViewClick(0);
    EXPECT_EQ(f.StatusBar->PanelText(0), L"") << "nothing selected clears the status";

    // A new program reaches the shown pane through the history window.
    HisForm->Lists.MFileList[2].Insert(0, bare);
    f.Proc_DispData(0);
    EXPECT_EQ(f.ListViewHis->Count(), 5);
    EXPECT_EQ(f.ListViewHis->ItemText(0), L"OrvRecorder");
}

TEST_F(Launcher, ShowTrimsTheProgramHistoryToItsLength) {
    LaunchRun run;
    std::vector<std::wstring> many;
    for (int i = 0; i < 15; ++i) many.push_back(Helper(L"OrvRecorder"));
    SetItems(HisForm->Lists.MFileList[2], many);
    HisForm->Lists.Settings.MHisListNum[2] = 10;
    LaunchForm->Show();
    EXPECT_EQ(HisForm->Lists.MFileList[2].Count(), 10);
    EXPECT_EQ(LaunchForm->ListViewHis->Count(), 10);
}

// --- translucency ------------------------------------------------------------------------

TEST_F(Launcher, TranslucencyStepsFromLaunchIni) {
    struct Case {
        const wchar_t* transCount;  // nullptr: no Launch.ini
        const wchar_t* alphaBlend;
        int step;
        bool on;
        int alpha;
    } cases[] = {
        {nullptr, nullptr, 19, false, 255},
        {L"19", L"1", 19, false, 255},  // the stored switch has no lasting effect
        {L"18", L"0", 18, true, 242},
        {L"1", L"0", 1, true, 25},
        {L"0", L"1", 1, true, 25},      // clamped into 1..19
        {L"40", L"1", 19, false, 255},
        {L"abc", L"1", 19, false, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.transCount ? testing::PrintToString(std::wstring(c.transCount)) : "no file");
        ::DeleteFileW(Ini().c_str());
        if (c.transCount) {
            WriteIni(L"Window", L"TransCount", c.transCount);
            WriteIni(L"Window", L"AlphaBlend", c.alphaBlend);
        }
        LaunchRun run(false);
        TLaunchForm& f = *LaunchForm;
        EXPECT_EQ(f.MPPTransC, c.step);
        EXPECT_EQ(f.AlphaBlend, c.on);
        EXPECT_EQ(f.AlphaBlendValue, c.alpha);
        EXPECT_TRUE(f.MPPTrans[static_cast<size_t>(c.step)]->Checked());
        const bool layered = (::GetWindowLongW(f.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        EXPECT_EQ(layered, c.on);
        if (layered) {
            BYTE alpha = 0;
            DWORD flags = 0;
            ASSERT_TRUE(::GetLayeredWindowAttributes(f.Handle(), nullptr, &alpha, &flags));
            EXPECT_EQ(alpha, c.alpha);
        }
    }
}

TEST_F(Launcher, MenuStepsAndTheOnOffButton) {
    LaunchRun run(false);
    TLaunchForm& f = *LaunchForm;
    for (int i = 1; i <= 19; ++i) {
        gui::TMenuItem* item = f.MPPTrans[static_cast<size_t>(i)];
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Name, L"PPTrans" + std::to_wstring(i * 5 + 5));
        EXPECT_EQ(item->Caption(), std::to_wstring(i * 5 + 5) + L"%");
        EXPECT_EQ(item->Tag, i);
        EXPECT_EQ(f.PPMenuTrans->Items()->Items(19 - i), item) << "from 100 % down to 10 %";
    }
    f.MPPTrans[9]->Click();
    EXPECT_EQ(f.MPPTransC, 9);
    EXPECT_TRUE(f.MPPTrans[9]->Checked());
    EXPECT_FALSE(f.MPPTrans[19]->Checked());
    EXPECT_TRUE(f.AlphaBlend);
    EXPECT_EQ(f.AlphaBlendValue, 127);
    f.TBTrans->Click();
    EXPECT_FALSE(f.AlphaBlend);
    EXPECT_FALSE(::GetWindowLongW(f.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(f.AlphaBlendValue, 127) << "the button keeps the opacity";
    f.TBTrans->Click();
    BYTE alpha = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(f.Handle(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 127);
}

// --- Launch.ini, panes and the window ------------------------------------------------------

TEST_F(Launcher, SettingsWrittenWhenHiddenAndReadAtCreation) {
    {
        LaunchRun run(false);
        TLaunchForm& f = *LaunchForm;
        EXPECT_TRUE(f.TBWClick->Down()) << "double-click mode by default";
        EXPECT_FALSE(f.TB1Click->Down());
        EXPECT_EQ(f.MHisH, 25);
        f.Show();
        f.TB1Click->SetDown(true);
        f.TBWClick->SetDown(false);
        f.TBExeHide->SetDown(true);
        f.TBClassicIcon->SetDown(true);
        f.SetTransStep(12);
        f.SetBounds(100, 110, 520, 430);
        f.PanelHis->SetHeight(f.ClientHeight() / 2);
        f.SplitterMoved();
        NMHDR dbl{f.StatusBar->Handle(), f.StatusBar->ControlId(), static_cast<UINT>(NM_DBLCLK)};
        ::SendMessageW(f.Handle(), WM_NOTIFY, dbl.idFrom, reinterpret_cast<LPARAM>(&dbl));
        EXPECT_FALSE(f.ToolBar->Visible()) << "a double click on the status bar hides the tool bar";
        f.Hide();
    }
    const std::string bytes = ReadBytes(Ini());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16LE with mark";
    gui::TMemIniFile ini(Ini());
    EXPECT_EQ(ini.ReadSection(L"Window"),
              (std::vector<std::wstring>{L"TransCount", L"AlphaBlend", L"Top", L"Left", L"Height", L"Width"}));
    EXPECT_EQ(ini.ReadInteger(L"Window", L"TransCount", 0), 12);
    EXPECT_EQ(ini.ReadString(L"Window", L"AlphaBlend", L""), L"1");
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Left", 0), 100);
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Top", 0), 110);
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Width", 0), 520);
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Height", 0), 430);
    EXPECT_EQ(ini.ReadInteger(L"History", L"Height", 0), 50);
    EXPECT_EQ(ini.ReadString(L"ToolBar", L"Click", L""), L"0");
    EXPECT_EQ(ini.ReadString(L"ToolBar", L"Hide", L""), L"1");
    EXPECT_EQ(ini.ReadString(L"ToolBar", L"Icon", L""), L"1");
    EXPECT_EQ(ini.ReadString(L"ToolBar", L"Visible", L""), L"0");

    LaunchRun again(false);
    TLaunchForm& f = *LaunchForm;
    EXPECT_FALSE(f.TBWClick->Down());
    EXPECT_TRUE(f.TB1Click->Down());
    EXPECT_TRUE(f.TBExeHide->Down());
    EXPECT_TRUE(f.TBClassicIcon->Down());
    EXPECT_FALSE(f.ToolBar->Visible());
    EXPECT_EQ(f.MPPTransC, 12);
    EXPECT_EQ(f.MHisH, 50);
    const RECT r = f.BoundsRect();
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 110);
    EXPECT_EQ(r.right - r.left, 520);
    EXPECT_EQ(f.PanelHis->Height(), f.ClientHeight() * 50 / 100);
    EXPECT_EQ(f.TrayIcon->IconIndex(), 1) << "the classic still picture";
}

TEST_F(Launcher, BoundsOffTheScreenOpenOnItAtEveryShow) {
    WriteIni(L"Window", L"Left", L"-30000");
    WriteIni(L"Window", L"Top", L"40000");
    LaunchRun run(false);
    TLaunchForm& f = *LaunchForm;
    for (int show = 0; show < 3; ++show) {
        SCOPED_TRACE(show);
        f.Show();
        const RECT shownAt = f.BoundsRect();
        EXPECT_NE(::MonitorFromRect(&shownAt, MONITOR_DEFAULTTONULL), nullptr)
            << shownAt.left << "," << shownAt.top << " " << shownAt.right << "," << shownAt.bottom;
        // Moved off the screen while shown: the hide stores that place.
        f.SetBounds(-30000, -30000, f.Width(), f.Height());
        f.Hide();
        ASSERT_EQ(gui::TMemIniFile(Ini()).ReadInteger(L"Window", L"Left", 0), -30000);
    }
}

TEST_F(Launcher, SplitterKeepsTheHistoryPaneWithin25And75Percent) {
    LaunchRun run(false);
    TLaunchForm& f = *LaunchForm;
    f.Show();
    struct Case {
        int percent, kept;
    } cases[] = {{10, 25}, {40, 40}, {90, 75}};
    for (const Case& c : cases) {
        f.PanelHis->SetHeight(f.ClientHeight() * c.percent / 100 + 1);
        f.SplitterMoved();
        EXPECT_EQ(f.MHisH, c.kept);
        EXPECT_EQ(f.PanelHis->Height(), f.ClientHeight() * c.kept / 100);
    }
}

TEST_F(Launcher, MinimisingHidesTheWindow) {
    LaunchRun run;
    LaunchForm->Show();
    EXPECT_TRUE(HisForm->Lists.Settings.FLaunchVisible);
    ::ShowWindow(LaunchForm->Handle(), SW_MINIMIZE);
    EXPECT_FALSE(LaunchForm->Visible());
    EXPECT_FALSE(::IsIconic(LaunchForm->Handle())) << "back to normal";
    EXPECT_FALSE(HisForm->Lists.Settings.FLaunchVisible);
}

// --- the tray icon ---------------------------------------------------------------------------

TEST_F(Launcher, TrayPicturesFollowTheWindowAndTheClassicChoice) {
    LaunchRun run;
    TLaunchForm& f = *LaunchForm;
    EXPECT_EQ(f.TrayIcon->Icons(), f.ImageListTray0);
    EXPECT_EQ(f.TrayIcon->IconIndex(), 0);
    EXPECT_FALSE(f.TrayIcon->Animate());
    EXPECT_EQ(f.TrayIcon->Hint(), L"Orvandel - プログラムランチャ");
    f.Show();
    EXPECT_EQ(f.TrayIcon->Icons(), f.ImageListTray1);
    EXPECT_TRUE(f.TrayIcon->Animate());
    EXPECT_TRUE(WaitUntil([&] { return f.TrayIcon->IconIndex() == 1; }, 10000)) << "the next frame comes";
    EXPECT_TRUE(WaitUntil([&] { return f.TrayIcon->IconIndex() == 0; }, 10000)) << "and the first again";
    f.TBClassicIcon->SetDown(true);
    f.TBClassicIcon->Click();
    EXPECT_EQ(f.TrayIcon->Icons(), f.ImageListTray2);
    f.Hide();
    EXPECT_FALSE(f.TrayIcon->Animate());
    EXPECT_EQ(f.TrayIcon->Icons(), f.ImageListTray0);
    EXPECT_EQ(f.TrayIcon->IconIndex(), 1);
}

TEST_F(Launcher, RealClicksOnTheTrayIconShowAndHideIt) {
    HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr) << "the tests run on a virtual desktop with a taskbar";
    LaunchRun run;
    TLaunchForm& f = *LaunchForm;
    ASSERT_TRUE(f.TrayIcon->SetVisible(true));
    const DWORD plate = testing_support::Px(RGB(40, 90, 200));  // the still picture's plate
    POINT at{-1, -1};
    ASSERT_TRUE(WaitUntil([&] { return (at = testing_support::FindOnScreen(taskbar, plate)).x >= 0; }, 10000));
    Click(at);
    ASSERT_TRUE(WaitUntil([&] { return f.Visible(); }, 10000)) << "a left press shows the launcher";
    Click(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(WaitUntil([&] { return !f.Visible(); }, 10000)) << "a right press hides it";
    f.Close();
    EXPECT_FALSE(f.TrayIcon->Visible()) << "closing takes the icon away";
}

TEST_F(Launcher, HotKeyTogglesWindowAndIcon) {
    LaunchRun run;
    TLaunchForm& f = *LaunchForm;
    f.Proc_ToggleLauncher();
    EXPECT_TRUE(f.Visible());
    EXPECT_TRUE(f.TrayIcon->Visible());
    f.Proc_ToggleLauncher();
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(f.TrayIcon->Visible());
}

// --- starting programs --------------------------------------------------------------------------

TEST_F(Launcher, SingleClickStartsTheProgramAndHides) {
    RecorderFile record(dir_ / L"record.txt");
    LaunchRun run;
    TLaunchForm& f = *LaunchForm;
    SetItems(HisForm->Lists.MFileList[7], {Helper(L"OrvRecorder")});
    f.TB1Click->SetDown(true);
    f.TBWClick->SetDown(false);
    f.TBExeHide->SetDown(true);
    f.Show();
    ForceForegroundWindow(f.Handle());
    ASSERT_EQ(f.ListViewFav->Count(), 1);
    Click(ItemPoint(f.ListViewFav, 0));
    std::wstring cmdLine, folder;
    ASSERT_TRUE(record.Wait(cmdLine, folder));
    EXPECT_EQ(cmdLine.find(L"OrvRecorder.exe") != std::wstring::npos, true) << testing::PrintToString(cmdLine);
    std::wstring bin = testing_support::BinDir();
    bin.pop_back();
    EXPECT_EQ(_wcsicmp(folder.c_str(), bin.c_str()), 0) << "the program's folder: " << testing::PrintToString(folder);
    EXPECT_TRUE(WaitUntil([&] { return !f.Visible(); }, 10000)) << "hidden after the start";
}

TEST_F(Launcher, DoubleClickStartsInDoubleClickMode) {
    RecorderFile record(dir_ / L"record.txt");
    LaunchRun run;
    TLaunchForm& f = *LaunchForm;
    SetItems(HisForm->Lists.MFileList[2], {Helper(L"VersionInfoFull"), Helper(L"OrvRecorder")});
    f.Show();
    ForceForegroundWindow(f.Handle());
    ASSERT_TRUE(f.TBWClick->Down());
    Click(ItemPoint(f.ListViewHis, 1), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    std::wstring cmdLine, folder;
    ASSERT_TRUE(record.Wait(cmdLine, folder));
    EXPECT_NE(cmdLine.find(L"OrvRecorder.exe"), std::wstring::npos);
    EXPECT_EQ(f.StatusBar->PanelText(0), Helper(L"OrvRecorder")) << "the click showed the path";
    EXPECT_TRUE(f.Visible()) << "no hiding unless asked";
}

// Ctrl held at the start asks for options first; a cancelled dialog starts
// nothing, and the launcher still hides when it hides after starts.
TEST_F(Launcher, CtrlAsksForOptionsAndCancelStillHides) {
    RecorderFile record(dir_ / L"record.txt");
    LaunchRun run;
    TLaunchForm& f = *LaunchForm;
    const std::wstring program = Helper(L"OrvRecorder");
    SetItems(HisForm->Lists.MFileList[2], {program});
    StartedPrograms started;
    ASSERT_EQ(started.Count(), 0) << "the programs this test starts are counted";
    f.TBExeHide->SetDown(true);
    f.Show();
    f.ListViewHis->SetItemIndex(0);
    // The key state follows input sent while a window of the program is in front.
    ForceForegroundWindow(f.Handle());
    bool asked = false;
    std::wstring shownFor;
    {
        acting::HeldKey ctrl(VK_CONTROL);
        ASSERT_TRUE(ctrl.Down());
        InModal([&] { return (f.ListViewDblClick(0), 0); },
                [&] {
                    asked = ExeCmdForm->Visible();
                    shownFor = ExeCmdForm->EditName->Text();
                    Press(ExeCmdForm->BtnCancel);
                });
    }
    EXPECT_TRUE(asked) << "the options dialog came first";
    EXPECT_EQ(shownFor, program);
    // A start would have been made before the double click's handler returned.
    EXPECT_EQ(started.Count(), 0) << "the cancelled dialog started the program";
    EXPECT_FALSE(f.Visible()) << "hidden after the cancelled start too";
}

}  // namespace
