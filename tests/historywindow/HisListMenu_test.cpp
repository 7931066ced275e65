// The history list's pop-up menu: its enabled states over the tabs, its
// shortcut keys, saving a text in each encoding through the real save
// dialog, deleting all behind a real question, copying to the real
// clipboard, and the menu opened by a real right click on a row.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

#include "app/Tray.h"
#include "app/history/HisEnvPage.h"
#include "app/monitors/IMEExe.h"
#include "tests/historywindow/HisWindowFixture.h"
#include "tests/historywindow/OpenDialogAnswer.h"

using namespace testing_support;

namespace {

using HisListMenu = history_window::HisWindowTest;

// A real click on the tab.
void ClickTab(gui::TTabControl* tabs, int index) {
    RECT r{};
    ::SendMessageW(tabs->Handle(), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    ClickAt(ScreenPoint(tabs->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

struct MenuState {
    bool clip, exeCmd, scMake, fileSave, fol, exp, add, noDir, noExe, imeExe, del, delAll;
    bool operator==(const MenuState&) const = default;
};

std::ostream& operator<<(std::ostream& os, const MenuState& m) {
    return os << "clip=" << m.clip << " exeCmd=" << m.exeCmd << " scMake=" << m.scMake << " fileSave=" << m.fileSave
              << " fol=" << m.fol << " exp=" << m.exp << " add=" << m.add << " noDir=" << m.noDir
              << " noExe=" << m.noExe << " imeExe=" << m.imeExe << " del=" << m.del << " delAll=" << m.delAll;
}

// The states the menu shows when the mouse pops it up over the history list.
MenuState PoppedOverList(THisForm& f) {
    Named<gui::TPopupMenu>(f, L"PPMenuList")->SetPopupComponent(Named<gui::TListBox>(f, L"ListBoxHis"));
    f.PPMenuListPopup();
    return {Named<gui::TMenuItem>(f, L"PPClip")->Enabled(), Named<gui::TMenuItem>(f, L"PPExeCmd")->Enabled(), Named<gui::TMenuItem>(f, L"PPSCMake")->Enabled(), Named<gui::TMenuItem>(f, L"PPFileSave")->Enabled(),
            Named<gui::TMenuItem>(f, L"PPFol")->Enabled(),  Named<gui::TMenuItem>(f, L"PPExp")->Enabled(),    Named<gui::TMenuItem>(f, L"PPAdd")->Enabled(),    Named<gui::TMenuItem>(f, L"PPNoDir")->Enabled(),
            Named<gui::TMenuItem>(f, L"PPNoExe")->Enabled(), Named<gui::TMenuItem>(f, L"PPIMEExe")->Enabled(), Named<gui::TMenuItem>(f, L"PPDel")->Enabled(),   Named<gui::TMenuItem>(f, L"PPDelAll")->Enabled()};
}

MenuState AllBut(bool value, bool fol, bool delAll) {
    return {value, value, value, value, fol, fol, value, value, value, value, value, delAll};
}

TEST_F(HisListMenu, EnabledStatesFollowTheSelectionOnEveryTab) {
    ::CreateDirectoryW(Path(L"sub").c_str(), nullptr);
    WriteBytes(Path(L"sub\\doc.txt"), "x");
    WriteBytes(Path(L"tool.exe"), "MZ");
    Start();
    THisForm& f = His();
    f.Lists.Settings.CHKAutoDel = false;
    // Entries go straight into the lists: the one whose folder is missing
    // would be pruned from a list file.
    f.Lists.MFileList[0].Clear();
    f.Lists.MFileList[0].Add(L"クリップの文");
    f.Lists.MFileList[1].Clear();
    f.Lists.MFileList[1].Add(Path(L"sub\\doc.txt"));
    f.Lists.MFileList[1].Add(Path(L"gone\\x.txt"));
    f.Lists.MFileList[2].Clear();
    f.Lists.MFileList[2].Add(Path(L"tool.exe"));
    f.Lists.MFileList[3].Clear();
    f.Lists.MFileList[3].Add(Path(L"sub"));

    struct Case {
        int tab;
        int row;  // -1: none selected
        MenuState expected;
    };
    const Case cases[] = {
        {0, -1, AllBut(false, false, true)},
        {0, 0, AllBut(true, false, true)},
        {1, -1, AllBut(false, false, true)},
        {1, 0, AllBut(true, true, true)},
        {1, 1, AllBut(true, false, true)},  // its folder does not exist
        {2, -1, AllBut(false, false, true)},
        {2, 0, AllBut(true, true, true)},
        {3, -1, AllBut(false, false, true)},
        {3, 0, AllBut(true, false, true)},  // no folder items on the folder tab
    };
    for (const Case& k : cases) {
        SelectTab(k.tab);
        ASSERT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->Count(), f.Lists.MFileList[k.tab].Count()) << "tab " << k.tab;
        Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(k.row);
        EXPECT_EQ(PoppedOverList(f), k.expected) << "tab " << k.tab << " row " << k.row;
    }

    // Which items show, by tab.
    SelectTab(0);
    EXPECT_TRUE(Named<gui::TMenuItem>(f, L"PPFileSave")->Visible());
    EXPECT_FALSE(Named<gui::TMenuItem>(f, L"PPSCMake")->Visible() || Named<gui::TMenuItem>(f, L"PPExeCmd")->Visible() || Named<gui::TMenuItem>(f, L"PPFol")->Visible() || Named<gui::TMenuItem>(f, L"PPNoDir")->Visible());
    SelectTab(2);
    EXPECT_TRUE(Named<gui::TMenuItem>(f, L"PPExeCmd")->Visible() && Named<gui::TMenuItem>(f, L"PPSCMake")->Visible() && Named<gui::TMenuItem>(f, L"PPFol")->Visible() && Named<gui::TMenuItem>(f, L"PPNoExe")->Visible() &&
                Named<gui::TMenuItem>(f, L"PPIMEExe")->Visible());
    EXPECT_FALSE(Named<gui::TMenuItem>(f, L"PPFileSave")->Visible());

    // An empty list offers nothing, not even deleting all.
    f.Lists.MFileList[3].Clear();
    SelectTab(3);
    EXPECT_EQ(PoppedOverList(f), AllBut(false, false, false));
}

TEST_F(HisListMenu, TheImeItemNamesTheListItAddsTo) {
    Start();
    THisForm& f = His();
    f.Lists.Settings.CHKAutoDel = false;
    f.Lists.MFileList[2].Clear();
    f.Lists.MFileList[2].Add(L"C:\\Tools\\Edit.exe");
    SelectTab(2);
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(0);
    // The program entry makes the IME notice form beside the main form.
    tray_.app->CreateForm(IMEExeForm);
    ASSERT_TRUE(IMEExeForm);
    IMEExeForm->ListBoxEnable.Clear();
    IMEExeForm->ListBoxDisable.Clear();

    TrayForm->PPIMEEnable->SetChecked(false);
    PoppedOverList(f);
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPIMEExe")->Caption(), L"IME ONの通知を無効にするプログラムに追加(&I)");
    Named<gui::TMenuItem>(f, L"PPIMEExe")->Click();
    Named<gui::TMenuItem>(f, L"PPIMEExe")->Click();
    EXPECT_EQ(IMEExeForm->ListBoxDisable.Text(), L"C:\\Tools\\Edit.exe\r\n") << "added once";
    EXPECT_EQ(IMEExeForm->ListBoxDisableView->Count(), 1);

    TrayForm->PPIMEEnable->SetChecked(true);
    PoppedOverList(f);
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPIMEExe")->Caption(), L"IME ONの通知を有効にするプログラムに追加(&I)");
    IMEExeForm->ListBoxEnable.Add(L"c:\\tools\\EDIT.EXE");
    Named<gui::TMenuItem>(f, L"PPIMEExe")->Click();
    EXPECT_EQ(IMEExeForm->ListBoxEnable.Count(), 1) << "the same name in another case is there already";

    // Excluding the program and its folder from recording, each once.
    f.Lists.Settings.ListBoxExe.Clear();
    f.Lists.Settings.ListBoxDir.Clear();
    Named<gui::TMenuItem>(f, L"PPNoExe")->Click();
    Named<gui::TMenuItem>(f, L"PPNoExe")->Click();
    Named<gui::TMenuItem>(f, L"PPNoDir")->Click();
    EXPECT_EQ(f.Lists.Settings.ListBoxExe.Text(), L"C:\\Tools\\Edit.exe\r\n");
    EXPECT_EQ(f.Lists.Settings.ListBoxDir.Text(), L"C:\\Tools\r\n");
}

// Answers the save dialog of this process from its own thread: picks the
// encoding, types the file name and presses Save. Keeps what the dialog
// showed when it came up.
class SaveDialogAnswerer {
public:
    SaveDialogAnswerer(std::wstring fileName, int encoding, bool answerBoxes = false)
        : fileName_(std::move(fileName)), encoding_(encoding), answerBoxes_(answerBoxes), thread_([this] { Run(); }) {}
    ~SaveDialogAnswerer() {
        stop_ = true;
        thread_.join();
    }
    bool Seen() const { return seen_; }
    int ShownEncoding() const { return shownEncoding_; }
    std::vector<std::wstring> Encodings() const { return encodings_; }
    std::wstring Folder() const { return folder_; }
    // Texts of the message boxes answered after the dialog (with answerBoxes).
    std::vector<std::wstring> BoxTexts() { return boxes_ ? boxes_->Texts() : std::vector<std::wstring>{}; }

private:
    static BOOL CALLBACK Find(HWND w, LPARAM lp) {
        wchar_t cls[16] = {};
        ::GetClassNameW(w, cls, 16);
        if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(w) && WindowProcessId(w) == ::GetCurrentProcessId() &&
            ::GetDlgItem(w, gui::TSaveDialog::kEncodingComboId)) {
            *reinterpret_cast<HWND*>(lp) = w;
            return FALSE;
        }
        return TRUE;
    }
    void Run() {
        const ULONGLONG end = ::GetTickCount64() + 30000;
        HWND dlg = nullptr;
        while (!stop_ && !dlg && ::GetTickCount64() < end) {
            ::EnumWindows(Find, reinterpret_cast<LPARAM>(&dlg));
            if (!dlg) ::Sleep(50);
        }
        if (!dlg) return;
        // The dialog's thread answers a message sent now only once the
        // dialog's start is done and it waits in the dialog's loop.
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutW(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) return;
        HWND combo = ::GetDlgItem(dlg, gui::TSaveDialog::kEncodingComboId);
        shownEncoding_ = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
        const int n = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t text[64] = {};
            ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            encodings_.push_back(text);
        }
        wchar_t folder[MAX_PATH] = {};
        ::SendMessageW(dlg, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
        folder_ = folder;
        ::SendMessageW(combo, CB_SETCURSEL, encoding_, 0);
        ::SendMessageW(dlg, CDM_SETCONTROLTEXT, 0x47c /* cmb13 */, reinterpret_cast<LPARAM>(fileName_.c_str()));
        ::SendMessageW(dlg, CDM_SETCONTROLTEXT, 0x480 /* edt1 */, reinterpret_cast<LPARAM>(fileName_.c_str()));
        seen_ = true;
        ::PostMessageW(dlg, WM_COMMAND, IDOK, 0);
        if (answerBoxes_) boxes_.emplace();  // the overwrite question and what follows
    }
    std::wstring fileName_;
    int encoding_;
    bool answerBoxes_;
    std::atomic<bool> stop_{false}, seen_{false};
    int shownEncoding_ = -1;
    std::vector<std::wstring> encodings_;
    std::wstring folder_;
    std::optional<MessageBoxAnswerer> boxes_;
    std::thread thread_;  // last: starts after every other member exists
};

TEST_F(HisListMenu, SavesTheTextInEachEncoding) {
    ASSERT_EQ(::GetACP(), 932u) << "the tests run in the Japanese locale";
    ::CreateDirectoryW(Path(L"start").c_str(), nullptr);
    ::CreateDirectoryW(Path(L"out").c_str(), nullptr);
    Start([&](gui::TMemIniFile& ini) { ini.WriteString(L"Window", L"Dir", Path(L"start")); });
    THisForm& f = His();
    const std::wstring text = L"保存テスト abc";
    f.Lists.MFileList[0].Clear();
    f.Lists.MFileList[0].Add(text);
    SelectTab(0);

    const std::string crlf = "\r\n";
    const std::string utf8 = "\xE4\xBF\x9D\xE5\xAD\x98\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 abc";
    const std::string ansi = "\x95\xDB\x91\xB6\x83\x65\x83\x58\x83\x67 abc";
    std::string le("\xFF\xFE", 2), be("\xFE\xFF", 2);
    for (wchar_t ch : text + L"\r\n") {
        le += static_cast<char>(ch & 0xFF);
        le += static_cast<char>(ch >> 8);
        be += static_cast<char>(ch >> 8);
        be += static_cast<char>(ch & 0xFF);
    }
    const std::string expected[5] = {ansi + crlf, le, be, "\xEF\xBB\xBF" + utf8 + crlf, utf8 + crlf};

    for (int kind = 0; kind < 5; ++kind) {
        const std::wstring file = Path(L"out\\saved" + std::to_wstring(kind) + L".txt");
        Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(0);
        {
            SaveDialogAnswerer answer(file, kind);
            f.PPFileSaveClick();
            ASSERT_TRUE(answer.Seen()) << kind;
            EXPECT_EQ(answer.ShownEncoding(), 0) << "every save starts at the first encoding";
            EXPECT_EQ(answer.Encodings(),
                      (std::vector<std::wstring>{L"ANSI", L"Unicode", L"Big Endian Unicode", L"UTF-8", L"UTF-8N"}));
            if (kind == 0) {
                EXPECT_EQ(::lstrcmpiW(answer.Folder().c_str(), Path(L"start").c_str()), 0) << answer.Folder();
            }
        }
        EXPECT_EQ(ReadBytes(file), expected[kind]) << "encoding " << kind;
        EXPECT_EQ(::lstrcmpiW(f.Lists.Settings.MDir.c_str(), Path(L"out").c_str()), 0) << f.Lists.Settings.MDir;
        EXPECT_TRUE(TrayForm->TrayIcon->Enabled()) << "the tray icon hears clicks again";
    }
}

TEST_F(HisListMenu, AFileAnotherProgramHoldsIsNotOverwritten) {
    Start();
    THisForm& f = His();
    f.Lists.MFileList[0].Clear();
    f.Lists.MFileList[0].Add(L"neu");
    SelectTab(0);
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(0);
    const std::wstring file = Path(L"held.txt");
    ASSERT_TRUE(WriteBytes(file, "old"));
    gui::FileHandle held(::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    std::vector<std::wstring> boxes;
    {
        SaveDialogAnswerer answer(file, 3, true);
        f.PPFileSaveClick();
        ASSERT_TRUE(answer.Seen());
        boxes = answer.BoxTexts();
    }
    held.reset();
    EXPECT_EQ(ReadBytes(file), "old");
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(),
              file + L"に\r\n書き込めません。\r\nほかのソフトで開かれていないか確認してください。");
    EXPECT_TRUE(TrayForm->TrayIcon->Enabled());
}

TEST_F(HisListMenu, DeleteAllAsksFirst) {
    WriteList(0, 1, {Path(L"a.txt"), Path(L"b.txt")});
    WriteBytes(Path(L"a.txt"), "a");
    WriteBytes(Path(L"b.txt"), "b");
    Start();
    ShowInFront();
    THisForm& f = His();
    ClickTab(Named<gui::TTabControl>(f, L"TabControl"), 1);
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->Count() == 2; }, 10000));
    Named<gui::TListBox>(f, L"ListBoxHis")->SetFocus();
    {
        MessageBoxAnswerer no(IDNO);
        PressKey(VK_DELETE, {VK_CONTROL});
        ASSERT_TRUE(WaitApp([&] { return no.Count() == 1; }, 20000));
        PumpApp(300);
        EXPECT_EQ(no.Texts()[0], L"すべて削除しますか？");
    }
    EXPECT_EQ(f.Lists.MFileList[1].Count(), 2);
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->Count(), 2);
    {
        MessageBoxAnswerer yes(IDYES);
        Named<gui::TListBox>(f, L"ListBoxHis")->SetFocus();
        PressKey(VK_DELETE, {VK_CONTROL});
        ASSERT_TRUE(WaitApp([&] { return yes.Count() == 1 && Named<gui::TListBox>(f, L"ListBoxHis")->Count() == 0; }, 20000));
    }
    EXPECT_TRUE(f.Lists.MFileList[1].Empty());
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex(), -1);
}

