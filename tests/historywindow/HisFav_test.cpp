// The history window's favourites: the favourites menu's enabled states,
// its keys while the menu is closed, moving rows up and down into the
// favourites file, deleting, adding from the history by the menu's key and
// by dragging a row with the mouse, saving an entry to a text file, and the
// hint of the row under the mouse.
#include <windows.h>
#include <commdlg.h>

#include "app/Tray.h"
#include "app/history/HisFiles.h"
#include "app/history/Launch.h"
#include "app/monitors/RAM.h"
#include "gui/Exception.h"
#include "gui/Handles.h"
#include "gui/Timer.h"
#include "tests/historywindow/HisWindowFixture.h"
#include "toolkit/QuorvinShell.h"

using namespace testing_support;

namespace {

class HisFav : public history_window::HisWindowTest {
protected:
    // Starts with the favourites pane shown under the history list.
    void StartWithFavourites() {
        Start([](gui::TMemIniFile& ini) {
            ini.WriteBool(L"Fav", L"Visible", true);
            ini.WriteInteger(L"Fav", L"Height", 45);
        });
    }

    // A list of the clipboard category, in that category's own file format.
    void WriteClipList(int k, const std::vector<std::wstring>& entries) {
        gui::TStringList list;
        for (const auto& e : entries) list.Add(e);
        ASSERT_TRUE(WriteClipListFile(HisListFileName(tray_.dir.Path(), k, 0), list));
    }

    std::vector<std::wstring> Favourites(int c) {
        std::vector<std::wstring> v;
        for (int i = 0; i < His().Lists.MFileList[kHisCategories + c].Count(); ++i)
            v.push_back(His().Lists.MFileList[kHisCategories + c][i]);
        return v;
    }

    std::vector<std::wstring> Undo(int c) {
        std::vector<std::wstring> v;
        for (int i = 0; i < His().Lists.MUndoList[c].Count(); ++i) v.push_back(His().Lists.MUndoList[c][i]);
        return v;
    }

    // The screen point in the middle of a row of the list.
    POINT RowPoint(gui::TListBox* list, int row) {
        RECT r = list->ItemRect(row);
        return ScreenPoint(list->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    // A real click on a row; it selects the row and gives the list the focus.
    void ClickRow(gui::TListBox* list, int row) {
        ClickAt(RowPoint(list, row));
        ASSERT_TRUE(WaitApp([&] { return list->ItemIndex() == row && list->Focused(); }, 10000))
            << list->ItemIndex();
        PumpApp(::GetDoubleClickTime() + 50);  // the next click is no double click
    }

    // The favourites file of category c as the window saved it.
    std::vector<std::wstring> SavedFavourites(int c) {
        gui::TStringList saved;
        saved.LoadFromFile(HisListFileName(tray_.dir.Path(), 1, c));
        std::vector<std::wstring> v;
        for (int i = 0; i < saved.Count(); ++i) v.push_back(saved[i]);
        return v;
    }
};

struct MenuCase {
    int tab;
    int row;
    // Expected enabled states.
    bool copy, exeCmd, scMake, fileSave, folF, up, down, del;
};

TEST_F(HisFav, TheMenuOffersWhatTheSelectedRowAllows) {
    const std::wstring missing = L"Q:\\無い\\b.txt";  // a drive that is never ready
    ASSERT_TRUE(WriteBytes(Path(L"a.txt"), "a"));
    WriteClipList(1, {Path(L"a.txt"), L"テキスト"});
    WriteList(1, 1, {Path(L"a.txt"), missing, Path(L"c.txt")});
    WriteList(1, 2, {Path(L"p.exe")});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    const MenuCase cases[] = {
        // Nothing selected: only "上に移動" stays offered (it acts on no row).
        {1, -1, false, false, false, false, false, true, false, false},
        // Hidden items follow the same rules.
        {1, 0, true, true, true, true, true, false, true, true},
        {1, 1, true, true, true, true, false, true, true, true},  // its folder is missing
        {1, 2, true, true, true, true, true, true, false, true},
        // The clipboard tab has no folder items, whatever the text names.
        {0, 0, true, true, true, true, false, false, true, true},
        {2, 0, true, true, true, true, true, false, false, true},
    };
    for (const MenuCase& m : cases) {
        SCOPED_TRACE(testing::Message() << "tab " << m.tab << " row " << m.row);
        SelectTab(m.tab);
        Named<gui::TListBox>(f, L"ListBoxFav")->SetItemIndex(m.row);
        Named<gui::TPopupMenu>(f, L"PPMenuFav")->OnPopup(Named<gui::TPopupMenu>(f, L"PPMenuFav"));
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFavCopy")->Enabled(), m.copy);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFavExeCmd")->Enabled(), m.exeCmd);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFavSCMake")->Enabled(), m.scMake);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFavFileSave")->Enabled(), m.fileSave);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFolF")->Enabled(), m.folF);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPExpF")->Enabled(), m.folF);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPUp")->Enabled(), m.up);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPDown")->Enabled(), m.down);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFavDel")->Enabled(), m.del);
        // Which items show is the tab's matter.
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFavFileSave")->Visible(), m.tab == 0);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFavExeCmd")->Visible(), m.tab == 2);
        EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFolF")->Visible(), m.tab == 1 || m.tab == 2);
    }
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPUp")->Caption(), L"上に移動(U)");
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPUp")->ShortCut, gui::scCtrl | 'U');
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPDown")->ShortCut, gui::scCtrl | 'D');
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFavDel")->ShortCut, gui::scCtrl | 'X');
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPFavCopy")->ShortCut, gui::scCtrl | 'C');
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPAdd")->ShortCut, gui::scCtrl | 'F');
}

