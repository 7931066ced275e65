// Files dropped from Explorer on the history window: a real drop handle
// posted as WM_DROPFILES to the window at a point on the favourites, the
// memo or elsewhere. Favourites by category (sorted, appended backwards,
// shortcuts by their targets, the limit of 100), text files into the memo in
// their encodings, and the size limit with its message.
#include <windows.h>
#include <shellapi.h>

#include "app/Tray.h"
#include "app/history/Launch.h"
#include "components/MakeShortCuts.h"
#include "gui/Application.h"
#include "gui/Exception.h"
#include "tests/historywindow/HisWindowFixture.h"
#include "toolkit/QuorvinFiles.h"
#include "tests/support/DropFiles.h"

using namespace testing_support;

namespace {

class HisDrop : public history_window::HisWindowTest {
protected:
    void StartShown() {
        Start([](gui::TMemIniFile& ini) {
            ini.WriteBool(L"Edit", L"Visible", true);
            ini.WriteInteger(L"Edit", L"Width", 40);
            ini.WriteBool(L"Fav", L"Visible", true);
        });
        ShowInFront();
    }

    // Posts the drop to the window (which accepts files) with the point in
    // the middle of the control, and waits until the window has handled it.
    void DropOn(gui::TWinControl* control, const std::vector<std::wstring>& files) {
        ASSERT_TRUE(::GetWindowLongW(His().Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        DropAt(control, files);
    }

    // The same drop whether or not the window says it takes files.
    void DropAt(gui::TWinControl* control, const std::vector<std::wstring>& files) {
        const HWND form = His().Handle();
        POINT pt = Centre(control->Handle());
        ::ScreenToClient(form, &pt);
        HGLOBAL h = MakeHDrop(files, pt);
        ASSERT_TRUE(::PostMessageW(form, WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0));
        // DragFinish frees the handle once the drop is handled.
        ASSERT_TRUE(WaitApp([&] { return ::GlobalSize(h) == 0; }, 20000));
    }

    std::wstring File(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = Path(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }

    std::wstring Folder(const std::wstring& name) {
        const std::wstring path = Path(name);
        ::CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }

    std::vector<std::wstring> Favs(int c) {
        std::vector<std::wstring> v;
        const gui::TStringList& l = His().Lists.Favourites(c);
        for (int i = 0; i < l.Count(); ++i) v.push_back(l[i]);
        return v;
    }
};

TEST_F(HisDrop, FilesOnTheFavouritesAreTakenByTheTabsCategory) {
    const std::wstring a = File(L"a.txt", "a"), b = File(L"b.txt", "b"), c = File(L"c.txt", "c");
    const std::wstring prog = File(L"tool.EXE", "MZ"), dir = Folder(L"folder");
    const std::wstring empty = File(L"empty.txt", ""), text = File(L"text.txt", "line 1\r\nline 2\r\n");
    WriteList(1, 1, {b, Path(L"other.txt")});
    StartShown();
    THisForm& f = His();
    struct Case {
        const char* name;
        int tab;
        std::vector<std::wstring> dropped;
        std::vector<std::wstring> favourites;
    } cases[] = {
        {"files: sorted, appended backwards, an equal entry moves", 1, {a, c, b, prog},
         {Path(L"other.txt"), c, b, a}},
        {"files: a folder is taken, a program not", 1, {dir, prog}, {Path(L"other.txt"), c, b, a, dir}},
        {"programs: only the program", 2, {a, prog, dir}, {prog}},
        {"folders: only the folder", 3, {a, prog, dir}, {dir}},
        {"texts: the file's content, an empty file adds nothing", 0, {empty, text}, {L"line 1\r\nline 2\r\n"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        SelectTab(k.tab);
        Named<gui::TListBox>(f, L"ListBoxFav")->SetItemIndex(0);
        DropOn(Named<gui::TListBox>(f, L"ListBoxFav"), k.dropped);
        EXPECT_EQ(Favs(k.tab), k.favourites);
        ASSERT_FALSE(f.Lists.MUndoList[k.tab].Empty());
        EXPECT_EQ(f.Lists.MUndoList[k.tab][0], L"ドラッグ＆ドロップ");
        EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Count(), static_cast<int>(k.favourites.size())) << "the list shows them";
        EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->ItemIndex(), -1);
    }
    // An empty text file alone still takes the snapshot.
    SelectTab(0);
    f.Lists.MUndoList[0].Clear();
    DropOn(Named<gui::TListBox>(f, L"ListBoxFav"), {empty});
    EXPECT_EQ(Favs(0), std::vector<std::wstring>{L"line 1\r\nline 2\r\n"});
    ASSERT_EQ(f.Lists.MUndoList[0].Count(), 2);
    EXPECT_EQ(f.Lists.MUndoList[0][0], L"ドラッグ＆ドロップ");
    // Dropped elsewhere in the window: nothing happens.
    SelectTab(1);
    const auto before = Favs(1);
    DropOn(Named<gui::TListBox>(f, L"ListBoxHis"), {Path(L"zzz.txt")});
    EXPECT_EQ(Favs(1), before);
}

TEST_F(HisDrop, AShortcutAddsItsTargetAndOneWithoutTargetNothing) {
    const std::wstring prog = File(L"launch me.exe", "MZ");
    auto makeLink = [&](const std::wstring& name, const std::wstring& target) {
        TMakeShortCuts sc(nullptr);
        sc.SCSystemPath = tpBlank;
        sc.SCFileName = Path(name);
        sc.SCExecFile = target;
        sc.SCSave();
        EXPECT_TRUE(FileExistsSafe(sc.SCFileName)) << gui::WideToUtf8(name);
        return sc.SCFileName;
    };
    const std::wstring toProg = makeLink(L"to program.lnk", prog);
    const std::wstring noTarget = makeLink(L"no target.LNK", L"");
    {
        TMakeShortCuts back(nullptr);
        back.SCSystemPath = tpBlank;
        back.SCFileName = toProg;
        back.SCLoad();
        ASSERT_EQ(::lstrcmpiW(back.SCExecFile.c_str(), prog.c_str()), 0) << gui::WideToUtf8(back.SCExecFile);
    }
    StartShown();
    THisForm& f = His();
    SelectTab(2);
    // The launcher shows the program favourites and follows the drop.
    ASSERT_TRUE(LaunchForm);
    LaunchForm->Show();
    ASSERT_TRUE(WaitApp([&] { return LaunchForm->Visible(); }, 10000));
    ASSERT_EQ(LaunchForm->ListViewFav->Count(), 0);
    DropOn(Named<gui::TListBox>(f, L"ListBoxFav"), {noTarget, toProg});
    ASSERT_EQ(Favs(2).size(), 1u);
    EXPECT_EQ(::lstrcmpiW(Favs(2)[0].c_str(), prog.c_str()), 0) << gui::WideToUtf8(Favs(2)[0]);
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Count(), 1);
    EXPECT_EQ(LaunchForm->ListViewFav->Count(), 1);
    // On the files tab the shortcut without target still adds nothing.
    SelectTab(1);
    DropOn(Named<gui::TListBox>(f, L"ListBoxFav"), {noTarget});
    EXPECT_TRUE(Favs(1).empty());
}

TEST_F(HisDrop, ThreeFilesOnNinetyNineFavouritesLeaveAHundredWithAWarning) {
    std::vector<std::wstring> stored;
    for (int i = 0; i < 99; ++i) stored.push_back(Path(L"old" + std::to_wstring(i) + L".txt"));
    WriteList(1, 1, stored);
    const std::wstring x = File(L"x.txt", "x"), y = File(L"y.txt", "y"), z = File(L"z.txt", "z");
    StartShown();
    THisForm& f = His();
    SelectTab(1);
    MessageBoxAnswerer answerer;
    DropOn(Named<gui::TListBox>(f, L"ListBoxFav"), {x, y, z});
    ASSERT_TRUE(WaitApp([&] { return answerer.Count() == 1; }, 10000));
    EXPECT_EQ(answerer.Texts()[0], L"登録できるのは100までです。");
    auto favs = Favs(1);
    ASSERT_EQ(favs.size(), 100u);
    EXPECT_EQ(favs.back(), z) << "the first in descending order stays";
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Count(), 100);
}

TEST_F(HisDrop, TextFilesGoIntoTheMemoInTheirEncodingsUpToTheSizeLimit) {
    const std::wstring utf16 = Path(L"utf16.txt");
    {
        gui::TStringList l;
        l.Add(L"ユーティーエフ16");
        l.SaveToFile(utf16, gui::TTextEncoding::Utf16LE);
    }
    const std::wstring utf8 = File(L"utf8.txt", gui::EncodeText(L"八ビット", gui::TTextEncoding::Utf8NoBom));
    const std::wstring program = File(L"prog.Exe", "text"), library = File(L"lib.DLL", "text");
    const std::wstring justBelow = File(L"below.txt", std::string(1048575, 'a'));
    const std::wstring atLimit = File(L"limit.txt", std::string(1048576, 'b'));
    StartShown();
    THisForm& f = His();
    Named<gui::TRichEdit>(f, L"Edit")->SetText(L"前:");
    MessageBoxAnswerer answerer;
    DropOn(Named<gui::TRichEdit>(f, L"Edit"), {utf16, program, utf8, library});
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->Text(), L"前:ユーティーエフ16\r\n八ビット");
    EXPECT_EQ(answerer.Count(), 0u) << "programs and libraries are skipped silently";
    EXPECT_TRUE(f.MEditDDUndo.empty()) << "a file drop leaves the memo's undo alone";
    EXPECT_TRUE(f.Lists.Favourites(f.Category()).Empty());

