// The history window as the user sees it: its controls and tool buttons, the
// tabs chosen with digit keys and the wheel, sorting, the panes and their
// percentages, Enter on a row, the mouse wheel's font sizes and scrolling,
// the caption with each core's usage, and the bounds read at every show.
#include <windows.h>
#include <commctrl.h>

#include "app/Tray.h"
#include "app/history/HisEnvPage.h"
#include "app/history/HisJump.h"
#include "app/history/Launch.h"
#include "gui/Exception.h"
#include "tests/historywindow/HisWindowFixture.h"
#include "tests/support/UserInput.h"
#include "toolkit/CPUCoreUsage.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinVersion.h"

using namespace testing_support;

namespace {

using HisWindow = history_window::HisWindowTest;

std::wstring ClassOf(HWND wnd) {
    wchar_t name[256] = {};
    ::GetClassNameW(wnd, name, 256);
    return name;
}

std::wstring TabCaption(gui::TTabControl* tabs, int index) {
    wchar_t text[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 128;
    ::SendMessageW(tabs->Handle(), TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

// The screen point in the middle of a tool button.
POINT ButtonPoint(gui::TToolButton* b) {
    RECT r{};
    ::SendMessageW(b->ToolBar()->Handle(), TB_GETRECT, b->Command(), reinterpret_cast<LPARAM>(&r));
    return ScreenPoint(b->ToolBar()->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool ButtonShown(gui::TToolButton* b) {
    return !::SendMessageW(b->ToolBar()->Handle(), TB_ISBUTTONHIDDEN, b->Command(), 0);
}

int Tabs() { return IsVistaOrLater() ? 4 : 5; }

TEST_F(HisWindow, EveryControlIsThereByNameWithItsCaptions) {
    Start();
    ShowInFront();
    THisForm& f = His();
    for (const wchar_t* name :
         {L"PageControl", L"TabSheetAct", L"TabSheetEnv", L"ToolBar", L"TBexe", L"TBUpExp", L"TBUpFol", L"TBSort",
          L"TBContx", L"TBBrackwen", L"TBFav", L"TBEdit", L"TBCPUCore", L"TBExeClose", L"TBClose", L"TabControl",
          L"ImageListTab", L"ListBoxHis", L"ListBoxFav", L"SplitterFav", L"PanelFav", L"SplitterEdit", L"PanelEdit",
          L"Edit", L"PanelFind", L"CBFind", L"BtnFindDown", L"BtnFindUp", L"StatusBar", L"ListBoxClip",
          L"ImageListHis", L"ImageListFav", L"ImageListToolbar", L"HookHotKey", L"DropDst", L"TimerWheel",
          L"FontDialog", L"OpenDialog", L"TextSaveDialog", L"FolderDlg", L"ContextMenuEx", L"DropSourceEx",
          L"MakeShortCuts", L"PPMenuList", L"PPMenuFav", L"PPEdit", L"PPUndo"})
        EXPECT_NE(f.FindComponent(name), nullptr) << gui::WideToUtf8(name);
    // The wheel tells the controls by their class names.
    EXPECT_EQ(ClassOf(Named<gui::TListBox>(f, L"ListBoxHis")->Handle()), L"TListBox");
    EXPECT_EQ(ClassOf(Named<gui::TListBox>(f, L"ListBoxFav")->Handle()), L"TListBox");
    EXPECT_EQ(ClassOf(Named<gui::TRichEdit>(f, L"Edit")->Handle()), L"TRichEdit");
    EXPECT_EQ(ClassOf(Named<gui::TTabControl>(f, L"TabControl")->Handle()), L"TTabControl");

    EXPECT_EQ(f.Caption(), L"Orvandel - 履歴");
    EXPECT_EQ(Named<gui::TTabSheet>(f, L"TabSheetAct")->Caption(), L"機能");
    EXPECT_EQ(Named<gui::TTabSheet>(f, L"TabSheetEnv")->Caption(), L"設定");
    const wchar_t* captions[] = {L"[クリップボード(&C)]", L"[ファイル(&F)]", L"[プログラム(&P)]", L"[フォルダ(&D)]",
                                 L"[エクスプローラ(&E)]"};
    ASSERT_EQ(Named<gui::TTabControl>(f, L"TabControl")->TabCount(), Tabs());
    for (int i = 0; i < Tabs(); ++i) EXPECT_EQ(TabCaption(Named<gui::TTabControl>(f, L"TabControl"), i), captions[i]);
    EXPECT_EQ(Named<gui::TImageList>(f, L"ImageListTab")->Count(), 5);

    EXPECT_EQ(ButtonShown(Named<gui::TToolButton>(f, L"TBUpExp")), !IsVistaOrLater());
    EXPECT_FALSE(ButtonShown(Named<gui::TToolButton>(f, L"TBBrackwen"))) << "no companion folder tool";
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
    EXPECT_EQ(ButtonShown(Named<gui::TToolButton>(f, L"TBCPUCore")), si.dwNumberOfProcessors > 1);
    for (gui::TToolButton* b : {Named<gui::TToolButton>(f, L"TBexe"), Named<gui::TToolButton>(f, L"TBUpExp"), Named<gui::TToolButton>(f, L"TBUpFol"), Named<gui::TToolButton>(f, L"TBContx"), Named<gui::TToolButton>(f, L"TBBrackwen")}) EXPECT_FALSE(b->Enabled());
    EXPECT_FALSE(Named<gui::TButton>(f, L"BtnFindDown")->Enabled());
    EXPECT_FALSE(Named<gui::TButton>(f, L"BtnFindUp")->Enabled());
    EXPECT_EQ(Named<gui::TComboBox>(f, L"CBFind")->Hint, L"検索する文字列");

    // The tray history menu's category items show the tabs' pictures.
    EXPECT_EQ(TrayForm->PPLMenu->Images, Named<gui::TImageList>(f, L"ImageListTab"));
    for (int c = 0; c < 5; ++c) EXPECT_EQ(TrayForm->MPPTab[c]->ImageIndex, c);

    // Bounds from "His.ini", no smaller than 500 x 500.
    RECT r = f.BoundsRect();
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 900);
    f.SetBounds(40, 30, 300, 300);
    EXPECT_GE(f.Width(), 500);
    EXPECT_GE(f.Height(), 500);
}

TEST_F(HisWindow, TheCompanionToolButtonShowsWhenItsProgramExists) {
    BrackwenExe = BinDir() + L"OrvRecorder.exe";
    Start();
    EXPECT_TRUE(ButtonShown(Named<gui::TToolButton>(His(), L"TBBrackwen")));
}

TEST_F(HisWindow, DigitKeysAndTheWheelChooseTheTab) {
    WriteList(0, 1, {Path(L"一.txt"), Path(L"二.txt")});
    WriteList(0, 2, {Path(L"p.exe")});
    WriteList(0, 3, {Path(L"フォルダ\\")});
    Start();
    ShowInFront();
    THisForm& f = His();

    PressKey('2');
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TTabControl>(f, L"TabControl")->TabIndex() == 1; }, 10000));
    EXPECT_EQ(f.Category(), 1);
    EXPECT_EQ(ListBoxItems(Named<gui::TListBox>(f, L"ListBoxHis")), (std::vector<std::wstring>{Path(L"一.txt"), Path(L"二.txt")}));
    PressKey('4');
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TTabControl>(f, L"TabControl")->TabIndex() == 3; }, 10000));
    EXPECT_EQ(ListBoxItems(Named<gui::TListBox>(f, L"ListBoxHis")), std::vector<std::wstring>{Path(L"フォルダ\\")});
    if (Tabs() == 4) {
        PressKey('5');
        PumpApp(300);
        EXPECT_EQ(Named<gui::TTabControl>(f, L"TabControl")->TabIndex(), 3) << "no fifth tab";
    }
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->Count(), 1) << "the typed characters do not reach the list";

    // Alt with a tab's accelerator selects it, as the tool buttons' do click them.
    PressKey('F', {VK_MENU});
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TTabControl>(f, L"TabControl")->TabIndex() == 1; }, 10000));
    EXPECT_EQ(ListBoxItems(Named<gui::TListBox>(f, L"ListBoxHis")).size(), 2u);
    PressKey('X', {VK_MENU});
    ASSERT_TRUE(WaitApp([&] { return !f.Visible(); }, 10000)) << "(&X) closes the window";
    ShowInFront();

    // The wheel over the tabs: away from the user the next tab, not past the last.
    const POINT tabs = ScreenPoint(Named<gui::TTabControl>(f, L"TabControl")->Handle(), 30, 8);
    SelectTab(Tabs() - 1);
    WheelAt(tabs, WHEEL_DELTA);
    PumpApp(300);
    EXPECT_EQ(Named<gui::TTabControl>(f, L"TabControl")->TabIndex(), Tabs() - 1);
    WheelAt(tabs, -WHEEL_DELTA);
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TTabControl>(f, L"TabControl")->TabIndex() == Tabs() - 2; }, 10000));
    EXPECT_EQ(f.Category(), Tabs() - 2);
    SelectTab(0);
    WheelAt(tabs, -WHEEL_DELTA);
    PumpApp(300);
    EXPECT_EQ(Named<gui::TTabControl>(f, L"TabControl")->TabIndex(), 0);
    WheelAt(tabs, WHEEL_DELTA);
    EXPECT_TRUE(WaitApp([&] { return Named<gui::TTabControl>(f, L"TabControl")->TabIndex() == 1; }, 10000));
}