TEST_F(HisFav, KeysMoveRowsUpAndDownIntoTheFavouritesFile) {
    const std::wstring a = Path(L"a.txt"), b = Path(L"b.txt"), c = Path(L"c.txt");
    WriteList(1, 1, {a, b, c});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    SelectTab(1);
    ClickRow(Named<gui::TListBox>(f, L"ListBoxFav"), 1);

    PressKey('U', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return Favourites(1) == std::vector<std::wstring>{b, a, c}; }, 10000));
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->ItemIndex(), 0) << "the moved row stays selected";
    EXPECT_EQ(ListBoxItems(Named<gui::TListBox>(f, L"ListBoxFav")), (std::vector<std::wstring>{b, a, c}));
    Named<gui::TPopupMenu>(f, L"PPMenuFav")->OnPopup(Named<gui::TPopupMenu>(f, L"PPMenuFav"));
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPUndo")->Caption(), L"元に戻す(&Z)-上に移動");

    // On the first row the key does nothing and takes no snapshot.
    PressKey('U', {VK_CONTROL});
    PumpApp(500);
    EXPECT_EQ(Favourites(1), (std::vector<std::wstring>{b, a, c}));
    EXPECT_EQ(Undo(1), (std::vector<std::wstring>{L"上に移動", a, b, c}));
    PressKey('D', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return Favourites(1) == std::vector<std::wstring>{a, b, c}; }, 10000));
    PressKey('D', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return Favourites(1) == std::vector<std::wstring>{a, c, b}; }, 10000));
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->ItemIndex(), 2);
    PressKey('D', {VK_CONTROL});
    PumpApp(500);
    EXPECT_EQ(Favourites(1), (std::vector<std::wstring>{a, c, b})) << "the last row goes no further";
    EXPECT_EQ(Undo(1), (std::vector<std::wstring>{L"下に移動", a, b, c})) << "no snapshot of the refused move";

    // Keys typed into another control are that control's own.
    Named<gui::TComboBox>(f, L"CBFind")->SetFocus();
    Named<gui::TListBox>(f, L"ListBoxFav")->SetItemIndex(1);
    PressKey('U', {VK_CONTROL});
    PressKey('X', {VK_CONTROL});
    PumpApp(500);
    EXPECT_EQ(Favourites(1), (std::vector<std::wstring>{a, c, b}));

    f.Close();
    EXPECT_EQ(SavedFavourites(1), (std::vector<std::wstring>{a, c, b}));
}