    Named<gui::TRichEdit>(f, L"Edit")->SetText(L"");
    DropOn(Named<gui::TRichEdit>(f, L"Edit"), {atLimit});
    ASSERT_TRUE(WaitApp([&] { return answerer.Count() == 1; }, 10000));
    EXPECT_EQ(answerer.Texts()[0],
              atLimit + L"は\r\n1024KB以上あります。\r\n1024KB以上のファイルは扱えません。");
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->Text(), L"");
    // The size check let go of the file.
    EXPECT_TRUE(::DeleteFileW(atLimit.c_str()));

    DropOn(Named<gui::TRichEdit>(f, L"Edit"), {justBelow});
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->Text().size(), 1048575u);
    EXPECT_EQ(answerer.Count(), 1u);
}

// A dropped name that cannot be read stops the drop there with an error;
// what the names before it did stays, and the favourites show it.
TEST_F(HisDrop, AnUnreadableFileStopsTheDropAndKeepsWhatCameBefore) {
    // In the system code page, as both drops read it.
    const std::wstring text = File(L"b.txt", gui::EncodeText(L"読めるテキスト", gui::TTextEncoding::Ansi));
    const std::wstring missing = Path(L"a-gone.txt");
    StartShown();
    THisForm& f = His();
    ASSERT_TRUE(gui::Application);
    std::vector<std::wstring> errors;
    auto previous = gui::Application->OnException;
    gui::Application->OnException = [&](const std::exception_ptr& e) {
        errors.push_back(gui::ExceptionMessage(e));
    };
    // The memo: the text file before the missing one is loaded.
    Named<gui::TRichEdit>(f, L"Edit")->SetText(L"");
    DropOn(Named<gui::TRichEdit>(f, L"Edit"), {text, missing, text});
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->Text(), L"読めるテキスト");
    EXPECT_EQ(errors.size(), 1u);
    // The clipboard texts: sorted, the walk meets b.txt before a-gone.txt.
    SelectTab(0);
    DropOn(Named<gui::TListBox>(f, L"ListBoxFav"), {missing, text});
    EXPECT_EQ(Favs(0), std::vector<std::wstring>{L"読めるテキスト"});
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Count(), 1) << "the list shows what was added";
    EXPECT_EQ(errors.size(), 2u);
    gui::Application->OnException = previous;
}

