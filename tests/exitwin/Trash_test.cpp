#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/PrefixGuard.h"
#include "tests/tray/TrayFixture.h"

using namespace testing_support;

namespace {

const wchar_t kBinKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}";

long long BinItems() {
    SHQUERYRBINFO info{sizeof(info)};
    if (FAILED(::SHQueryRecycleBinW(L"", &info))) return -1;
    return info.i64NumItems;
}

// Moves a new scratch file into the recycle bin (the run's own trash folder).
void PutFileInBin(const ScratchDir& dir, const std::wstring& name) {
    const std::wstring path = dir / name;
    ASSERT_TRUE(WriteBytes(path, "trash"));
    std::wstring from = path + L'\0';  // the list ends with two NULs
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(::SHFileOperationW(&op), 0);
    ASSERT_GT(BinItems(), 0);
}

void EmptyBin() { ::SHEmptyRecycleBinW(nullptr, L"", SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND); }

INT_PTR CALLBACK DeleteDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::DestroyWindow(dlg);
        return TRUE;
    }
    return msg == WM_INITDIALOG;
}

// A delete dialog of this program: it goes away when answered or closed.
HWND ShowDeleteDialog(HWND owner, const wchar_t* title) {
    struct alignas(4) Template {
        DLGTEMPLATE dlg;
        WORD menu, cls, title;
    } tmpl{};
    tmpl.dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
    tmpl.dlg.cx = 200;
    tmpl.dlg.cy = 60;
    HWND dlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &tmpl.dlg, owner, DeleteDlgProc, 0);
    if (dlg) ::SetWindowTextW(dlg, title);
    return dlg;
}

bool IsTopMost(HWND w) { return (::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

HWND FindOf(const wchar_t* cls, const std::wstring& title, DWORD pid) {
    for (HWND w : FindTopWindows(cls, &title))
        if (WindowProcessId(w) == pid) return w;
    return nullptr;
}

// Explorer windows standing now, whatever their class under this Windows.
std::set<HWND> ExplorerWindows() {
    std::set<HWND> all;
    for (const wchar_t* cls : {L"ExplorerWClass", L"CabinetWClass"})
        for (HWND w : FindTopWindows(cls)) all.insert(w);
    return all;
}

// The recycle bin's display name in the registry for the test's duration;
// the key is put back as it was (removed when the test created it), also
// after a killed run.
class BinName {
public:
    explicit BinName(const std::wstring& name) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kBinKey, L"", REG_SZ, name.c_str(),
                          static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    }

private:
    testing_support::RegKeyRestore keep_{HKEY_CURRENT_USER, kBinKey};
};

class Trash : public testing::Test, public TrayFormFixture {
protected:
    void SetUp() override {
        EmptyBin();
        before = ExplorerWindows();
    }
    void TearDown() override {
        StopTray();
        EmptyBin();
        // Close what the shell opened for the bin.
        for (HWND w : ExplorerWindows())
            if (!before.count(w)) ::PostMessageW(w, WM_CLOSE, 0, 0);
    }

    // The main form with the heartbeat running and every step but the
    // recycle bin's doing nothing; ticks are counted.
    void StartWatching(bool check, bool top) {
        StartTray();
        TrayForm->TimerMain->SetEnabled(false);
        auto& s = TrayForm->Steps;
        auto trash = s.TrashCheck;
        s = {};
        s.IMECheck = s.CheckHook = s.TimerCPU = s.TimerRAM = s.DispCPU = s.AutoMinimize = [] {};
        s.TimerHis = s.TimerBtn = [](HWND, bool) {};
        s.CursorWin = [] { return HWND(nullptr); };
        s.PPLSet = [] { return false; };
        s.TrashCheck = [this, trash] {
            trash();
            ++ticks;
        };
        TrayForm->PPTrashCheck->SetChecked(check);
        TrayForm->PPTrashTop->SetChecked(top);
        TrayForm->TimerMain->SetEnabled(true);
    }

    // Lets the watch run the given number of further ticks.
    bool Ticks(int n) {
        const int until = ticks + n;
        return WaitUntil([&] { return ticks >= until; }, 15000);
    }

    std::set<HWND> before;
    int ticks = 0;
};

TEST_F(Trash, TheDisplayNameComesFromTheRegistryOrIsTheDefault) {
    {
        BinName name(L"Orvandel テスト箱");
        StartTray();
        EXPECT_EQ(TrayForm->TrashWatch().MTrashName, L"Orvandel テスト箱");
        StopTray();
    }
    gui::RegKey key;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kBinKey, 0, KEY_READ, &raw) == 0) {
        key.reset(raw);
        GTEST_SKIP() << "this Windows names the bin itself";
    }
    StartTray();
    EXPECT_EQ(TrayForm->TrashWatch().MTrashName, L"ごみ箱");
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, kBinKey, 0, KEY_READ, &raw), 0) << "the key is not created";
}

