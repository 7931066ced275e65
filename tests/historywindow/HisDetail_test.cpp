// The history window's status line and tool buttons for the selected entry,
// the row hints' handler, the gestures on list rows (right click with Ctrl
// or Shift) and the window's details, on the program's history window with
// scratch files and helper programs as the entries.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>


#include "app/Globals.h"
#include "app/history/His.h"
#include "gui/Handles.h"
#include "tests/acting/ActingFixture.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "tests/support/UserInput.h"
#include "tests/toolkit/HelperWindows.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinWindows.h"

namespace {

using acting::ClassKey;
using helper_windows::RecordFile;
using helper_windows::WindowHost;
using testing_support::BinDir;
using testing_support::Named;
using testing_support::ScratchDir;

// Sets the file's or folder's times to these local times.
bool SetTimes(const std::wstring& path, SYSTEMTIME modified, SYSTEMTIME created) {
    gui::FileHandle f(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!f) return false;
    auto toUtc = [](SYSTEMTIME st, FILETIME& out) {
        FILETIME local{};
        return ::SystemTimeToFileTime(&st, &local) && ::LocalFileTimeToFileTime(&local, &out);
    };
    FILETIME m{}, c{};
    return toUtc(modified, m) && toUtc(created, c) && ::SetFileTime(f.get(), &c, nullptr, &m);
}

const SYSTEMTIME kModified{2024, 3, 2, 5, 6, 7, 0, 0};
const SYSTEMTIME kCreated{2023, 1, 1, 2, 3, 4, 0, 0};
// " (modified) [created]": the modified time as set, the creation time as
// the file system keeps it (this one may not keep a time set later).
std::wstring Times(const std::wstring& path) {
    std::wstring modified, created;
    GetFileTimeTexts(path, modified, created);
    EXPECT_EQ(modified, L"2024/03/05 06:07");
    return L" (2024/03/05 06:07) [" + created + L"]";
}

// The enabled states of the main, folder, context-menu and companion-tool buttons.
struct Buttons {
    bool exe, upExp, upFol, contx, brackwen;
    bool operator==(const Buttons&) const = default;
};

class HisDetail : public acting::ActingTest {
protected:
    void SetUp() override {
        acting::ActingTest::SetUp();
        oldBrackwen_ = BrackwenExe;
        BrackwenExe.clear();
        His().Show();
        ASSERT_TRUE(testing_support::WaitUntil([&] { return His().Visible(); }, 10000));
    }
    void TearDown() override {
        BrackwenExe = oldBrackwen_;
        acting::ActingTest::TearDown();
    }

    // Entry `row` of the history list of category c is selected with the
    // focus in the list, and the status is shown for it.
    void ShowEntry(int c, const std::vector<std::wstring>& entries, int row) {
        His().Lists.Settings.Tab = c;
        gui::TStringList& list = His().Lists.MFileList[c];
        list.Clear();
        for (const auto& e : entries) list.Add(e);
        gui::TListBox* box = Named<gui::TListBox>(His(), L"ListBoxHis");
        box->Clear();
        for (const auto& e : entries) box->Add(e);
        box->SetFocus();
        box->SetItemIndex(row);
        if (target_) StackBelowProgram({target_});
        His().Proc_DispStatus();
    }

    Buttons Enabled() {
        return {Named<gui::TToolButton>(His(), L"TBexe")->Enabled(), Named<gui::TToolButton>(His(), L"TBUpExp")->Enabled(), Named<gui::TToolButton>(His(), L"TBUpFol")->Enabled(), Named<gui::TToolButton>(His(), L"TBContx")->Enabled(),
                Named<gui::TToolButton>(His(), L"TBBrackwen")->Enabled()};
    }
    std::wstring Status() { return Named<gui::TStatusBar>(His(), L"StatusBar")->PanelText(0); }