TEST_F(HisFav, DeleteRemovesTheRowWithoutAQuestion) {
    const std::wstring a = Path(L"a.txt"), b = Path(L"b.txt");
    WriteList(1, 1, {a, b});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    SelectTab(1);
    ClickRow(Named<gui::TListBox>(f, L"ListBoxFav"), 0);
    MessageBoxAnswerer boxes;
    PressKey('X', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return Favourites(1) == std::vector<std::wstring>{b}; }, 10000));
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->ItemIndex(), -1);
    EXPECT_EQ(ListBoxItems(Named<gui::TListBox>(f, L"ListBoxFav")), std::vector<std::wstring>{b});
    EXPECT_EQ(Undo(1), (std::vector<std::wstring>{L"削除", a, b}));
    PumpApp(300);
    EXPECT_EQ(boxes.Count(), 0u);
    // No row selected: the key deletes nothing.
    PressKey('X', {VK_CONTROL});
    PumpApp(500);
    EXPECT_EQ(Favourites(1), std::vector<std::wstring>{b});
}

TEST_F(HisFav, TheHistoryMenusKeyAddsTheEntryAtTheEnd) {
    const std::wstring x = Path(L"x.txt"), y = Path(L"y.txt"), a = Path(L"a.txt"), b = Path(L"b.txt");
    WriteList(0, 1, {x, y});
    WriteList(1, 1, {a, y, b});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    SelectTab(1);
    ClickRow(Named<gui::TListBox>(f, L"ListBoxHis"), 1);
    PressKey('F', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return Favourites(1) == std::vector<std::wstring>{a, b, y}; }, 10000));
    EXPECT_TRUE(Named<gui::TListBox>(f, L"ListBoxFav")->Focused());
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->ItemIndex(), 2);
    EXPECT_EQ(Undo(1), (std::vector<std::wstring>{L"お気に入りに追加", a, y, b}));
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPAdd")->Caption(), L"お気に入りに追加(&F)");
}

TEST_F(HisFav, AddingToAHundredFavouritesIsCutAgainWithTheWarning) {
    std::vector<std::wstring> hundred;
    for (int i = 0; i < 100; ++i) hundred.push_back(L"お気に入り" + std::to_wstring(i));
    WriteClipList(0, {L"新しいテキスト"});
    WriteClipList(1, hundred);
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    SelectTab(0);
    Named<gui::TListBox>(f, L"ListBoxHis")->SetFocus();
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(0);
    MessageBoxAnswerer boxes;
    f.PPAddClick();
    ASSERT_TRUE(WaitApp([&] { return boxes.Count() == 1; }, 10000));
    EXPECT_EQ(boxes.Texts()[0], L"登録できるのは100までです。");
    EXPECT_EQ(Favourites(0), hundred);
    EXPECT_EQ(Undo(0).size(), 101u) << "the snapshot taken before stays";
}

TEST_F(HisFav, AProgramFavouriteAddedShowsInTheLauncher) {
    const std::wstring program = BinDir() + L"VersionInfoPlain.exe";
    WriteList(0, 2, {program});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    ASSERT_TRUE(LaunchForm);
    LaunchForm->Show();
    ASSERT_TRUE(WaitApp([&] { return LaunchForm->Visible(); }, 10000));
    ASSERT_EQ(LaunchForm->ListViewFav->Count(), 0);
    SelectTab(2);
    Named<gui::TListBox>(f, L"ListBoxHis")->SetFocus();
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(0);
    f.PPAddClick();
    EXPECT_TRUE(WaitApp([&] { return LaunchForm->ListViewFav->Count() == 1; }, 10000));
    LaunchForm->Hide();
}

struct DropCase {
    const char* name;
    bool fromHistory;
    int sourceRow;
    int targetRow;  // -1: the empty area below the rows
    std::vector<int> expected;  // favourites by index: 0-2 the favourites a, b, c; 9 the history entry y
    int selected;
};