TEST_F(HisListMenu, CopyPutsTheEntryOnTheClipboardAndKeysStayWithTheFocusedControl) {
    Start();
    ShowInFront();
    THisForm& f = His();
    f.Lists.MFileList[0].Clear();
    f.Lists.MFileList[0].Add(L"コピーする文");
    f.Lists.MFileList[0].Add(L"second");
    SelectTab(0);
    ASSERT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->Count(), 2);

    // Ctrl+X in the memo cuts there; the history keeps its rows.
    if (!Named<gui::TToolButton>(f, L"TBEdit")->Down()) {
        Named<gui::TToolButton>(f, L"TBEdit")->SetDown(true);
        f.TBEditClick();
    }
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(1);
    Named<gui::TRichEdit>(f, L"Edit")->SetFocus();
    ASSERT_TRUE(WaitApp([&] { return ::GetFocus() == Named<gui::TRichEdit>(f, L"Edit")->Handle(); }, 10000));
    PressKey('X', {VK_CONTROL});
    PumpApp(500);
    EXPECT_EQ(f.Lists.MFileList[0].Count(), 2);

    Named<gui::TListBox>(f, L"ListBoxHis")->SetFocus();
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(0);
    ASSERT_TRUE(WaitApp([&] { return ::GetFocus() == Named<gui::TListBox>(f, L"ListBoxHis")->Handle(); }, 10000));
    PressKey('C', {VK_CONTROL});
    EXPECT_TRUE(WaitApp([&] { return ClipboardText() == L"コピーする文"; }, 10000)) << ClipboardText();
    // On the clipboard tab the row is then let go.
    EXPECT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex() == -1; }, 5000));
    EXPECT_FALSE(Named<gui::TToolButton>(f, L"TBexe")->Enabled());
    EXPECT_EQ(Named<gui::TStatusBar>(f, L"StatusBar")->PanelText(0), L"");

    // Ctrl+X with the focus in the list deletes the selected row.
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(1);
    PressKey('X', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return f.Lists.MFileList[0].Count() == 1; }, 10000));
    EXPECT_EQ(f.Lists.MFileList[0][0], L"コピーする文");
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->Count(), 1);
}