// A drop that fails midway still leaves no more than the hundred
// favourites the list may hold, with the limit's warning, and the close
// writes no more.
TEST_F(HisDrop, AFailedDropOnNinetyNineFavouritesLeavesAHundred) {
    std::vector<std::wstring> stored;
    for (int i = 0; i < 99; ++i) stored.push_back(L"お気に入り " + std::to_wstring(i));
    {
        gui::TStringList l;
        for (const auto& e : stored) l.Add(e);
        ASSERT_TRUE(WriteClipListFile(HisListFileName(tray_.dir.Path(), 1, 0), l));
    }
    const std::wstring b = File(L"b.txt", "bee"), c = File(L"c.txt", "sea");
    const std::wstring missing = Path(L"a-gone.txt");
    StartShown();
    THisForm& f = His();
    SelectTab(0);
    ASSERT_EQ(Favs(0).size(), 99u);
    std::vector<std::wstring> errors;
    auto previous = gui::Application->OnException;
    gui::Application->OnException = [&](const std::exception_ptr& e) {
        errors.push_back(gui::ExceptionMessage(e));
    };
    MessageBoxAnswerer answerer;
    // Sorted, the walk appends c and b, then meets the missing file.
    DropOn(Named<gui::TListBox>(f, L"ListBoxFav"), {missing, b, c});
    gui::Application->OnException = previous;
    EXPECT_EQ(errors.size(), 1u);
    ASSERT_TRUE(WaitApp([&] { return answerer.Count() == 1; }, 10000));
    EXPECT_EQ(answerer.Texts()[0], L"登録できるのは100までです。");
    const auto favs = Favs(0);
    ASSERT_EQ(favs.size(), 100u);
    EXPECT_EQ(favs.back(), L"sea") << "the first appended stays";
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Count(), 100);
    f.Close();
    gui::TStringList saved;
    ASSERT_TRUE(ReadClipListFile(HisListFileName(tray_.dir.Path(), 1, 0), saved));
    EXPECT_EQ(saved.Count(), 100);
}

