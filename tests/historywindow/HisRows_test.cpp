// The history window's find box (typed into, Enter and the buttons), its
// find history, the favourites' undo snapshot through the favourites menu
// and Ctrl+Z, and rows drawn with the entries' icons.
#include "app/Tray.h"
#include "tests/historywindow/HisWindowFixture.h"

using namespace testing_support;

namespace {

using HisRows = history_window::HisWindowTest;

std::vector<std::wstring> ComboItems(gui::TComboBox* combo) {
    std::vector<std::wstring> items;
    for (int i = 0; i < combo->Count(); ++i) items.push_back(combo->Item(i));
    return items;
}

TEST_F(HisRows, TypedFindTextSearchesDownAndUpIgnoringCase) {
    WriteList(0, 1, {Path(L"alpha.TXT"), Path(L"BETA.txt"), Path(L"gamma.txt"), Path(L"beta2.txt")});
    Start();
    ShowInFront();
    THisForm& f = His();
    SelectTab(1);
    ClickAt(Centre(Named<gui::TComboBox>(f, L"CBFind")->Handle()));
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TComboBox>(f, L"CBFind")->Focused() || ::IsChild(Named<gui::TComboBox>(f, L"CBFind")->Handle(), ::GetFocus()); }, 10000));
    TypeText(L"beta");
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TButton>(f, L"BtnFindDown")->Enabled() && Named<gui::TButton>(f, L"BtnFindUp")->Enabled(); }, 10000));

    // Nothing selected: the search starts after the first row.
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex() == 1; }, 10000)) << Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex();
    EXPECT_EQ(ComboItems(Named<gui::TComboBox>(f, L"CBFind")), std::vector<std::wstring>{L"beta"});
    f.BtnFindDownClick();
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex(), 3);
    f.BtnFindDownClick();
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex(), 3) << "no hit further down keeps the selection";
    ClickAt(Centre(Named<gui::TButton>(f, L"BtnFindUp")->Handle()));
    EXPECT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex() == 1; }, 10000));
    EXPECT_EQ(ComboItems(Named<gui::TComboBox>(f, L"CBFind")), std::vector<std::wstring>{L"beta"}) << "the same text is kept once";

    // No hit after the first row leaves the first row selected.
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(-1);
    Named<gui::TComboBox>(f, L"CBFind")->SetText(L"zzz");
    f.BtnFindDownClick();
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex(), 0);
    EXPECT_EQ(ComboItems(Named<gui::TComboBox>(f, L"CBFind")), (std::vector<std::wstring>{L"zzz", L"beta"}));
}

TEST_F(HisRows, TheFindHistoryHoldsAHundredTextsEachOnce) {
    {
        gui::TStringList finds;
        for (int i = 0; i < 100; ++i) finds.Add(L"text" + std::to_wstring(i));
        finds.SaveToFile(Path(L"Find.lst"), gui::TTextEncoding::Utf16LE);
    }
    WriteList(0, 1, {Path(L"a.txt")});
    Start();
    THisForm& f = His();
    SelectTab(1);
    ASSERT_EQ(Named<gui::TComboBox>(f, L"CBFind")->Count(), 100);
    Named<gui::TComboBox>(f, L"CBFind")->SetText(L"TEXT50");
    f.CBFindChange();
    f.BtnFindDownClick();
    ASSERT_EQ(Named<gui::TComboBox>(f, L"CBFind")->Count(), 100);
    EXPECT_EQ(Named<gui::TComboBox>(f, L"CBFind")->Item(0), L"TEXT50");
    int same = 0;
    for (int i = 0; i < Named<gui::TComboBox>(f, L"CBFind")->Count(); ++i) same += ::lstrcmpiW(Named<gui::TComboBox>(f, L"CBFind")->Item(i).c_str(), L"text50") == 0;
    EXPECT_EQ(same, 1);
    Named<gui::TComboBox>(f, L"CBFind")->SetText(L"new");
    f.BtnFindDownClick();
    ASSERT_EQ(Named<gui::TComboBox>(f, L"CBFind")->Count(), 100);
    EXPECT_EQ(Named<gui::TComboBox>(f, L"CBFind")->Item(0), L"new");
    EXPECT_EQ(Named<gui::TComboBox>(f, L"CBFind")->Item(99), L"text98") << "the oldest went";
    // Saved with the lists when the window closes.
    f.Close();
    gui::TStringList saved;
    saved.LoadFromFile(Path(L"Find.lst"));
    ASSERT_FALSE(saved.Empty());
    EXPECT_EQ(saved[0], L"new");
}