// Reads the open pop-up menu of this process from its own thread, then
// presses a key in it (Esc should the menu stay open).
class MenuReader {
public:
    explicit MenuReader(WORD key) : key_(key), thread_([this] { Run(); }) {}
    ~MenuReader() {
        stop_ = true;
        thread_.join();
    }
    bool Seen() const { return seen_; }
    // "caption|enabled" per item, separators as "-".
    std::vector<std::wstring> Items() const { return items_; }

private:
    void Run() {
        const ULONGLONG end = ::GetTickCount64() + 30000;
        HWND menuWnd = nullptr;
        while (!stop_ && !(menuWnd = OpenMenuWindow()) && ::GetTickCount64() < end) ::Sleep(50);
        if (!menuWnd) return;
        // The menu's thread answers once it waits in the menu's loop, the
        // menu set up before it showed.
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutW(menuWnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) return;
        auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
            if (state & MF_SEPARATOR) {
                items_.push_back(L"-");
                continue;
            }
            wchar_t text[256] = {};
            ::GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
            items_.push_back(std::wstring(text) + ((state & (MF_DISABLED | MF_GRAYED)) ? L"|off" : L"|on"));
        }
        seen_ = true;
        PressKey(key_);
        for (int i = 0; i < 50 && !stop_ && OpenMenuWindow(); ++i) ::Sleep(100);
        if (OpenMenuWindow()) PressKey(VK_ESCAPE);
    }
    WORD key_;
    std::atomic<bool> stop_{false}, seen_{false};
    std::vector<std::wstring> items_;
    std::thread thread_;  // last: starts after every other member exists
};