TEST_F(HisWindow, TheSortButtonSortsTheStoredHistory) {
    const std::vector<std::wstring> unsorted{Path(L"b.txt"), Path(L"A.txt"), Path(L"c.txt")};
    WriteList(0, 1, unsorted);
    Start();
    ShowInFront();
    THisForm& f = His();
    SelectTab(1);
    EXPECT_EQ(ListBoxItems(Named<gui::TListBox>(f, L"ListBoxHis")), unsorted);

    ClickAt(ButtonPoint(Named<gui::TToolButton>(f, L"TBSort")));
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TToolButton>(f, L"TBSort")->Down(); }, 10000));
    const std::vector<std::wstring> sorted{Path(L"A.txt"), Path(L"b.txt"), Path(L"c.txt")};
    EXPECT_TRUE(WaitApp([&] { return ListBoxItems(Named<gui::TListBox>(f, L"ListBoxHis")) == sorted; }, 10000));
    std::vector<std::wstring> stored;
    for (int i = 0; i < f.Lists.MFileList[1].Count(); ++i) stored.push_back(f.Lists.MFileList[1][i]);
    EXPECT_EQ(stored, sorted) << "the stored history is sorted itself";
    const std::wstring top = TrayForm->MPPList[1 * 40 + 0]->Caption();
    EXPECT_EQ(top.substr(top.size() - 5), L"A.txt") << "the tray menu shows the sorted list";

    // Released, the order stays as it is.
    ClickAt(ButtonPoint(Named<gui::TToolButton>(f, L"TBSort")));
    ASSERT_TRUE(WaitApp([&] { return !Named<gui::TToolButton>(f, L"TBSort")->Down(); }, 10000));
    SelectTab(1);
    EXPECT_EQ(ListBoxItems(Named<gui::TListBox>(f, L"ListBoxHis")), sorted);
    ASSERT_TRUE(f.Proc_SaveIni());
    gui::TMemIniFile ini(tray_.dir / L"His.ini");
    EXPECT_FALSE(ini.ReadBool(L"Window", L"Sort", true));
}