TEST_F(HisFav, RowsDraggedWithTheMouseLandWhereTheyAreDropped) {
    const std::wstring x = Path(L"x.txt"), y = Path(L"y.txt");
    const std::wstring a = Path(L"a.txt"), b = Path(L"b.txt"), c = Path(L"c.txt");
    auto name = [&](int i) { return i == 9 ? y : std::vector<std::wstring>{a, b, c}[i]; };
    const DropCase cases[] = {
        {"history row onto row 1", true, 1, 1, {0, 9, 1, 2}, 1},
        {"history row onto the empty area", true, 1, -1, {0, 1, 2, 9}, 3},
        {"favourite 0 onto row 2", false, 0, 2, {1, 2, 0}, 2},
        {"favourite onto its own row", false, 1, 1, {0, 1, 2}, 1},
    };
    WriteList(0, 1, {x, y});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    for (const DropCase& d : cases) {
        SCOPED_TRACE(d.name);
        f.Lists.MFileList[6].Clear();
        for (const auto& e : {a, b, c}) f.Lists.MFileList[6].Add(e);
        f.Lists.MUndoList[1].Clear();
        SelectTab(1);
        ASSERT_GE(Named<gui::TListBox>(f, L"ListBoxFav")->ClientHeight(), 5 * Named<gui::TListBox>(f, L"ListBoxFav")->ItemHeight()) << "room below the rows";
        gui::TListBox* from = d.fromHistory ? Named<gui::TListBox>(f, L"ListBoxHis") : Named<gui::TListBox>(f, L"ListBoxFav");
        ClickRow(from, d.sourceRow);
        POINT start = RowPoint(from, d.sourceRow);
        POINT end = d.targetRow >= 0 ? RowPoint(Named<gui::TListBox>(f, L"ListBoxFav"), d.targetRow)
                                     : ScreenPoint(Named<gui::TListBox>(f, L"ListBoxFav")->Handle(), 40,
                                                   Named<gui::TListBox>(f, L"ListBoxFav")->ClientHeight() - Named<gui::TListBox>(f, L"ListBoxFav")->ItemHeight() / 2);
        MouseAt(start, {MOUSEEVENTF_LEFTDOWN});
        PumpApp(100);
        // Sideways within the row first, so a drop on the row it came from is a drag too.
        start.x += 12;
        MouseAt(start);
        PumpApp(50);
        for (int step = 1; step <= 8; ++step) {
            MouseAt(POINT{start.x + (end.x - start.x) * step / 8, start.y + (end.y - start.y) * step / 8});
            PumpApp(50);
        }
        ASSERT_TRUE(WaitApp([&] { return gui::TControl::DragSource() == from; }, 10000)) << "the drag started";
        MouseAt(end, {MOUSEEVENTF_LEFTUP});
        std::vector<std::wstring> expected;
        for (int i : d.expected) expected.push_back(name(i));
        ASSERT_TRUE(WaitApp([&] { return Favourites(1) == expected && gui::TControl::DragSource() == nullptr; },
                            10000));
        EXPECT_EQ(ListBoxItems(Named<gui::TListBox>(f, L"ListBoxFav")), expected);
        EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->ItemIndex(), d.selected);
        EXPECT_TRUE(Named<gui::TListBox>(f, L"ListBoxFav")->Focused());
        ASSERT_FALSE(Undo(1).empty());
        EXPECT_EQ(Undo(1)[0], d.fromHistory ? L"お気に入りに追加" : L"お気に入りの順序");
        PumpApp(::GetDoubleClickTime() + 50);
    }
}