// Only the favourites list or the memo as the user sees them take a drop:
// with the settings page in front the same points take nothing.
TEST_F(HisDrop, TheSettingsPageTakesNoDrop) {
    const std::wstring text = File(L"note.txt", "note");
    StartShown();
    THisForm& f = His();
    SelectTab(1);
    Named<gui::TRichEdit>(f, L"Edit")->SetText(L"");
    Named<gui::TPageControl>(f, L"PageControl")->SetActivePage(Named<gui::TTabSheet>(f, L"TabSheetEnv"));
    f.PageControlChange();
    ASSERT_FALSE(::IsWindowVisible(Named<gui::TRichEdit>(f, L"Edit")->Handle()));
    // On the settings page the window takes no files, so the shell offers
    // no drop there; a drop that comes all the same, on the points where the
    // memo and the favourites stand hidden, takes nothing.
    EXPECT_FALSE(::GetWindowLongW(f.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    DropAt(Named<gui::TRichEdit>(f, L"Edit"), {text});
    DropAt(Named<gui::TListBox>(f, L"ListBoxFav"), {text});
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->Text(), L"");
    EXPECT_TRUE(Favs(1).empty());
    // Back on the functions page both take it.
    Named<gui::TPageControl>(f, L"PageControl")->SetActivePage(Named<gui::TTabSheet>(f, L"TabSheetAct"));
    f.PageControlChange();
    DropOn(Named<gui::TRichEdit>(f, L"Edit"), {text});
    DropOn(Named<gui::TListBox>(f, L"ListBoxFav"), {text});
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->Text(), L"note");
    EXPECT_EQ(Favs(1), std::vector<std::wstring>{text});
}

}  // namespace