// The program tab's history refilled brings the launcher's history pane up
// to date; another tab's refill leaves it alone.
TEST_F(HisWindow, TheProgramHistoryRefilledRefillsTheLaunchersPane) {
    WriteList(0, 2, {BinDir() + L"VersionInfoPlain.exe"});
    Start();
    ShowInFront();
    THisForm& f = His();
    ASSERT_TRUE(LaunchForm);
    LaunchForm->Show();
    ASSERT_TRUE(WaitApp([&] { return LaunchForm->Visible(); }, 10000));
    ASSERT_EQ(LaunchForm->ListViewHis->Count(), 1);

    f.Lists.MFileList[2].Insert(0, BinDir() + L"OrvRecorder.exe");
    SelectTab(1);
    EXPECT_EQ(LaunchForm->ListViewHis->Count(), 1);
    SelectTab(2);
    EXPECT_EQ(LaunchForm->ListViewHis->Count(), 2);
    EXPECT_EQ(LaunchForm->ListViewHis->ItemText(0), L"OrvRecorder");
    LaunchForm->Hide();
}

// The pixels of tool-bar picture `index`.
std::vector<DWORD> ToolPicture(THisForm& f, int index) {
    gui::TBitmap bmp;
    std::vector<DWORD> pixels;
    if (!Named<gui::TImageList>(f, L"ImageListToolbar")->GetBitmap(index, bmp)) return pixels;
    for (int y = 0; y < bmp.Height(); ++y) {
        const DWORD* row = bmp.ScanLine(y);
        for (int x = 0; x < bmp.Width(); ++x) pixels.push_back(row[x] & 0xFFFFFF);  // the colours only
    }
    return pixels;
}