TEST_F(HisFav, ADropOutsideTheRowsReordersNothing) {
    const std::wstring a = Path(L"a.txt"), b = Path(L"b.txt");
    WriteList(1, 1, {a, b});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    SelectTab(1);
    Named<gui::TListBox>(f, L"ListBoxFav")->SetFocus();
    Named<gui::TListBox>(f, L"ListBoxFav")->SetItemIndex(0);
    f.ListBoxFavDragDrop(Named<gui::TListBox>(f, L"ListBoxFav"), 30, Named<gui::TListBox>(f, L"ListBoxFav")->ClientHeight() - 2);
    EXPECT_EQ(Favourites(1), (std::vector<std::wstring>{a, b}));
    EXPECT_TRUE(Undo(1).empty());
    // A history row that is a favourite already moves to the end when dropped below the rows.
    f.Lists.MFileList[1].Add(a);
    f.Proc_DispHis();
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(0);
    f.ListBoxFavDragDrop(Named<gui::TListBox>(f, L"ListBoxHis"), 30, Named<gui::TListBox>(f, L"ListBoxFav")->ClientHeight() - 2);
    EXPECT_EQ(Favourites(1), (std::vector<std::wstring>{b, a}));
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->ItemIndex(), 1);
}

// Finds the visible file dialog of this thread.
BOOL CALLBACK FindFileDialog(HWND wnd, LPARAM out) {
    wchar_t cls[32] = {};
    ::GetClassNameW(wnd, cls, 32);
    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(wnd) &&
        ::GetDlgItem(wnd, gui::TSaveDialog::kEncodingComboId)) {
        *reinterpret_cast<HWND*>(out) = wnd;
        return FALSE;
    }
    return TRUE;
}

// Runs the favourites' save item with a dialog answered by choosing the
// encoding row and the file; what the tray icons' state was meanwhile.
struct SaveRun {
    bool trayIconsOff = false;
    int encodingShown = -1;
    std::wstring initialFolder;
};

SaveRun SaveThroughDialog(THisForm& f, int encoding, const std::wstring& file) {
    SaveRun run;
    gui::TTimer timer(nullptr);
    timer.SetInterval(100);
    timer.OnTimer = [&](gui::TTimer* t) {
        HWND dlg = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindFileDialog, reinterpret_cast<LPARAM>(&dlg));
        if (!dlg) return;
        t->SetEnabled(false);
        run.trayIconsOff = !TrayForm->TrayIcon->Enabled() && !RAMForm->TrayIcon->Enabled();
        HWND combo = ::GetDlgItem(dlg, gui::TSaveDialog::kEncodingComboId);
        run.encodingShown = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
        ::SendMessageW(combo, CB_SETCURSEL, encoding, 0);
        ::SendMessageW(dlg, CDM_SETCONTROLTEXT, 0x47c /* cmb13 */, reinterpret_cast<LPARAM>(file.c_str()));
        ::SendMessageW(dlg, CDM_SETCONTROLTEXT, 0x480 /* edt1 */, reinterpret_cast<LPARAM>(file.c_str()));
        ::PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    };
    timer.SetEnabled(true);
    f.PPFavFileSaveClick();
    return run;
}