TEST_F(HisListMenu, ARightClickOnARowOpensTheMenuForIt) {
    ::CreateDirectoryW(Path(L"docs").c_str(), nullptr);
    WriteBytes(Path(L"docs\\one.txt"), "1");
    WriteBytes(Path(L"docs\\two.txt"), "2");
    WriteList(0, 1, {Path(L"docs\\one.txt"), Path(L"docs\\two.txt")});
    Start();
    ShowInFront();
    THisForm& f = His();
    ClickTab(Named<gui::TTabControl>(f, L"TabControl"), 1);
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->Count() == 2; }, 10000));
    f.Lists.Settings.ListBoxDir.Clear();

    RECT row{};
    ::SendMessageW(Named<gui::TListBox>(f, L"ListBoxHis")->Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    const POINT at = ScreenPoint(Named<gui::TListBox>(f, L"ListBoxHis")->Handle(), 60, (row.top + row.bottom) / 2);
    ClickAt(at);
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex() == 1; }, 10000));
    PumpApp(GetDoubleClickTime() + 100);

    const std::wstring exp = Named<gui::TMenuItem>(f, L"PPExp")->Visible() ? L"フォルダを開く(エクスプローラ)(&E)|on" : L"";
    std::vector<std::wstring> expected = {L"コピー(&C)\t" + gui::ShortCutToText(gui::scCtrl | 'C') + L"|on",
                                          L"-",
                                          L"ショートカットの作成(&S)|on",
                                          L"-",
                                          L"フォルダを開く(&F)|on"};
    if (!exp.empty()) expected.push_back(exp);
    for (const std::wstring& s :
         {std::wstring(L"-"), L"お気に入りに追加(&F)\t" + gui::ShortCutToText(gui::scCtrl | 'F') + L"|on",
          std::wstring(L"監視しないフォルダに追加(&D)|on"), std::wstring(L"-"),
          L"削除(&X)\t" + gui::ShortCutToText(gui::scCtrl | 'X') + L"|on",
          L"すべて削除\t" + gui::ShortCutToText(gui::scCtrl | VK_DELETE) + L"|on"})
        expected.push_back(s);
    {
        MenuReader reader('D');
        MouseAt(at, {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP});
        ASSERT_TRUE(WaitApp([&] { return reader.Seen(); }, 30000));
        ASSERT_TRUE(WaitApp([&] { return f.Lists.Settings.ListBoxDir.Count() == 1; }, 10000));
        EXPECT_EQ(reader.Items(), expected);
    }
    EXPECT_EQ(f.Lists.Settings.ListBoxDir[0], Path(L"docs"));
    EXPECT_TRUE(WaitApp([&] { return OpenMenuWindow() == nullptr; }, 10000));
}