// On the clipboard tab a selected row without a target shows the no-target
// picture (3) on the main button; with no row selected, and on the other
// tabs without a selection, it shows its plain picture (5).
TEST_F(HisWindow, AClipboardRowWithoutATargetShowsTheNoTargetPicture) {
    Start();
    ShowInFront();
    THisForm& f = His();
    f.Lists.MFileList[0].Add(L"ターゲットなし");
    SelectTab(0);
    const std::vector<DWORD> noTarget = ToolPicture(f, 3), plain = ToolPicture(f, 5);
    ASSERT_FALSE(noTarget.empty());
    ASSERT_NE(noTarget, plain);
    EXPECT_EQ(Named<gui::TToolButton>(f, L"TBexe")->ImageIndex, 0);
    EXPECT_EQ(ToolPicture(f, 0), plain) << "nothing selected";

    // No window of another program stands below this one: the program's
    // hidden window goes to the bottom of the Z order, and no other
    // program's window was seen in front.
    ASSERT_TRUE(gui::Application);
    ASSERT_TRUE(::SetWindowPos(gui::Application->Handle(), HWND_BOTTOM, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    f.Target.MFrontWin = nullptr;
    Named<gui::TListBox>(f, L"ListBoxHis")->SetFocus();
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(0);
    f.Proc_DispStatus();
    ASSERT_EQ(f.Target.MClipHandle, nullptr) << "a window below the program's: " << gui::WideToUtf8(WindowClassName(f.Target.MClipHandle));
    EXPECT_EQ(Named<gui::TToolButton>(f, L"TBexe")->Hint, L"コピー [Enter]");
    EXPECT_EQ(ToolPicture(f, 0), noTarget);
    SelectTab(1);
    EXPECT_EQ(ToolPicture(f, 0), plain);
}

TEST_F(HisWindow, ThePanesKeepTheirPercentages) {
    Start([](gui::TMemIniFile& ini) {
        ini.WriteBool(L"Fav", L"Visible", true);
        ini.WriteInteger(L"Fav", L"Height", 40);
        ini.WriteBool(L"Edit", L"Visible", true);
        ini.WriteInteger(L"Edit", L"Width", 30);
    });
    ShowInFront();
    THisForm& f = His();
    auto expectPanes = [&](int favPercent, int editPercent) {
        EXPECT_EQ(Named<gui::TSplitter>(f, L"SplitterFav")->Height(), 5);
        EXPECT_EQ(Named<gui::TPanel>(f, L"PanelFav")->Height(), Named<gui::TTabControl>(f, L"TabControl")->Height() * favPercent / 100);
        EXPECT_EQ(Named<gui::TSplitter>(f, L"SplitterEdit")->Width(), 5);
        EXPECT_EQ(Named<gui::TPanel>(f, L"PanelEdit")->Width(), f.Width() * editPercent / 100);
    };
    EXPECT_TRUE(Named<gui::TToolButton>(f, L"TBFav")->Down());
    EXPECT_TRUE(Named<gui::TToolButton>(f, L"TBEdit")->Down());
    expectPanes(40, 30);
    f.SetBounds(20, 20, 1000, 760);
    PumpApp(200);
    expectPanes(40, 30);

    // Dragged far down, the favourites pane keeps its quarter.
    const POINT grip = Centre(Named<gui::TSplitter>(f, L"SplitterFav")->Handle());
    MouseAt(grip, {MOUSEEVENTF_LEFTDOWN});
    PumpApp(100);
    RECT tabs{};
    ::GetWindowRect(Named<gui::TTabControl>(f, L"TabControl")->Handle(), &tabs);
    MouseAt(POINT{grip.x, tabs.bottom - 5});
    PumpApp(100);
    MouseAt(POINT{grip.x, tabs.bottom - 5}, {MOUSEEVENTF_LEFTUP});
    ASSERT_TRUE(WaitApp([&] { return f.Lists.Settings.MFavH == 25; }, 10000)) << f.Lists.Settings.MFavH;
    expectPanes(25, 30);

    // Released, the pane is gone and the favourites take no Tab stop.
    ClickAt(ButtonPoint(Named<gui::TToolButton>(f, L"TBFav")));
    ASSERT_TRUE(WaitApp([&] { return !Named<gui::TToolButton>(f, L"TBFav")->Down(); }, 10000));
    EXPECT_EQ(Named<gui::TPanel>(f, L"PanelFav")->Height(), 0);
    EXPECT_EQ(Named<gui::TSplitter>(f, L"SplitterFav")->Height(), 0);
    EXPECT_EQ(::GetWindowLongW(Named<gui::TListBox>(f, L"ListBoxFav")->Handle(), GWL_STYLE) & WS_TABSTOP, 0);
    ClickAt(ButtonPoint(Named<gui::TToolButton>(f, L"TBEdit")));
    ASSERT_TRUE(WaitApp([&] { return !Named<gui::TToolButton>(f, L"TBEdit")->Down(); }, 10000));
    EXPECT_EQ(Named<gui::TPanel>(f, L"PanelEdit")->Width(), 0);
    ASSERT_TRUE(f.Proc_SaveIni());
    gui::TMemIniFile ini(tray_.dir / L"His.ini");
    EXPECT_FALSE(ini.ReadBool(L"Fav", L"Visible", true));
    EXPECT_EQ(ini.ReadInteger(L"Fav", L"Height", 0), 25);
}

TEST_F(HisWindow, EnterOnAClickedRowActsOnIt) {
    Start();
    ShowInFront();
    THisForm& f = His();
    f.Lists.MFileList[0].Add(L"クリックした行");
    f.Lists.MFileList[0].Add(L"二行目");
    f.Proc_DispHis();
    ASSERT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->Count(), 2);
    RECT row = Named<gui::TListBox>(f, L"ListBoxHis")->ItemRect(1);
    ClickAt(ScreenPoint(Named<gui::TListBox>(f, L"ListBoxHis")->Handle(), 20, (row.top + row.bottom) / 2));
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TToolButton>(f, L"TBexe")->Enabled(); }, 10000)) << "the selection enables the main button";
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex(), 1);
    EXPECT_EQ(Named<gui::TStatusBar>(f, L"StatusBar")->PanelText(0), L"二行目");
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitApp([&] { return ClipboardText() == L"二行目"; }, 15000)) << gui::WideToUtf8(ClipboardText());
    EXPECT_TRUE(f.Visible()) << "the window stays open unless told to close";
}