TEST_F(HisFav, AnEntrySavedToAFileIsWrittenByteForByte) {
    const std::wstring text = L"メモ\tA";
    WriteClipList(1, {text});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    SelectTab(0);
    const struct {
        int encoding;
        std::string bytes;
    } cases[] = {
        {1, std::string("\xFF\xFE\xE1\x30\xE2\x30\x09\x00\x41\x00\x0D\x00\x0A\x00", 14)},
        {2, std::string("\xFE\xFF\x30\xE1\x30\xE2\x00\x09\x00\x41\x00\x0D\x00\x0A", 14)},
        {3, "\xEF\xBB\xBF\xE3\x83\xA1\xE3\x83\xA2\tA\r\n"},
        {4, "\xE3\x83\xA1\xE3\x83\xA2\tA\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.encoding);
        Named<gui::TListBox>(f, L"ListBoxFav")->SetFocus();
        Named<gui::TListBox>(f, L"ListBoxFav")->SetItemIndex(0);
        const std::wstring file = Path(L"保存" + std::to_wstring(c.encoding) + L".txt");
        SaveRun run = SaveThroughDialog(f, c.encoding, file);
        EXPECT_TRUE(run.trayIconsOff);
        EXPECT_EQ(run.encodingShown, 0) << "the dialog opens on ANSI";
        EXPECT_EQ(ReadBytes(file), c.bytes);
        EXPECT_EQ(f.Lists.Settings.MDir + L"\\", tray_.dir.Path());
        EXPECT_TRUE(TrayForm->TrayIcon->Enabled());
        EXPECT_TRUE(RAMForm->TrayIcon->Enabled());
    }
    EXPECT_EQ(Named<gui::TSaveDialog>(f, L"TextSaveDialog")->Filter, L"テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*");
    EXPECT_EQ(Named<gui::TSaveDialog>(f, L"TextSaveDialog")->DefaultExt, L"txt");
}

TEST_F(HisFav, AFileHeldByAnotherProgramIsReportedAndKept) {
    WriteClipList(1, {L"テキスト"});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    SelectTab(0);
    const std::wstring file = Path(L"held.txt");
    ASSERT_TRUE(WriteBytes(file, "old"));
    gui::FileHandle held(::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    Named<gui::TListBox>(f, L"ListBoxFav")->SetFocus();
    Named<gui::TListBox>(f, L"ListBoxFav")->SetItemIndex(0);
    MessageBoxAnswerer boxes;
    SaveThroughDialog(f, 3, file);
    // The dialog asks first whether to replace the file (answered yes), then the write is refused.
    const std::wstring refused = file + L"に\r\n書き込めません。\r\nほかのソフトで開かれていないか確認してください。";
    EXPECT_TRUE(WaitApp([&] { return !boxes.Texts().empty() && boxes.Texts().back() == refused; }, 10000))
        << (boxes.Texts().empty() ? std::string("no box") : gui::WideToUtf8(boxes.Texts().back()));
    EXPECT_LE(boxes.Count(), 2u);
    held.reset();
    EXPECT_EQ(ReadBytes(file), "old");
    EXPECT_TRUE(TrayForm->TrayIcon->Enabled());
}

TEST_F(HisFav, TheRowUnderTheMouseGivesTheListItsHint) {
    const std::wstring doc = Path(L"doc.txt");
    ASSERT_TRUE(WriteBytes(doc, "x"));
    const std::wstring described = BinDir() + L"VersionInfoPlain.exe";
    const std::wstring bare = BinDir() + L"OrvWindowHost.exe";
    const std::wstring longText(300, L'長');
    WriteClipList(0, {longText});
    WriteList(0, 1, {doc});
    WriteList(0, 2, {described, bare});
    StartWithFavourites();
    ShowInFront();
    THisForm& f = His();
    std::wstring program;
    FindExecutableFor(doc, program);
    const struct {
        int tab;
        int row;
        std::wstring hint;
    } cases[] = {
        {0, 0, longText.substr(0, 255)},
        {1, 0, doc + L"\r\n" + program},
        {2, 0, described + L"\r\nPlain sample tool"},
        {2, 1, bare},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab * 10 + c.row);
        SelectTab(c.tab);
        Named<gui::TListBox>(f, L"ListBoxHis")->Hint.clear();
        POINT pt = RowPoint(Named<gui::TListBox>(f, L"ListBoxHis"), c.row);
        MouseAt(POINT{pt.x - 3, pt.y});
        PumpApp(50);
        MouseAt(pt);
        EXPECT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->Hint == c.hint && Named<gui::TListBox>(f, L"ListBoxHis")->ShowHint; }, 10000))
            << gui::WideToUtf8(Named<gui::TListBox>(f, L"ListBoxHis")->Hint);
    }
    // Below the rows there is no row: the hint is off.
    MouseAt(ScreenPoint(Named<gui::TListBox>(f, L"ListBoxHis")->Handle(), 30, Named<gui::TListBox>(f, L"ListBoxHis")->ClientHeight() - 3));
    EXPECT_TRUE(WaitApp([&] { return !Named<gui::TListBox>(f, L"ListBoxHis")->ShowHint; }, 10000));
}

}  // namespace