TEST_F(Trash, EmptyAsksFirstAndEmptiesOnlyABinThatHoldsItems) {
    StartTray();
    TrayForm->TimerMain->SetEnabled(false);
    {
        MessageBoxAnswerer closer;
        TrayItem(L"PPTrashEmpty")->Click();
        EXPECT_TRUE(closer.Texts().empty()) << "an empty bin is not emptied";
    }
    PutFileInBin(dir, L"one.txt");
    PutFileInBin(dir, L"two.txt");
    std::vector<std::wstring> asked;
    {
        MessageBoxAnswerer closer;
        TrayItem(L"PPTrashEmpty")->Click();
        asked = closer.Texts();
    }
    EXPECT_EQ(asked.size(), 1u) << "Windows asks for confirmation";
    EXPECT_EQ(BinItems(), 0);
}

TEST_F(Trash, OpenFindsTheBinWindowByItsTitle) {
    BinName name(L"OrvTestBin");
    StartTray();
    TrayForm->TimerMain->SetEnabled(false);
    // No bin window of that title comes up: the search gives up after 3 s.
    TrayForm->TrashWatch().PPTrashOpenClick();
    EXPECT_EQ(TrayForm->TrashWatch().MTrashWin, nullptr);

    ChildProcess helper = ChildProcess::Start(BinDir() + L"TrashDeleteDialog.exe",
                                              L"folder \"Unrelated\" \"OrvTestBin\"");
    HWND bin = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (bin = FindOf(L"CabinetWClass", L"OrvTestBin", helper.Pid())); }, 15000));
    TrayForm->TrashWatch().PPTrashOpenClick();
    EXPECT_EQ(TrayForm->TrashWatch().MTrashWin, bin);
}

// One delete dialog of another program per case, with a bin holding an item.
TEST_F(Trash, WatchesOnlyDeleteDialogsOfTheDesktop) {
    BinName name(L"OrvTestBin");
    PutFileInBin(dir, L"item.txt");
    StartWatching(true, true);
    struct Case {
        const wchar_t* owner;
        const wchar_t* title;
        bool watched;
    };
    const Case cases[] = {
        {L"progman", L"ファイルの削除", true},
        {L"progclass", L"フォルダーの削除", true},
        {L"manager", L"複数ファイルの削除", true},
        {L"folder", L"ファイルの削除", false},
        {L"progman", L"ファイルの削除の確認", false},  // the title of older systems
        {L"progman", L"削除", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(gui::WideToUtf8(std::wstring(c.owner) + L" " + c.title));
        ChildProcess helper = ChildProcess::Start(BinDir() + L"TrashDeleteDialog.exe",
                                                  std::wstring(c.owner) + L" \"" + c.title + L"\" \"OrvTestBin\"");
        HWND dlg = nullptr, bin = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                dlg = FindOf(L"#32770", c.title, helper.Pid());
                bin = FindOf(L"CabinetWClass", L"OrvTestBin", helper.Pid());
                return dlg && bin;
            },
            15000));
        ASSERT_TRUE(Ticks(3));
        if (!c.watched) {
            EXPECT_EQ(TrayForm->TrashWatch().MTrashDlg, nullptr);
            EXPECT_FALSE(IsTopMost(dlg)) << "left as it is";
            continue;
        }
        EXPECT_EQ(TrayForm->TrashWatch().MTrashDlg, dlg);
        EXPECT_EQ(TrayForm->TrashWatch().MTrashWin, bin) << "the bin window opened beside it";
        EXPECT_TRUE(IsTopMost(dlg));

        // Answered: the bin window opened for it closes, and the watch resets.
        ::PostMessageW(dlg, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(bin); }, 15000));
        const TTrashWatch& watch = TrayForm->TrashWatch();
        EXPECT_TRUE(WaitUntil([&] { return !watch.MTrashDlg && !watch.MTrashWin; }, 15000));
    }
}

TEST_F(Trash, ADialogOfThisProgramIsWatchedOnlyWithTheOptionOn) {
    PutFileInBin(dir, L"item.txt");
    StartWatching(false, true);
    gui::OwnedWindow owner(::CreateWindowExW(0, L"Static", L"Orvandel owner", WS_OVERLAPPED | WS_VISIBLE, 10, 10,
                                             200, 100, nullptr, nullptr, nullptr, nullptr));
    gui::OwnedWindow dlg(ShowDeleteDialog(owner.get(), L"ファイルの削除"));
    ASSERT_TRUE(dlg);

    ASSERT_TRUE(Ticks(3));
    EXPECT_EQ(TrayForm->TrashWatch().MTrashDlg, nullptr) << "the option is off";
    EXPECT_FALSE(IsTopMost(dlg.get()));

    // Shift held: the dialog is recorded and kept on top, but no bin is opened.
    TrayForm->PPTrashCheck->SetChecked(true);
    INPUT shift[1]{};
    shift[0].type = INPUT_KEYBOARD;
    shift[0].ki.wVk = VK_SHIFT;
    ::SendInput(1, shift, sizeof(INPUT));
    WaitUntil([] { return (::GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }, 5000);
    const bool held = (::GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
    const std::set<HWND> explorers = ExplorerWindows();
    const bool recorded = WaitUntil([&] { return TrayForm->TrashWatch().MTrashDlg == dlg.get(); }, 15000);
    shift[0].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, shift, sizeof(INPUT));
    ASSERT_TRUE(held) << "Shift could not be held";
    ASSERT_TRUE(recorded);
    EXPECT_EQ(TrayForm->TrashWatch().MTrashWin, nullptr);
    EXPECT_EQ(ExplorerWindows(), explorers) << "no bin window opened";
    EXPECT_TRUE(IsTopMost(dlg.get()));

    // The bin becomes empty while the dialog stands: the dialog is closed.
    EmptyBin();
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dlg.get()); }, 15000));
    dlg.release();
    EXPECT_TRUE(WaitUntil([&] { return !TrayForm->TrashWatch().MTrashDlg; }, 15000));
}