// A folder and a program excluded from the menu of their rows are listed on
// the settings page, and stay excluded through a delete and an add made
// there and the close that writes them.
TEST_F(HisListMenu, ExclusionsFromTheMenuShowOnThePageAndOutliveItsEdits) {
    ::CreateDirectoryW(Path(L"docs").c_str(), nullptr);
    WriteBytes(Path(L"docs\\one.txt"), "1");
    WriteBytes(Path(L"tool.exe"), "MZ");
    WriteBytes(Path(L"other.exe"), "MZ");
    WriteList(0, 1, {Path(L"docs\\one.txt")});
    WriteList(0, 2, {Path(L"tool.exe")});
    Start([](gui::TMemIniFile& ini) {
        ini.WriteInteger(L"Folder", L"Count", 0);
        ini.WriteString(L"Folder", L"0", L"C:\\stale");
    });
    ShowInFront();
    THisForm& f = His();
    THisEnvPage& e = *Named<THisEnvPage>(f, L"EnvPage");

    // A real right click on the tab's only row, and the item's key.
    struct Exclusion {
        int tab;
        WORD key;
    };
    for (const Exclusion& x : {Exclusion{1, 'D'}, Exclusion{2, 'P'}}) {
        SCOPED_TRACE(testing::Message() << "tab " << x.tab);
        ClickTab(Named<gui::TTabControl>(f, L"TabControl"), x.tab);
        ASSERT_TRUE(WaitApp([&] { return f.Category() == x.tab && Named<gui::TListBox>(f, L"ListBoxHis")->Count() == 1; }, 10000));
        RECT row{};
        ::SendMessageW(Named<gui::TListBox>(f, L"ListBoxHis")->Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        const POINT at = ScreenPoint(Named<gui::TListBox>(f, L"ListBoxHis")->Handle(), 60, (row.top + row.bottom) / 2);
        ClickAt(at);
        ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex() == 0; }, 10000));
        PumpApp(GetDoubleClickTime() + 100);
        MenuReader reader(x.key);
        MouseAt(at, {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP});
        ASSERT_TRUE(WaitApp([&] { return reader.Seen(); }, 30000));
        ASSERT_TRUE(WaitApp([&] { return OpenMenuWindow() == nullptr; }, 10000));
    }
    ASSERT_TRUE(WaitApp([&] { return f.Lists.Settings.ListBoxExe.Count() == 1; }, 10000));

    // The page lists them.
    ClickTab(Named<gui::TPageControl>(f, L"PageControl"), 1);
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TPageControl>(f, L"PageControl")->ActivePage() == Named<gui::TTabSheet>(f, L"TabSheetEnv"); }, 15000));
    auto rows = [](gui::TListBox* list) {
        std::vector<std::wstring> v;
        for (int i = 0; i < list->Count(); ++i) v.push_back(list->Item(i));
        std::sort(v.begin(), v.end());
        return v;
    };
    std::vector<std::wstring> dirs = {L"C:\\stale", Path(L"docs")};
    std::sort(dirs.begin(), dirs.end());
    EXPECT_EQ(rows(e.ListBoxDir), dirs);
    EXPECT_EQ(rows(e.ListBoxExe), std::vector<std::wstring>{Path(L"tool.exe")});

    // A delete and an add on the page.
    const int stale = static_cast<int>(
        ::SendMessageW(e.ListBoxDir->Handle(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(L"C:\\stale")));
    ASSERT_GE(stale, 0);
    const RECT staleRow = e.ListBoxDir->ItemRect(stale);
    ClickAt(ScreenPoint(e.ListBoxDir->Handle(), 40, (staleRow.top + staleRow.bottom) / 2));
    ASSERT_TRUE(WaitApp([&] { return e.BtnDirDel->Enabled(); }, 10000));
    ClickAt(Centre(e.BtnDirDel->Handle()));
    ASSERT_TRUE(WaitApp([&] { return e.ListBoxDir->Count() == 1; }, 10000));
    {
        history_window::OpenDialogAnswer answer(Path(L"other.exe"));
        ClickAt(Centre(e.BtnExeAdd->Handle()));
        ASSERT_TRUE(WaitApp([&] { return answer.Done(); }, 60000));
    }
    ASSERT_TRUE(WaitApp([&] { return e.ListBoxExe->Count() == 2; }, 10000));

    f.Close();
    gui::TMemIniFile ini(Path(L"His.ini"));
    EXPECT_EQ(ini.ReadInteger(L"Folder", L"Count", -2), 0);
    EXPECT_EQ(ini.ReadString(L"Folder", L"0", L""), Path(L"docs"));
    ASSERT_EQ(ini.ReadInteger(L"ExecuteFile", L"Count", -2), 1);
    std::vector<std::wstring> exes = {ini.ReadString(L"ExecuteFile", L"0", L""),
                                      ini.ReadString(L"ExecuteFile", L"1", L"")};
    std::sort(exes.begin(), exes.end());
    std::vector<std::wstring> expected = {Path(L"other.exe"), Path(L"tool.exe")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(exes, expected);
}

}  // namespace