TEST_F(HisRows, FindingWithAnEmptyHistorySelectsNothing) {
    WriteList(1, 3, {Path(L"お気に入り\\")});
    Start();
    THisForm& f = His();
    SelectTab(3);
    ASSERT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->Count(), 0);
    ASSERT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Count(), 1);
    Named<gui::TComboBox>(f, L"CBFind")->SetText(L"お気");
    f.CBFindChange();
    EXPECT_TRUE(Named<gui::TButton>(f, L"BtnFindDown")->Enabled()) << "the favourites have rows";
    // Selecting a first history row that is not there would be a list-index error.
    EXPECT_NO_THROW(f.BtnFindDownClick());
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex(), -1);
    EXPECT_EQ(Named<gui::TComboBox>(f, L"CBFind")->Item(0), L"お気");
}

TEST_F(HisRows, UndoRestoresTheFavouritesOnce) {
    WriteList(1, 1, {Path(L"a.txt"), Path(L"b.txt")});
    Start();
    ShowInFront();
    THisForm& f = His();
    SelectTab(1);
    auto favourites = [&] {
        std::vector<std::wstring> v;
        for (int i = 0; i < f.Lists.MFileList[6].Count(); ++i) v.push_back(f.Lists.MFileList[6][i]);
        return v;
    };
    Named<gui::TPopupMenu>(f, L"PPMenuFav")->OnPopup(Named<gui::TPopupMenu>(f, L"PPMenuFav"));
    EXPECT_FALSE(Named<gui::TMenuItem>(f, L"PPUndo")->Enabled());
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPUndo")->Caption(), L"元に戻す(&Z)");

    f.Proc_SaveUndo(L"ドラッグ＆ドロップ");
    f.Lists.MFileList[6].Add(Path(L"dropped.txt"));
    f.Proc_DispFav();
    Named<gui::TPopupMenu>(f, L"PPMenuFav")->OnPopup(Named<gui::TPopupMenu>(f, L"PPMenuFav"));
    EXPECT_TRUE(Named<gui::TMenuItem>(f, L"PPUndo")->Enabled());
    EXPECT_EQ(Named<gui::TMenuItem>(f, L"PPUndo")->Caption(), L"元に戻す(&Z)-ドラッグ＆ドロップ");

    // Ctrl+Z in the window picks the item.
    Named<gui::TListBox>(f, L"ListBoxFav")->SetFocus();
    PressKey('Z', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return f.Lists.MFileList[6].Count() == 2; }, 10000));
    EXPECT_EQ(favourites(), (std::vector<std::wstring>{Path(L"a.txt"), Path(L"b.txt")}));
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Count(), 2);
    Named<gui::TPopupMenu>(f, L"PPMenuFav")->OnPopup(Named<gui::TPopupMenu>(f, L"PPMenuFav"));
    EXPECT_FALSE(Named<gui::TMenuItem>(f, L"PPUndo")->Enabled()) << "a second undo is not offered";

    // A snapshot of no favourites restores none.
    SelectTab(2);
    f.Proc_SaveUndo(L"追加");
    f.Lists.MFileList[7].Add(Path(L"p.exe"));
    f.PPUndoClick();
    EXPECT_TRUE(f.Lists.MFileList[7].Empty());
}

TEST_F(HisRows, RowsShowTheirFilesIconsAsTheyArePainted) {
    std::vector<std::wstring> files;
    for (int i = 0; i < 40; ++i) {
        files.push_back(Path(L"doc" + std::to_wstring(i) + L".txt"));
        ASSERT_TRUE(WriteBytes(files.back(), "x"));
    }
    WriteList(0, 1, files);
    Start([](gui::TMemIniFile& ini) { ini.WriteBool(L"Icon", L"List", true); });
    ShowInFront();
    THisForm& f = His();
    EXPECT_TRUE(Named<gui::TTimer>(f, L"TimerWheel")->Enabled()) << "runs while icons are shown";
    SelectTab(1);
    const int visible = Named<gui::TListBox>(f, L"ListBoxHis")->ClientHeight() / Named<gui::TListBox>(f, L"ListBoxHis")->ItemHeight();
    ASSERT_GT(visible, 2);
    // Each paint fetches the next row's icon; the timer keeps the view on them.
    EXPECT_TRUE(WaitApp([&] { return Named<gui::TImageList>(f, L"ImageListHis")->Count() >= visible; }, 20000)) << Named<gui::TImageList>(f, L"ImageListHis")->Count();
    EXPECT_LE(Named<gui::TImageList>(f, L"ImageListHis")->Count(), visible + 1) << "only rows that were shown";
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->TopIndex(), 0);

    // The clipboard category has no icons.
    f.Lists.MFileList[0].Add(L"テキスト");
    SelectTab(0);
    PumpApp(300);
    EXPECT_EQ(Named<gui::TImageList>(f, L"ImageListHis")->Count(), 0);
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->Count(), 1);
}

}  // namespace
