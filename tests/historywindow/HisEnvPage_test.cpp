// The history window's settings page: its controls show "His.ini", real
// clicks and keys change the settings at once and the close writes them;
// the drive list's ticks become the drive exclusions when the page is left;
// the up-downs wrap; the opacity track bar sets the window's alpha; hot keys
// are free while the page shows; the category boxes show and hide the tray
// history menu's categories.
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <thread>

#include "app/Tray.h"
#include "app/history/HisEnvPage.h"
#include "gui/Exception.h"
#include "tests/historywindow/HisWindowFixture.h"
#include "tests/historywindow/OpenDialogAnswer.h"
#include "toolkit/QuorvinShortCut.h"

using namespace testing_support;
using history_window::OpenDialogAnswer;

namespace {

class HisEnvPage : public history_window::HisWindowTest {
protected:
    THisEnvPage& Env() { return *Named<THisEnvPage>(His(), L"EnvPage"); }

    // A real click on the page control's tab of the page.
    void ClickPage(gui::TTabSheet* page) {
        gui::TPageControl* pc = Named<gui::TPageControl>(His(), L"PageControl");
        const int index = page == Named<gui::TTabSheet>(His(), L"TabSheetEnv") ? 1 : 0;
        RECT r{};
        ::SendMessageW(pc->Handle(), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        ClickAt(ScreenPoint(pc->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2));
        ASSERT_TRUE(WaitApp([&] { return pc->ActivePage() == page; }, 15000));
        PumpApp(100);
    }

    // Shows the window in front with the settings page entered by a click.
    void OpenSettingsPage() {
        ShowInFront();
        ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
        ASSERT_TRUE(::IsWindowVisible(Env().ListBoxDrive->Handle()));
    }

    // Clicks a check box and waits until its mark is as wanted.
    void ClickCheck(gui::TCheckBox* box, bool wanted) {
        ClickAt(Centre(box->Handle()));
        ASSERT_TRUE(WaitApp([&] { return box->Checked() == wanted; }, 10000)) << box->Name;
    }

    // Clicks the upper (up) or lower (down) half of an up-down.
    void ClickArrow(gui::TUpDown* ud, bool up) {
        RECT r{};
        ::GetClientRect(ud->Handle(), &r);
        const int y = up ? r.bottom / 4 : r.bottom * 3 / 4;
        ClickAt(ScreenPoint(ud->Handle(), r.right / 2, y));
    }

    gui::TMemIniFile SavedIni() { return gui::TMemIniFile(Path(L"His.ini")); }

    int DriveRow(const std::wstring& root) {
        for (int i = 0; i < Env().ListBoxDrive->Count(); ++i)
            if (Env().ListBoxDrive->Item(i).rfind(root, 0) == 0) return i;
        return -1;
    }

    // A real click on the check mark of the drive list's row.
    void ClickDriveMark(int row) {
        gui::TCheckListBox* list = Env().ListBoxDrive;
        const RECT r = list->ItemRect(row);
        ClickAt(ScreenPoint(list->Handle(), r.left + (r.bottom - r.top) / 2, (r.top + r.bottom) / 2));
    }

    std::vector<std::wstring> Items(const gui::TStringList& list) {
        std::vector<std::wstring> v;
        for (int i = 0; i < list.Count(); ++i) v.push_back(list[i]);
        return v;
    }
};

TEST_F(HisEnvPage, TheControlsShowHisIni) {
    const std::wstring show = ShortCutToText(scCtrl | scAlt | 'H');
    Start([&](gui::TMemIniFile& ini) {
        ini.WriteInteger(L"Clip", L"Wait", 700);
        ini.WriteInteger(L"Clip", L"MAXClip", 64);
        ini.WriteInteger(L"Clip", L"Paste", 1);
        ini.WriteBool(L"Clip", L"Sound Enabled", true);
        ini.WriteString(L"Clip", L"Sound File", L"C:\\a.wav");
        ini.WriteInteger(L"Window", L"Trans", 60);
        ini.WriteInteger(L"Window", L"Min", 5);
        ini.WriteBool(L"Window", L"Min-Close", true);
        ini.WriteBool(L"Window", L"ToolBarList", false);
        ini.WriteString(L"HotKey", L"Show", show);
        ini.WriteBool(L"History", L"DeskTopWClick", true);
        ini.WriteInteger(L"History", L"DeskTopWClickKey", 2);
        ini.WriteInteger(L"History", L"List0", 40);
        ini.WriteInteger(L"History", L"List1", 30);
        ini.WriteBool(L"History", L"MenuItem2", false);
        ini.WriteBool(L"History", L"AutoDelete", true);
        ini.WriteBool(L"History", L"NoSave", true);
        ini.WriteBool(L"Icon", L"List", true);
        ini.WriteInteger(L"Address", L"Timing", 3);
        ini.WriteInteger(L"Folder", L"Count", 1);
        ini.WriteString(L"Folder", L"0", L"C:\\zeta");
        ini.WriteString(L"Folder", L"1", L"C:\\alpha");
        ini.WriteInteger(L"ExecuteFile", L"Count", 0);
        ini.WriteString(L"ExecuteFile", L"0", L"tool.exe");
    });
    THisEnvPage& e = Env();
    EXPECT_EQ(e.UDWait->Position(), 700);
    EXPECT_EQ(e.TxtWait->Text(), L"700");
    EXPECT_EQ(e.UDMaxClip->Position(), 64);
    EXPECT_EQ(e.TxtMaxClip->Text(), L"64");
    // The numeric displays: read-only, without a border, on the button face.
    for (TNumEdit* n : {e.TxtWait, e.TxtMaxClip}) {
        SCOPED_TRACE(gui::WideToUtf8(n->Name));
        EXPECT_TRUE(n->ReadOnly);
        EXPECT_FALSE(n->ErrorBeep);
        EXPECT_EQ(n->IntegerLength(), 4);
        EXPECT_FALSE(::GetWindowLongW(n->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_FALSE(::GetWindowLongW(n->Handle(), GWL_STYLE) & WS_BORDER);
        EXPECT_EQ(n->ClientWidth(), n->Width()) << "no frame";
        EXPECT_EQ(n->Color(), gui::clBtnFace);
    }
    EXPECT_EQ(e.RadioGroupPaste->ItemIndex(), 1);
    EXPECT_TRUE(e.CHKWave->Checked());
    EXPECT_EQ(e.EditWave->Text(), L"C:\\a.wav");
    EXPECT_EQ(e.RadioGroupStart->ItemIndex(), 0);
    EXPECT_EQ(e.TrackBarTrans->Position(), 60);
    EXPECT_EQ(e.LabelTrans->Caption(), L"60%");
    EXPECT_EQ(e.CBAutoMin->Count(), 61);
    EXPECT_EQ(e.CBAutoMin->Item(60), L"60秒");
    EXPECT_EQ(e.CBAutoMin->Item(e.CBAutoMin->ItemIndex()), L"5秒");
    EXPECT_TRUE(e.CHKAutoMin->Checked());
    EXPECT_FALSE(e.CHKTooBarList->Checked());
    EXPECT_EQ(e.EditHTKShow->Text(), show);
    EXPECT_EQ(e.EditHTKMenu->Text(), L"");
    EXPECT_TRUE(e.CHKHookDesktop->Checked());
    EXPECT_TRUE(e.ComboBoxHook->Enabled());
    EXPECT_EQ(e.ComboBoxHook->ItemIndex(), 2);
    EXPECT_EQ(e.CBHisList->ItemIndex(), 0);
    EXPECT_EQ(e.CBHisListNum->Item(e.CBHisListNum->ItemIndex()), L"40");
    EXPECT_TRUE(e.MCHKHisMenuItem[0]->Checked());
    EXPECT_FALSE(e.MCHKHisMenuItem[2]->Checked());
    EXPECT_EQ(e.MCHKHisMenuItem[3]->Tag, 3);
    EXPECT_EQ(e.MCHKHisMenuItem[1], His().FindComponent(L"CHKHisMenuItem1"));
    EXPECT_TRUE(e.CHKAutoDel->Checked());
    EXPECT_TRUE(e.CHKNoSave->Checked());
    EXPECT_TRUE(e.CHKIconList->Checked());
    EXPECT_EQ(e.CBPasteDir->Item(e.CBPasteDir->ItemIndex()), L"やや速く");
    ASSERT_EQ(e.ListBoxDir->Count(), 2);
    EXPECT_EQ(e.ListBoxDir->Item(0), L"C:\\alpha") << "sorted";
    EXPECT_EQ(e.ListBoxExe->Item(0), L"tool.exe");
    // From Vista on the Explorer category is neither a length choice nor a menu item.
    EXPECT_EQ(e.CBHisList->Count(), 4);
    EXPECT_FALSE(e.MCHKHisMenuItem[4]->Visible());
    EXPECT_FALSE(e.MCHKHisMenuItem[4]->Checked());
    // The opacity from the file.
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(His().Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 153);

    // The length choice follows the category.
    e.CBHisList->SetItemIndex(1);
    e.CBHisListChange();
    EXPECT_EQ(e.CBHisListNum->Item(e.CBHisListNum->ItemIndex()), L"30");
    e.CBHisListNum->SetItemIndex(9);
    e.CBHisListNumChange();
    EXPECT_EQ(His().Lists.Settings.MHisListNum[1], 100);
    EXPECT_EQ(His().Lists.Settings.MHisListNum[0], 40);
}

TEST_F(HisEnvPage, ClicksChangeTheSettingsAtOnceAndTheCloseWritesThem) {
    Start();
    OpenSettingsPage();
    THisEnvPage& e = Env();
    THisSettings& s = His().Lists.Settings;
    ASSERT_FALSE(s.CHKAutoDel);
    ClickCheck(e.CHKAutoDel, true);
    EXPECT_TRUE(s.CHKAutoDel) << "read by the pruning at once";
    ClickCheck(e.CHKNoSave, true);
    ClickCheck(e.CHKHookDesktop, true);
    EXPECT_TRUE(e.ComboBoxHook->Enabled());
    ClickCheck(e.CHKHookDesktop, false);
    EXPECT_FALSE(e.ComboBoxHook->Enabled());
    ClickCheck(e.CHKTooBarList, false);
    // The paste key's second button.
    ClickAt(Centre(e.RadioGroupPaste->Button(1)->Handle()));
    ASSERT_TRUE(WaitApp([&] { return s.RadioGroupPaste == 1; }, 10000));
    // The folder-jump timing chosen with the keyboard.
    e.CBPasteDir->SetFocus();
    PressKey(VK_DOWN);
    ASSERT_TRUE(WaitApp([&] { return s.CBPasteDir == 1; }, 10000));
    // The paste delay one step up.
    ClickArrow(e.UDWait, true);
    ASSERT_TRUE(WaitApp([&] { return s.UDWait == 400; }, 10000)) << s.UDWait;
    EXPECT_EQ(e.TxtWait->Text(), L"400");

    // Nothing is written before the window closes.
    EXPECT_FALSE(SavedIni().ReadBool(L"History", L"AutoDelete", false));
    His().Close();
    gui::TMemIniFile ini = SavedIni();
    EXPECT_TRUE(ini.ReadBool(L"History", L"AutoDelete", false));
    EXPECT_TRUE(ini.ReadBool(L"History", L"NoSave", false));
    EXPECT_FALSE(ini.ReadBool(L"History", L"DeskTopWClick", true));
    EXPECT_FALSE(ini.ReadBool(L"Window", L"ToolBarList", true));
    EXPECT_EQ(ini.ReadInteger(L"Clip", L"Paste", 0), 1);
    EXPECT_EQ(ini.ReadInteger(L"Address", L"Timing", 0), 1);
    EXPECT_EQ(ini.ReadInteger(L"Clip", L"Wait", 0), 400);
    // Leaving the page by the close gave the tool bar its style.
    EXPECT_EQ(Named<gui::TPageControl>(His(), L"PageControl")->ActivePage(), Named<gui::TTabSheet>(His(), L"TabSheetAct"));
}

TEST_F(HisEnvPage, TheUpDownsWrapToTheOtherEnd) {
    Start([](gui::TMemIniFile& ini) {
        ini.WriteInteger(L"Clip", L"Wait", 1000);
        ini.WriteInteger(L"Clip", L"MAXClip", 256);
    });
    OpenSettingsPage();
    THisEnvPage& e = Env();
    THisSettings& s = His().Lists.Settings;
    ClickArrow(e.UDWait, true);
    ASSERT_TRUE(WaitApp([&] { return e.UDWait->Position() == 0; }, 10000)) << e.UDWait->Position();
    EXPECT_EQ(e.TxtWait->Text(), L"0");
    EXPECT_EQ(s.UDWait, 0);
    ClickArrow(e.UDWait, false);
    ASSERT_TRUE(WaitApp([&] { return e.UDWait->Position() == 1000; }, 10000)) << e.UDWait->Position();
    EXPECT_EQ(e.TxtWait->Text(), L"1000");

    ClickArrow(e.UDMaxClip, true);
    ASSERT_TRUE(WaitApp([&] { return e.UDMaxClip->Position() == 8; }, 10000)) << e.UDMaxClip->Position();
    EXPECT_EQ(s.UDMaxClip, 8);
    EXPECT_EQ(e.TxtMaxClip->Text(), L"8");
    ClickArrow(e.UDMaxClip, true);
    ASSERT_TRUE(WaitApp([&] { return e.UDMaxClip->Position() == 16; }, 10000)) << e.UDMaxClip->Position();
    ClickArrow(e.UDMaxClip, false);
    ClickArrow(e.UDMaxClip, false);
    ClickArrow(e.UDMaxClip, false);
    ASSERT_TRUE(WaitApp([&] { return e.UDMaxClip->Position() == 248; }, 10000)) << e.UDMaxClip->Position();
}

TEST_F(HisEnvPage, TheOpacityTrackBarSetsTheWindowsAlpha) {
    Start();
    OpenSettingsPage();
    THisEnvPage& e = Env();
    auto layered = [&] { return (::GetWindowLongW(His().Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0; };
    auto alpha = [&] {
        BYTE a = 0;
        DWORD flags = 0;
        return ::GetLayeredWindowAttributes(His().Handle(), nullptr, &a, &flags) && (flags & LWA_ALPHA) ? int(a) : -1;
    };
    EXPECT_FALSE(layered()) << "100 % blends nothing";
    ClickAt(Centre(e.TrackBarTrans->Handle()));
    ASSERT_TRUE(WaitApp([&] { return e.TrackBarTrans->Focused(); }, 10000));
    PressKey(VK_HOME);
    ASSERT_TRUE(WaitApp([&] { return e.TrackBarTrans->Position() == 20; }, 10000)) << e.TrackBarTrans->Position();
    EXPECT_EQ(alpha(), 51);
    EXPECT_EQ(e.LabelTrans->Caption(), L"20%");
    PressKey(VK_RIGHT);
    ASSERT_TRUE(WaitApp([&] { return e.TrackBarTrans->Position() == 25; }, 10000)) << e.TrackBarTrans->Position();
    EXPECT_EQ(alpha(), 63);
    PressKey(VK_END);
    ASSERT_TRUE(WaitApp([&] { return e.TrackBarTrans->Position() == 100; }, 10000));
    EXPECT_FALSE(layered());
    EXPECT_EQ(e.LabelTrans->Caption(), L"100%");
    EXPECT_EQ(His().Lists.Settings.TrackBarTrans, 100);
}

TEST_F(HisEnvPage, DriveTicksBecomeTheExclusionsWhenThePageIsLeft) {
    // P: is no drive in the test worlds: its exclusion stays whatever the list shows.
    Start([](gui::TMemIniFile& ini) {
        ini.WriteInteger(L"Drive", L"Count", 0);
        ini.WriteString(L"Drive", L"0", L"P:\\");
    });
    OpenSettingsPage();
    THisSettings& s = His().Lists.Settings;
    const int c = DriveRow(L"C:\\");
    ASSERT_GE(c, 0) << "the drive list shows the present drives";
    EXPECT_LT(DriveRow(L"P:\\"), 0);
    EXPECT_TRUE(Env().ListBoxDrive->Checked(c));
    ClickDriveMark(c);
    ASSERT_TRUE(WaitApp([&] { return !Env().ListBoxDrive->Checked(c); }, 10000));
    EXPECT_EQ(Items(s.ListBoxNoDrive), std::vector<std::wstring>{L"P:\\"}) << "nothing changes on the page";

    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetAct"));
    EXPECT_EQ(Items(s.ListBoxNoDrive), (std::vector<std::wstring>{L"C:\\", L"P:\\"}));
    // Entering and leaving again changes nothing: the root is there once.
    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
    EXPECT_FALSE(Env().ListBoxDrive->Checked(DriveRow(L"C:\\")));
    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetAct"));
    EXPECT_EQ(Items(s.ListBoxNoDrive), (std::vector<std::wstring>{L"C:\\", L"P:\\"}));

    // Ticked again, the drive is recorded again.
    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
    ClickDriveMark(DriveRow(L"C:\\"));
    ASSERT_TRUE(WaitApp([&] { return Env().ListBoxDrive->Checked(DriveRow(L"C:\\")); }, 10000));
    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetAct"));
    EXPECT_EQ(Items(s.ListBoxNoDrive), std::vector<std::wstring>{L"P:\\"});

    // The HDD button ticks exactly the fixed disks; unticked and closed on
    // the page, the exclusion is written with the close.
    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
    ClickDriveMark(DriveRow(L"C:\\"));
    ASSERT_TRUE(WaitApp([&] { return !Env().ListBoxDrive->Checked(DriveRow(L"C:\\")); }, 10000));
    ClickAt(Centre(Env().BtnHDD->Handle()));
    ASSERT_TRUE(WaitApp([&] { return Env().ListBoxDrive->Checked(DriveRow(L"C:\\")); }, 10000));
    ClickDriveMark(DriveRow(L"C:\\"));
    ASSERT_TRUE(WaitApp([&] { return !Env().ListBoxDrive->Checked(DriveRow(L"C:\\")); }, 10000));
    His().Close();
    gui::TMemIniFile ini = SavedIni();
    EXPECT_EQ(ini.ReadInteger(L"Drive", L"Count", -1), 1);
    EXPECT_EQ(ini.ReadString(L"Drive", L"0", L""), L"C:\\");
    EXPECT_EQ(ini.ReadString(L"Drive", L"1", L""), L"P:\\");
}

TEST_F(HisEnvPage, AHotKeyTypedOnThePageIsFreeUntilThePageIsLeft) {
    Start();
    OpenSettingsPage();
    THisEnvPage& e = Env();
    auto free = [] {
        if (!::RegisterHotKey(nullptr, 0x7778, MOD_CONTROL | MOD_SHIFT, VK_F10)) return false;
        ::UnregisterHotKey(nullptr, 0x7778);
        return true;
    };
    ClickAt(Centre(e.EditHTKShow->Handle()));
    ASSERT_TRUE(WaitApp([&] { return e.EditHTKShow->Focused(); }, 10000));
    PressKey(VK_F10, {VK_CONTROL, VK_SHIFT});
    const std::wstring text = ShortCutToText(scCtrl | scShift | VK_F10);
    ASSERT_TRUE(WaitApp([&] { return e.EditHTKShow->Text() == text; }, 10000)) << e.EditHTKShow->Text();
    EXPECT_EQ(His().Lists.Settings.EditHTKShow, text);
    EXPECT_TRUE(free()) << "no hot key while the page shows";
    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetAct"));
    EXPECT_FALSE(free()) << "registered when the page is left";
    His().Close();
    EXPECT_EQ(SavedIni().ReadString(L"HotKey", L"Show", L""), text);
}

TEST_F(HisEnvPage, TheCategoryBoxesShowAndHideTheTrayMenusCategories) {
    WriteList(0, 1, {Path(L"report.txt")});
    Start();
    OpenSettingsPage();
    gui::TCheckBox* box = Env().MCHKHisMenuItem[1];
    gui::TMenuItem* tab = TrayForm->MPPTab[1];
    ASSERT_TRUE(tab->Visible());
    ClickCheck(box, false);
    EXPECT_FALSE(tab->Visible());
    EXPECT_FALSE(His().Lists.Settings.MCHKHisMenuItem[1]);
    // Ticked again, the category is filled again and shown.
    ClickCheck(box, true);
    EXPECT_TRUE(tab->Visible());
    bool found = false;
    for (int i = 0; i < tab->Count(); ++i)
        found = found || (tab->Items(i)->Visible() && tab->Items(i)->Caption().find(L"report.txt") != std::wstring::npos);
    EXPECT_TRUE(found) << "the history entry is in the category";
    // With the keyboard: Space on the focused box.
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitApp([&] { return !box->Checked(); }, 10000));
    EXPECT_FALSE(tab->Visible());
    His().Close();
    EXPECT_FALSE(SavedIni().ReadBool(L"History", L"MenuItem1", true));
}

}  // namespace

namespace {

void Touch(const std::wstring& file) {
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
}

TEST_F(HisEnvPage, TheSoundAndProgramDialogsTakeOnlyTheirKindOfFile) {
    Start();
    OpenSettingsPage();
    THisEnvPage& e = Env();
    THisSettings& s = His().Lists.Settings;
    const std::wstring text = Path(L"notes.txt"), wave = Path(L"tune.wav"), exe = Path(L"tool.exe");
    for (const auto& f : {text, wave, exe}) Touch(f);
    {
        OpenDialogAnswer answer(text);
        ClickAt(Centre(e.BtnWave->Handle()));
        ASSERT_TRUE(WaitApp([&] { return answer.Done(); }, 60000));
    }
    PumpApp(200);
    EXPECT_EQ(e.EditWave->Text(), L"") << "not a .wav file";
    {
        OpenDialogAnswer answer(wave);
        ClickAt(Centre(e.BtnWave->Handle()));
        ASSERT_TRUE(WaitApp([&] { return answer.Done(); }, 60000));
    }
    ASSERT_TRUE(WaitApp([&] { return e.EditWave->Text() == wave; }, 10000)) << e.EditWave->Text();
    EXPECT_EQ(s.EditWave, wave);

    for (int round = 0; round < 2; ++round) {
        OpenDialogAnswer answer(exe);
        ClickAt(Centre(e.BtnExeAdd->Handle()));
        ASSERT_TRUE(WaitApp([&] { return answer.Done(); }, 60000));
        PumpApp(200);
    }
    ASSERT_EQ(e.ListBoxExe->Count(), 1) << "a program is listed once";
    EXPECT_EQ(e.ListBoxExe->Item(0), exe);
    EXPECT_EQ(e.ListBoxExe->ItemIndex(), 0);
    EXPECT_TRUE(e.BtnExeDel->Enabled());
    EXPECT_EQ(Items(s.ListBoxExe), std::vector<std::wstring>{exe});
    ClickAt(Centre(e.BtnExeDel->Handle()));
    ASSERT_TRUE(WaitApp([&] { return e.ListBoxExe->Count() == 0; }, 10000));
    EXPECT_FALSE(e.BtnExeDel->Enabled());
    EXPECT_TRUE(s.ListBoxExe.Empty());
}

TEST_F(HisEnvPage, AFolderRowIsDeletedWhileSelectedAndNetworkPathsWarn) {
    Start([](gui::TMemIniFile& ini) {
        ini.WriteInteger(L"Folder", L"Count", 1);
        ini.WriteString(L"Folder", L"0", L"C:\\keep");
        ini.WriteString(L"Folder", L"1", L"C:\\drop");
    });
    OpenSettingsPage();
    THisEnvPage& e = Env();
    THisSettings& s = His().Lists.Settings;
    EXPECT_FALSE(e.BtnDirDel->Enabled());
    const RECT row = e.ListBoxDir->ItemRect(0);  // "C:\drop", sorted first
    ClickAt(ScreenPoint(e.ListBoxDir->Handle(), (row.left + row.right) / 2, (row.top + row.bottom) / 2));
    ASSERT_TRUE(WaitApp([&] { return e.BtnDirDel->Enabled(); }, 10000));
    ClickAt(Centre(e.BtnDirDel->Handle()));
    ASSERT_TRUE(WaitApp([&] { return e.ListBoxDir->Count() == 1; }, 10000));
    EXPECT_EQ(e.ListBoxDir->Item(0), L"C:\\keep");
    EXPECT_FALSE(e.BtnDirDel->Enabled());
    EXPECT_EQ(Items(s.ListBoxDir), std::vector<std::wstring>{L"C:\\keep"});
    // A selected row is let go when the page changes.
    ClickAt(ScreenPoint(e.ListBoxDir->Handle(), (row.left + row.right) / 2, (row.top + row.bottom) / 2));
    ASSERT_TRUE(WaitApp([&] { return e.BtnDirDel->Enabled(); }, 10000));
    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetAct"));
    EXPECT_EQ(e.ListBoxDir->ItemIndex(), -1);
    EXPECT_FALSE(e.BtnDirDel->Enabled());

    // Ticking the network box warns; unticking does not.
    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
    MessageBoxAnswerer boxes;
    ClickAt(Centre(e.ChkNetwork->Handle()));
    ASSERT_TRUE(WaitApp([&] { return boxes.Count() == 1; }, 20000));
    EXPECT_EQ(boxes.Texts()[0], L"＊ネットワークが切断されるとファイル、フォルダの存在確認処理にかなり時間が掛かります。");
    ASSERT_TRUE(WaitApp([&] { return s.ChkNetwork; }, 10000));
    ClickCheck(e.ChkNetwork, false);
    PumpApp(300);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_FALSE(s.ChkNetwork);

    // The icon box runs the icon timer while the window shows.
    ClickCheck(e.CHKIconList, true);
    EXPECT_TRUE(Named<gui::TTimer>(His(), L"TimerWheel")->Enabled());
    ClickCheck(e.CHKIconList, false);
    EXPECT_FALSE(Named<gui::TTimer>(His(), L"TimerWheel")->Enabled());
}

// The drive rows are the window's drive list (upper-cased root, label in
// brackets); the page finds drives and programs whatever their case, as the
// pruning does.
TEST_F(HisEnvPage, DriveRowsAreTheDriveListAndLookUpsIgnoreCase) {
    const std::wstring tool = Path(L"Tool.exe");
    Touch(tool);
    std::wstring lowerTool = tool;
    ::CharLowerBuffW(lowerTool.data(), static_cast<DWORD>(lowerTool.size()));
    Start([&](gui::TMemIniFile& ini) {
        ini.WriteInteger(L"Drive", L"Count", 0);
        ini.WriteString(L"Drive", L"0", L"c:\\");
        ini.WriteInteger(L"ExecuteFile", L"Count", 0);
        ini.WriteString(L"ExecuteFile", L"0", lowerTool);
    });
    OpenSettingsPage();
    THisEnvPage& e = Env();
    THisSettings& s = His().Lists.Settings;
    gui::TStringList drives;
    His().Proc_GetDriveList(&drives);
    drives.Sort();
    std::vector<std::wstring> rows;
    for (int i = 0; i < e.ListBoxDrive->Count(); ++i) rows.push_back(e.ListBoxDrive->Item(i));
    EXPECT_EQ(rows, Items(drives));

    struct Case {
        std::vector<std::wstring> stored;  // the excluded roots as read
        bool shownTicked;                  // C: as the page shows it
        bool click;                        // the user clicks C:'s mark
        std::vector<std::wstring> left;    // the excluded roots after leaving
    };
    const Case cases[] = {
        {{L"c:\\"}, false, false, {L"c:\\"}},          // kept once, no second "C:\"
        {{L"c:\\"}, false, true, {}},                   // ticked: recorded again
        {{L"C:\\", L"c:\\"}, false, true, {}},          // every spelling goes
        {{L"Q:\\"}, true, true, {L"C:\\", L"Q:\\"}},    // unticked: added
        {{L"C:\\"}, false, false, {L"C:\\"}},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        const Case& k = cases[n];
        SCOPED_TRACE(testing::Message() << "case " << n);
        if (n > 0) {
            // The exclusions as "His.ini" would have them.
            e.ListBoxNoDrive->Clear();
            s.ListBoxNoDrive.Clear();
            for (const auto& r : k.stored) {
                e.ListBoxNoDrive->Add(r);
                s.ListBoxNoDrive.Add(r);
            }
            ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
        }
        const int c = DriveRow(L"C:\\");
        ASSERT_GE(c, 0);
        EXPECT_EQ(e.ListBoxDrive->Checked(c), k.shownTicked);
        if (k.click) {
            ClickDriveMark(c);
            ASSERT_TRUE(WaitApp([&] { return e.ListBoxDrive->Checked(c) != k.shownTicked; }, 10000));
        }
        ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetAct"));
        EXPECT_EQ(Items(s.ListBoxNoDrive), k.left);
    }

    // A program listed in another case is not added again.
    ClickPage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
    {
        OpenDialogAnswer answer(tool);
        ClickAt(Centre(e.BtnExeAdd->Handle()));
        ASSERT_TRUE(WaitApp([&] { return answer.Done(); }, 60000));
    }
    PumpApp(200);
    EXPECT_EQ(e.ListBoxExe->Count(), 1);
    EXPECT_EQ(Items(s.ListBoxExe), std::vector<std::wstring>{lowerTool});
}

}  // namespace