TEST_F(HisWindow, CtrlWheelSizesTheListsFontAndTheWheelScrolls) {
    std::vector<std::wstring> many;
    for (int i = 0; i < 80; ++i) many.push_back(Path(L"f" + std::to_wstring(i) + L".txt"));
    WriteList(0, 1, many);
    Start([](gui::TMemIniFile& ini) { ini.WriteInteger(L"Font", L"Size", 23); });
    ShowInFront();
    THisForm& f = His();
    SelectTab(1);
    Named<gui::TListBox>(f, L"ListBoxHis")->SetFocus();
    const POINT list = Centre(Named<gui::TListBox>(f, L"ListBoxHis")->Handle());

    WheelAt(list, WHEEL_DELTA, {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->Font().Size() == 24; }, 10000));
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Font().Size(), 24);
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemHeight(), 48);
    WheelAt(list, WHEEL_DELTA, {VK_CONTROL});
    PumpApp(300);
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->Font().Size(), 24) << "not above 24";
    WheelAt(list, -WHEEL_DELTA, {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->Font().Size() == 23; }, 10000));
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemHeight(), 46);

    // Without Ctrl: three rows down towards the user, up away from the user.
    ASSERT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->TopIndex(), 0);
    WheelAt(list, -WHEEL_DELTA);
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->TopIndex() == 3; }, 10000)) << Named<gui::TListBox>(f, L"ListBoxHis")->TopIndex();
    WheelAt(list, WHEEL_DELTA);
    EXPECT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->TopIndex() == 0; }, 10000));

    // On the settings page Ctrl+wheel over its own lists changes nothing.
    Named<gui::TPageControl>(f, L"PageControl")->SetActivePage(Named<gui::TTabSheet>(f, L"TabSheetEnv"));
    f.PageControlChange();
    for (gui::TListBox* pageList : {Named<THisEnvPage>(f, L"EnvPage")->ListBoxDir, Named<THisEnvPage>(f, L"EnvPage")->ListBoxExe}) {
        ASSERT_TRUE(WaitApp([&] { return ::IsWindowVisible(pageList->Handle()) != FALSE; }, 10000));
        WheelAt(Centre(pageList->Handle()), -WHEEL_DELTA, {VK_CONTROL});
        ASSERT_TRUE(testing_support::InputHandled());
    }
    // Back on the lists, one turn away from the user makes 24 from 23; it is
    // handled after the turns before it, so 24 also proves those changed nothing.
    Named<gui::TPageControl>(f, L"PageControl")->SetActivePage(Named<gui::TTabSheet>(f, L"TabSheetAct"));
    f.PageControlChange();
    ASSERT_TRUE(WaitApp([&] { return ::IsWindowVisible(Named<gui::TListBox>(f, L"ListBoxHis")->Handle()) != FALSE; }, 10000));
    WheelAt(Centre(Named<gui::TListBox>(f, L"ListBoxHis")->Handle()), WHEEL_DELTA, {VK_CONTROL});
    EXPECT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->Font().Size() == 24; }, 10000)) << Named<gui::TListBox>(f, L"ListBoxHis")->Font().Size();
}