    ScratchDir dir_;
    HWND target_ = nullptr;
    std::wstring oldBrackwen_;
};

const Buttons kNone{false, false, false, false, false};
const Buttons kAll{true, true, true, true, true};
const Buttons kAllButTool{true, true, true, true, false};

TEST_F(HisDetail, StatusTextsHintsAndButtonsByTab) {
    WindowHost host;
    ASSERT_TRUE(host.Start({L"class=CabinetWClass\ttitle=一枚"}));
    ASSERT_TRUE(host.Settle()) << "the new window settles in front";
    target_ = host[0];

    const std::wstring doc = dir_ / L"文書.orvst", odd = dir_ / L"型なし.zzq", folder = dir_ / L"フォルダ";
    ASSERT_TRUE(testing_support::WriteBytes(doc, "doc"));
    ASSERT_TRUE(testing_support::WriteBytes(odd, "odd"));
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(SetTimes(doc, kModified, kCreated));
    ASSERT_TRUE(SetTimes(folder, kModified, kCreated));
    // Documents of this type open with a helper program of the test.
    const std::wstring opener = BinDir() + L"VersionInfoPlain.exe";
    ClassKey ext(L".orvst", L"OrvStatusDoc");
    ClassKey command(L"OrvStatusDoc\\shell\\open\\command", L"\"" + opener + L"\" \"%1\"");
    std::wstring longOpener;
    GetLongPathNameStr(opener, longOpener);

    // The companion tool is there: it joins the buttons of existing entries.
    BrackwenExe = BinDir() + L"OrvRecorder.exe";
    const std::wstring full = BinDir() + L"VersionInfoFull.exe", same = BinDir() + L"VersionInfoSame.exe",
                       bare = BinDir() + L"ActTarget.exe";
    const std::wstring open = L"開く [Enter]", run = L"実行 [Enter]", move = L"移動 [Enter]";
    const std::wstring folK = L"フォルダを開く [ALT+K]", folMoveL = L"フォルダに移動 [ALT+L]";
    const std::wstring upK = L"一つ上のフォルダを開く [ALT+K]", upMoveL = L"一つ上のフォルダに移動 [ALT+L]";
    struct Case {
        const char* what;
        int tab;
        std::wstring entry, status, exeHint, upExpHint, upFolHint;
        Buttons buttons;
    } cases[] = {
        {"document with its program", 1, doc, longOpener + L" " + doc + Times(doc), open, folK, folMoveL, kAll},
        {"document of no type", 1, odd, L"", L"", L"", L"", kNone},
        {"program with version", 2, full, full + L" (1.2.3.4) [試験用プログラム]", run, folK, folMoveL, kAll},
        {"description equal to version", 2, same, same + L" (3.1) []", run, folK, folMoveL, kAll},
        {"program without version", 2, bare, bare, run, folK, folMoveL, kAll},
        {"missing program", 2, dir_ / L"ない.exe", L"", L"", L"", L"", kNone},
        {"folder", 3, folder, folder + Times(folder), move, upK, upMoveL, kAll},
        {"missing folder", 3, dir_ / L"ないフォルダ", L"", L"", L"", L"", kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Hints of an earlier entry must not stay behind.
        for (gui::TToolButton* b : {Named<gui::TToolButton>(His(), L"TBexe"), Named<gui::TToolButton>(His(), L"TBUpExp"), Named<gui::TToolButton>(His(), L"TBUpFol")}) b->Hint = L"前の";
        ShowEntry(c.tab, {L"other", c.entry}, 1);
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(Enabled(), c.buttons);
        if (c.buttons == kNone && c.tab == 1) continue;  // no program: the hints are not looked at
        EXPECT_EQ(Named<gui::TToolButton>(His(), L"TBexe")->Hint, c.exeHint);
        EXPECT_EQ(Named<gui::TToolButton>(His(), L"TBUpExp")->Hint, c.upExpHint);
        EXPECT_EQ(Named<gui::TToolButton>(His(), L"TBUpFol")->Hint, c.upFolHint);
        if (c.buttons == kAll) {
            EXPECT_EQ(His().Target.MClipHandle, target_) << "the target was determined";
        }
    }

    // Without the companion tool its button stays off.
    BrackwenExe = dir_ / L"ない.exe";
    ShowEntry(2, {full}, 0);
    EXPECT_EQ(Enabled(), kAllButTool);
}

TEST_F(HisDetail, ClipboardEntriesShowTheirTextAndOfferOnlyWhatFits) {
    WindowHost host;
    ASSERT_TRUE(host.Start({L"class=ActNormal\ttitle=貼り付け先"}));
    ASSERT_TRUE(host.Settle()) << "the new window settles in front";
    target_ = host[0];
    BrackwenExe = BinDir() + L"OrvRecorder.exe";
    const std::wstring file = dir_ / L"a.txt";
    ASSERT_TRUE(testing_support::WriteBytes(file, "a"));

    const std::wstring longText(300, L'あ');
    ShowEntry(0, {longText}, 0);
    EXPECT_EQ(Status(), longText.substr(0, 255));
    EXPECT_EQ(Named<gui::TToolButton>(His(), L"TBexe")->Hint, L"貼り付け [Enter]");
    EXPECT_EQ(Named<gui::TToolButton>(His(), L"TBUpExp")->Hint, L"");
    EXPECT_EQ(Named<gui::TToolButton>(His(), L"TBUpFol")->Hint, L"");
    EXPECT_EQ(Enabled(), (Buttons{true, false, false, false, true})) << "a plain text is no file";
    EXPECT_FALSE(His().TBexeIcon.Empty()) << "the target program's picture";

    // A text naming an existing file gets the context menu too.
    ShowEntry(0, {file}, 0);
    EXPECT_EQ(Enabled(), (Buttons{true, false, false, true, true}));

    // A network name never gets the context menu or the folder tool.
    ShowEntry(0, {L"\\\\server\\share\\a.txt"}, 0);
    EXPECT_EQ(Status(), L"\\\\server\\share\\a.txt");
    EXPECT_EQ(Enabled(), (Buttons{true, false, false, false, false}));
}

TEST_F(HisDetail, NothingSelectedTheResetAndTheSettingsPage) {
    const std::wstring folder = dir_ / L"d";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ShowEntry(3, {folder}, 0);
    ASSERT_EQ(Enabled(), kAllButTool);
    ASSERT_FALSE(Status().empty());

    // The list has the focus but no row is selected.
    Named<gui::TListBox>(His(), L"ListBoxHis")->SetItemIndex(-1);
    Named<gui::TListBox>(His(), L"ListBoxHis")->Hint = L"行のヒント";
    Named<gui::TListBox>(His(), L"ListBoxHis")->ShowHint = true;
    His().Proc_DispStatus();
    EXPECT_EQ(Status(), L"");
    EXPECT_EQ(Enabled(), kNone);
    EXPECT_EQ(Named<gui::TListBox>(His(), L"ListBoxHis")->Hint, L"");
    EXPECT_FALSE(Named<gui::TListBox>(His(), L"ListBoxHis")->ShowHint);

    // The find buttons follow the find text and the lists' rows.
    Named<gui::TComboBox>(His(), L"CBFind")->SetText(L"d");
    His().Proc_DispStatus();
    EXPECT_TRUE(Named<gui::TButton>(His(), L"BtnFindDown")->Enabled());
    EXPECT_TRUE(Named<gui::TButton>(His(), L"BtnFindUp")->Enabled());
    Named<gui::TComboBox>(His(), L"CBFind")->SetText(L"");
    His().Proc_DispStatus();
    EXPECT_FALSE(Named<gui::TButton>(His(), L"BtnFindDown")->Enabled());

    ShowEntry(3, {folder}, 0);
    ASSERT_EQ(Enabled(), kAllButTool);
    His().Proc_ResetSelection();
    EXPECT_EQ(Named<gui::TListBox>(His(), L"ListBoxHis")->ItemIndex(), -1);
    EXPECT_EQ(Named<gui::TListBox>(His(), L"ListBoxFav")->ItemIndex(), -1);
    EXPECT_EQ(Status(), L"");
    EXPECT_EQ(Named<gui::TToolButton>(His(), L"TBexe")->Hint, L"");
    EXPECT_EQ(Enabled(), kNone);

    // The settings page says so whatever was selected.
    ShowEntry(3, {folder}, 0);
    Named<gui::TPageControl>(His(), L"PageControl")->SetActivePage(Named<gui::TTabSheet>(His(), L"TabSheetEnv"));
    His().Proc_DispStatus();
    EXPECT_EQ(Status(), L"設定");
    Named<gui::TPageControl>(His(), L"PageControl")->SetActivePage(Named<gui::TTabSheet>(His(), L"TabSheetAct"));
}

TEST_F(HisDetail, TheListsRowHintsAreAskedForAgainSoTheyFollowTheMouse) {
    ASSERT_TRUE(gui::Application && gui::Application->OnShowHint) << "the window's handler is the application's";
    Named<gui::TListBox>(His(), L"ListBoxFav")->Hint = L"お気に入りの行";
    std::wstring text = L"控え";
    bool canShow = true;
    gui::THintInfo info;
    info.HintControl = Named<gui::TListBox>(His(), L"ListBoxFav");
    gui::Application->OnShowHint(text, canShow, info);
    EXPECT_EQ(text, L"お気に入りの行");
    EXPECT_EQ(info.ReshowTimeout, 250);
    EXPECT_TRUE(canShow);

    // Other controls keep their own hints.
    text = L"閉じる";
    gui::THintInfo other;
    other.HintControl = Named<gui::TComboBox>(His(), L"CBFind");
    gui::Application->OnShowHint(text, canShow, other);
    EXPECT_EQ(text, L"閉じる");
    EXPECT_EQ(other.ReshowTimeout, 0);
}

TEST_F(HisDetail, TheWindowHasItsOwnTaskbarButtonAndListsTheDrives) {
    EXPECT_TRUE(::GetWindowLongW(His().Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);

    // A move notes the monitor the window is on now (its button follows it
    // there); a hidden window is left alone.
    const int monitor = GetWindowMonitorIndex(His().Handle());
    His().MMonNo = monitor + 1;
    His().SetBounds(30, 30, 700, 600);
    testing_support::PumpApp(100);
    EXPECT_EQ(His().MMonNo, monitor);
    His().Hide();
    His().MMonNo = monitor + 1;
    His().SetBounds(40, 40, 700, 600);
    testing_support::PumpApp(100);
    EXPECT_EQ(His().MMonNo, monitor + 1);

    gui::TStringList drives;
    drives.Add(L"stale");
    His().Proc_GetDriveList(&drives);
    wchar_t roots[105] = {};
    const DWORD n = ::GetLogicalDriveStringsW(104, roots);
    ASSERT_GT(n, 0u);
    int count = 0;
    bool c = false;
    for (const wchar_t* r = roots; *r; r += wcslen(r) + 1) ++count;
    ASSERT_EQ(drives.Count(), count);
    for (int i = 0; i < drives.Count(); ++i) {
        const std::wstring& d = drives[i];
        SCOPED_TRACE(gui::WideToUtf8(d));
        ASSERT_GE(d.size(), 6u);
        EXPECT_TRUE(d[0] >= L'A' && d[0] <= L'Z');
        EXPECT_EQ(d.substr(1, 4), L":\\ [");
        EXPECT_EQ(d.back(), L']');
        c = c || d[0] == L'C';
    }
    EXPECT_TRUE(c) << "the system drive is listed";
    His().Proc_GetDriveList(nullptr);  // nothing to fill
}

// --- gestures with synthesized mouse input -----------------------------------

// What a timer saw of the menu that opened: its first item's caption.
struct MenuSeen {
    bool seen = false;
    std::wstring first;
    DWORD deadline = 0;
} menuSeen;

void CALLBACK CloseMenuTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND menuWnd = testing_support::OpenMenuWindow();
    if (!menuWnd) {
        if (::GetTickCount() > menuSeen.deadline) ::EndMenu();
        return;
    }
    if (menuSeen.seen) {
        if (::GetTickCount() > menuSeen.deadline) ::EndMenu();
        return;
    }
    menuSeen.seen = true;
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, 0, text, 128, MF_BYPOSITION);
    menuSeen.first = text;
    ::EndMenu();
}

class HisGesture : public HisDetail {
protected:
    void TearDown() override {
        if (::GetAsyncKeyState(VK_RBUTTON) < 0) testing_support::MouseAt(At(), {MOUSEEVENTF_RIGHTUP});
        HisDetail::TearDown();
    }
    // The window in front with entry 0 of the history list selected.
    void Prepare(int c, const std::wstring& entry) {
        ForceForegroundWindow(His().Handle());
        ASSERT_TRUE(testing_support::WaitUntil([&] { return ::GetForegroundWindow() == His().Handle(); }, 10000));
        ShowEntry(c, {entry}, 0);
        testing_support::PumpApp(200);
    }
    POINT At() { return testing_support::ScreenPoint(Named<gui::TListBox>(His(), L"ListBoxHis")->Handle(), 20, 8); }
    // A right click on the first row with the key held (0: none); the first
    // caption of the menu that opened, '' when none did.
    std::wstring RightClick(BYTE key) {
        menuSeen = MenuSeen{};
        menuSeen.deadline = ::GetTickCount() + 20000;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CloseMenuTimer);
        auto click = [&] {
            testing_support::MouseAt(At(), {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP});
            // A menu opens while the click is handled, and the timer closes
            // it from the menu's loop; once the click has been handled, a
            // menu that did not show will not.
            testing_support::InputHandled();
        };
        if (key) {
            // Held when the button goes down; the menu in front may let go of it.
            acting::HeldKey held(key);
            click();
        } else {
            click();
        }
        ::KillTimer(nullptr, timer);
        // The caption without its shortcut text.
        return menuSeen.first.substr(0, menuSeen.first.find(L'\t'));
    }
};