namespace {

BOOL CALLBACK FindListView(HWND w, LPARAM lp) {
    wchar_t cls[32] = {};
    ::GetClassNameW(w, cls, 32);
    if (std::wstring(cls) == L"SysListView32") {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindSaveDialog(HWND w, LPARAM lp) {
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(w) && WindowProcessId(w) == ::GetCurrentProcessId() &&
        ::GetDlgItem(w, gui::TSaveDialog::kEncodingComboId)) {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

TEST_F(HisListMenu, ChoosingAnExistingFileInTheDialogChoosesItsEncoding) {
    ::CreateDirectoryW(Path(L"start").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(Path(L"start\\wide.txt"), std::string("\xFF\xFEw\0i\0d\0e\0\r\0\n\0", 12)));
    Start([&](gui::TMemIniFile& ini) { ini.WriteString(L"Window", L"Dir", Path(L"start")); });
    THisForm& f = His();
    f.Lists.MFileList[0].Clear();
    f.Lists.MFileList[0].Add(L"text");
    SelectTab(0);
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(0);

    std::atomic<int> shown{-1}, before{-1};
    std::thread chooser([&] {
        HWND dlg = nullptr;
        const ULONGLONG end = ::GetTickCount64() + 30000;
        while (!dlg && ::GetTickCount64() < end) {
            ::EnumWindows(FindSaveDialog, reinterpret_cast<LPARAM>(&dlg));
            if (!dlg) ::Sleep(50);
        }
        if (!dlg) return;
        HWND combo = ::GetDlgItem(dlg, gui::TSaveDialog::kEncodingComboId);
        HWND view = nullptr;
        while (!view && ::GetTickCount64() < end) {
            ::EnumChildWindows(dlg, FindListView, reinterpret_cast<LPARAM>(&view));
            if (!view || ::SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) < 1) {
                view = nullptr;
                ::Sleep(50);
            }
        }
        before = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
        if (view) {
            ::SetFocus(view);
            LVITEMW item{};
            item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(view, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
            while (::GetTickCount64() < end && ::SendMessageW(combo, CB_GETCURSEL, 0, 0) != 1) ::Sleep(50);
        }
        shown = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
        ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    f.PPFileSaveClick();
    chooser.join();
    EXPECT_EQ(before, 0);
    EXPECT_EQ(shown, 1) << "the UTF-16 file chose \"Unicode\"";
    EXPECT_EQ(ReadBytes(Path(L"start\\wide.txt")).size(), 12u) << "cancelled: nothing written";
}

}  // namespace