// Per-core usage from a stand-in for the performance library: two cores and
// the total, as the library expands them.
const wchar_t* const kCounterPaths[] = {L"\\\\PC\\Processor(0)\\% Processor Time",
                                        L"\\\\PC\\Processor(1)\\% Processor Time",
                                        L"\\\\PC\\Processor(_Total)\\% Processor Time"};
const double kCounterValues[] = {5.2, 130.0, 52.6};

LONG WINAPI FakeOpen(LPCWSTR, DWORD_PTR, void** query) {
    *query = reinterpret_cast<void*>(0x5000);
    return 0;
}
LONG WINAPI FakeExpand(LPCWSTR, LPCWSTR, LPWSTR buffer, DWORD* length, DWORD) {
    std::wstring list;
    for (const wchar_t* p : kCounterPaths) list += std::wstring(p) + L'\0';
    list += L'\0';
    if (!buffer || *length < list.size()) {
        *length = static_cast<DWORD>(list.size());
        return static_cast<LONG>(0x800007D2L);  // more data
    }
    std::copy(list.begin(), list.end(), buffer);
    return 0;
}
LONG WINAPI FakeAdd(void*, LPCWSTR path, DWORD_PTR, void** counter) {
    for (int i = 0; i < 3; ++i)
        if (std::wstring(path) == kCounterPaths[i]) *counter = reinterpret_cast<void*>(static_cast<INT_PTR>(i + 1));
    return 0;
}
LONG WINAPI FakeCollect(void*) { return 0; }
LONG WINAPI FakeValue(void* counter, DWORD, DWORD*, void* value) {
    struct Value { DWORD status; double number; };
    auto* v = static_cast<Value*>(value);
    v->status = 0;
    v->number = kCounterValues[reinterpret_cast<INT_PTR>(counter) - 1];
    return 0;
}
LONG WINAPI FakeClose(void*) { return 0; }

TEST_F(HisWindow, TheCaptionShowsEachCoresUsage) {
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
    if (si.dwNumberOfProcessors < 2) GTEST_SKIP() << "one processor: no per-core caption";
    const CPUCorePdhFunctions fake{FakeOpen, FakeExpand, FakeAdd, FakeCollect, FakeValue, FakeClose};
    CPUCoreSetPdhFunctions(&fake);
    Start();
    THisForm& f = His();
    f.Proc_DispCPU();
    EXPECT_EQ(f.Caption(), L"Orvandel - 履歴") << "the button is up";
    Named<gui::TToolButton>(f, L"TBCPUCore")->SetDown(true);
    f.Proc_DispCPU();
    EXPECT_EQ(f.Caption(), L"053  [1]005 [2]100");
    Named<gui::TToolButton>(f, L"TBCPUCore")->SetDown(false);
    f.TBCPUCoreClick();
    EXPECT_EQ(f.Caption(), L"Orvandel - 履歴");
    tray_.StopTray();
    CPUCoreSetPdhFunctions(nullptr);
}