TEST_F(HisGesture, CtrlRightClickShowsTheShellsMenuAndAPlainOneTheWindows) {
    const std::wstring file = dir_ / L"menu.txt";
    ASSERT_TRUE(testing_support::WriteBytes(file, "m"));
    Prepare(1, file);
    const std::wstring own = Named<gui::TMenuItem>(His(), L"PPClip")->Caption();
    EXPECT_EQ(RightClick(0), own) << "a plain right click shows the window's menu";
    const std::wstring shell = RightClick(VK_CONTROL);
    EXPECT_TRUE(menuSeen.seen) << "with Ctrl a menu shows";
    EXPECT_NE(shell, own) << "with Ctrl it is the shell's menu of the file";
    EXPECT_EQ(RightClick(0), own) << "without Ctrl the window's own again";
}

TEST_F(HisGesture, ShiftRightClickOpensTheFilesFolderInTheCompanionTool) {
    const std::wstring sub = dir_ / L"sub";
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    const std::wstring file = sub + L"\\tool.txt";
    ASSERT_TRUE(testing_support::WriteBytes(file, "t"));
    RecordFile record(dir_ / L"record.txt");

    // Not installed: nothing starts, and no menu shows either.
    BrackwenExe = dir_ / L"ない.exe";
    Prepare(1, file);
    EXPECT_EQ(RightClick(VK_SHIFT), L"");
    EXPECT_FALSE(record.Wait(1500).found);

    BrackwenExe = BinDir() + L"OrvRecorder.exe";
    Prepare(1, file);
    EXPECT_EQ(RightClick(VK_SHIFT), L"") << "the window's menu stays away";
    const helper_windows::Record r = acting::WaitForStart(record, 15000);
    ASSERT_TRUE(r.found);
    EXPECT_NE(r.commandLine.find(L" \"" + sub + L"\""), std::wstring::npos) << gui::WideToUtf8(r.commandLine);
    std::wstring bin = BinDir();
    if (!bin.empty() && bin.back() == L'\\') bin.pop_back();
    EXPECT_EQ(::CompareStringOrdinal(r.folder.c_str(), -1, bin.c_str(), -1, TRUE), CSTR_EQUAL)
        << gui::WideToUtf8(r.folder);
}

}  // namespace