TEST_F(Trash, ABinWindowOpenedFromTheMenuIsNeverClosedByTheWatch) {
    BinName name(L"OrvTestBin");
    PutFileInBin(dir, L"item.txt");
    StartWatching(true, false);
    ChildProcess binHost = ChildProcess::Start(BinDir() + L"TrashDeleteDialog.exe",
                                               L"folder \"Unrelated\" \"OrvTestBin\"");
    HWND bin = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (bin = FindOf(L"CabinetWClass", L"OrvTestBin", binHost.Pid())); }, 15000));
    TrayItem(L"PPTrashOpen")->Click();
    ASSERT_EQ(TrayForm->TrashWatch().MTrashWin, bin);

    ChildProcess helper = ChildProcess::Start(BinDir() + L"TrashDeleteDialog.exe", L"progman \"ファイルの削除\"");
    HWND dlg = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dlg = FindOf(L"#32770", L"ファイルの削除", helper.Pid())); }, 15000));
    ASSERT_TRUE(Ticks(3));
    EXPECT_EQ(TrayForm->TrashWatch().MTrashDlg, nullptr) << "a bin window stands already";
    ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dlg); }, 15000));
    ASSERT_TRUE(Ticks(3));
    EXPECT_TRUE(::IsWindow(bin));
}

// The settings menu, opened by a real right click on the CPU icon, offers
// "空にする" only for a bin that holds items, and "休止状態" only when the
// hibernation file stands on the Windows drive.
TEST_F(Trash, TheSettingsMenuOffersEmptyForAFullBinAndHibernateWithItsFile) {
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 2u);
    const std::wstring hiberfil = std::wstring(windows, 2) + L"\\Hiberfil.sys";
    const bool hadHiberfil = ::GetFileAttributesW(hiberfil.c_str()) != INVALID_FILE_ATTRIBUTES;
    struct RemoveHiberfil {
        std::wstring path;
        bool keep;
        ~RemoveHiberfil() {
            if (!keep) ::DeleteFileW(path.c_str());
        }
    } removeHiberfil{hiberfil, hadHiberfil};

    StartTray();
    TrayForm->TimerMain->SetEnabled(false);
    bool sawMenu = false, emptyEnabled = false, hibernateEnabled = false;
    // Timers keep running inside the menu's own loop: this one reads the
    // items while the menu stands, then lets the button go and closes it.
    gui::TTimer* watch = new gui::TTimer(TrayForm);
    watch->SetInterval(30);
    watch->OnTimer = [&](gui::TTimer*) {
        if (sawMenu || !OpenMenuWindow()) return;
        sawMenu = true;
        emptyEnabled = TrayItem(L"PPTrashEmpty")->Enabled();
        hibernateEnabled = TrayForm->ExitCountdown().MPPExitWin[4]->Enabled();
        TNotifyTrayIcon* icon = TrayForm->TrayIcon;
        ::PostMessageW(icon->Handle(), WM_TRAYNOTIFY, icon->Data().uID, WM_RBUTTONUP);
        TrayForm->Proc_CancelPopUpMenu();
    };
    struct Case {
        bool binHoldsItems, hiberfilExists;
    } cases[] = {{false, false}, {true, true}, {false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bin " << c.binHoldsItems << ", hibernation file " << c.hiberfilExists);
        if (hadHiberfil && !c.hiberfilExists) continue;  // this prefix has its own file
        if (c.binHoldsItems) {
            PutFileInBin(dir, L"menu.txt");
        } else {
            EmptyBin();
            ASSERT_EQ(BinItems(), 0);
        }
        if (c.hiberfilExists) {
            if (!hadHiberfil) {
                ASSERT_TRUE(WriteBytes(hiberfil, "hibernation"));
            }
        } else {
            ::DeleteFileW(hiberfil.c_str());
        }
        sawMenu = false;
        TNotifyTrayIcon* icon = TrayForm->TrayIcon;
        ::PostMessageW(icon->Handle(), WM_TRAYNOTIFY, icon->Data().uID, WM_RBUTTONDOWN);
        ASSERT_TRUE(WaitUntil([&] { return sawMenu; }, 10000));
        EXPECT_EQ(emptyEnabled, c.binHoldsItems);
        EXPECT_EQ(hibernateEnabled, c.hiberfilExists);
        ASSERT_TRUE(WaitUntil([] { return OpenMenuWindow() == nullptr; }, 10000));
        ASSERT_TRUE(WaitUntil([] { return !TrayForm->FPopUpR; }, 5000));
    }
}

}  // namespace