TEST_F(HisWindow, EveryShowReadsTheBoundsFromHisIniAgain) {
    Start();
    THisForm& f = His();
    f.Show();
    PumpApp(100);
    f.Close();
    ASSERT_FALSE(f.Visible());
    {
        gui::TMemIniFile ini(tray_.dir / L"His.ini");
        ini.WriteInteger(L"Window", L"Left", 70);
        ini.WriteInteger(L"Window", L"Top", 60);
        ini.WriteInteger(L"Window", L"Width", 720);
        ini.WriteInteger(L"Window", L"Height", 560);
        ASSERT_TRUE(ini.UpdateFile());
    }
    f.Show();
    RECT r = f.BoundsRect();
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::vector<LONG>{70, 60, 720, 560}));
    f.Close();
    {
        gui::TMemIniFile ini(tray_.dir / L"His.ini");
        ini.WriteBool(L"Window", L"Normal", false);
        ASSERT_TRUE(ini.UpdateFile());
    }
    f.Show();
    EXPECT_TRUE(::IsZoomed(f.Handle()));
    f.Close();
    gui::TMemIniFile ini(tray_.dir / L"His.ini");
    EXPECT_FALSE(ini.ReadBool(L"Window", L"Normal", true)) << "closed maximised";
}

// Shown maximised, the window keeps the bounds of "His.ini" for a restore:
// a double click on its caption brings it back to them.
TEST_F(HisWindow, AMaximisedShowRestoresToTheBoundsOfHisIni) {
    Start();
    THisForm& f = His();
    f.Show();
    PumpApp(100);
    f.Close();
    {
        gui::TMemIniFile ini(tray_.dir / L"His.ini");
        ini.WriteInteger(L"Window", L"Left", 110);
        ini.WriteInteger(L"Window", L"Top", 80);
        ini.WriteInteger(L"Window", L"Width", 700);
        ini.WriteInteger(L"Window", L"Height", 540);
        ini.WriteBool(L"Window", L"Normal", false);
        ASSERT_TRUE(ini.UpdateFile());
    }
    ShowInFront();
    ASSERT_TRUE(::IsZoomed(f.Handle()));
    RECT w{};
    ::GetWindowRect(f.Handle(), &w);
    POINT caption{(w.left + w.right) / 2,
                  w.top + ::GetSystemMetrics(SM_CYSIZEFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2};
    ASSERT_EQ(::SendMessageW(f.Handle(), WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
    ClickAt(caption, /*twice=*/true);
    ASSERT_TRUE(WaitApp([&] { return !::IsZoomed(f.Handle()); }, 10000)) << "the double click restores it";
    const RECT r = f.BoundsRect();
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::vector<LONG>{110, 80, 700, 540}));
}

// Whichever way the window is shown again, it lists what was recorded while
// it was hidden, nothing is selected, and the history list has the keys.
TEST_F(HisWindow, EveryWayOfShowingListsWhatWasRecordedWhileHidden) {
    Start();
    THisForm& f = His();
    struct Way {
        const char* name;
        std::function<void()> show;
    };
    const Way ways[] = {
        {"the tray menu's window item", [] { TrayItem(L"PPHis")->Click(); }},
        {"hot key 1", [&] { f.Hook.HookHotKeyHotKey(1); }},
    };
    int n = 0;
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        if (f.Visible()) f.Close();
        ASSERT_FALSE(f.Visible());
        const std::wstring text = L"隠れている間に写した文 " + std::to_wstring(++n);
        ASSERT_TRUE(SetClipboardTextRetry(text));
        f.Capture.Proc_TimerHis(::GetForegroundWindow(), false);
        ASSERT_EQ(f.Lists.MFileList[0][0], text) << "recorded while hidden";

        way.show();
        ASSERT_TRUE(WaitApp([&] { return f.Visible() && ::GetForegroundWindow() == f.Handle(); }, 10000));
        std::vector<std::wstring> stored;
        for (int i = 0; i < f.Lists.MFileList[0].Count(); ++i) stored.push_back(f.Lists.MFileList[0][i]);
        EXPECT_EQ(ListBoxItems(Named<gui::TListBox>(f, L"ListBoxHis")), stored);
        EXPECT_TRUE(WaitApp([&] { return ::GetFocus() == Named<gui::TListBox>(f, L"ListBoxHis")->Handle(); }, 10000));
        EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex(), -1);
        EXPECT_FALSE(Named<gui::TToolButton>(f, L"TBexe")->Enabled());
        EXPECT_EQ(Named<gui::TStatusBar>(f, L"StatusBar")->PanelText(0), L"");
    }
}

}  // namespace
