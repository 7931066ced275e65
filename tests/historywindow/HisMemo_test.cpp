// The history window's memo pane: list rows dragged into it with the mouse
// and its one-level undo, the menu's enabled rules (paste by the recorded
// clipboard text, cut and copy by the selection), its shortcut keys while
// the memo has the focus, and "Memo.lst" read at start and written at close.
#include "app/Tray.h"
#include "tests/historywindow/HisWindowFixture.h"
#include "toolkit/QuorvinText.h"

using namespace testing_support;

namespace {

class HisMemo : public history_window::HisWindowTest {
protected:
    // The window in front with the memo pane shown.
    void StartWithMemo() {
        Start([](gui::TMemIniFile& ini) {
            ini.WriteBool(L"Edit", L"Visible", true);
            ini.WriteInteger(L"Edit", L"Width", 40);
            ini.WriteBool(L"Fav", L"Visible", true);
        });
        ShowInFront();
    }

    // Drags row `row` of the list onto the memo with the mouse.
    void DragRowToMemo(gui::TListBox* list, int row) {
        RECT r{};
        ::SendMessageW(list->Handle(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        const POINT from = ScreenPoint(list->Handle(), r.left + 40, (r.top + r.bottom) / 2);
        const POINT to = Centre(Named<gui::TRichEdit>(His(), L"Edit")->Handle());
        MouseAt(from);
        MouseAt(from, {MOUSEEVENTF_LEFTDOWN});
        for (int i = 1; i <= 4; ++i)
            MouseAt(POINT{from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4});
        MouseAt(to, {MOUSEEVENTF_LEFTUP});
    }

    // Whether the memo's menu offers the item now (its pop-up event run first).
    bool Offered(gui::TMenuItem* item) {
        His().PPEditPopup();
        return item->Enabled();
    }

    std::wstring MemoText() { return Named<gui::TRichEdit>(His(), L"Edit")->Text(); }

    void DragThenUndoTwice(const std::wstring& before);
};

// Drags the second history row into the memo holding `before`, then undoes
// twice: the text as it was, then the entry back.
void HisMemo::DragThenUndoTwice(const std::wstring& before) {
    WriteList(0, 1, {Path(L"first.txt"), Path(L"second.txt")});
    StartWithMemo();
    THisForm& f = His();
    SelectTab(1);
    Named<gui::TRichEdit>(f, L"Edit")->SetText(before);
    const std::wstring entry = Path(L"second.txt");
    DragRowToMemo(Named<gui::TListBox>(f, L"ListBoxHis"), 1);
    ASSERT_TRUE(WaitApp([&] { return MemoText() == before + entry; }, 15000))
        << gui::WideToUtf8(MemoText()) << " row " << Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex();
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxHis")->ItemIndex(), -1) << "the lists' selections are cleared";
    EXPECT_TRUE(Named<gui::TRichEdit>(f, L"Edit")->Focused());
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->SelStart(), static_cast<int>(Named<gui::TRichEdit>(f, L"Edit")->Text().size()));
    EXPECT_FALSE(Named<gui::TRichEdit>(f, L"Edit")->CanUndo()) << "the control itself has nothing to undo after the drop";
    ASSERT_TRUE(Offered(Named<gui::TMenuItem>(f, L"PPEditUndo")));

    // Ctrl+Z in the memo is the menu's undo: the text as it was.
    PressKey('Z', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return MemoText() == before; }, 10000)) << gui::WideToUtf8(MemoText());
    EXPECT_TRUE(Offered(Named<gui::TMenuItem>(f, L"PPEditUndo"))) << "the undo stays offered, also for an emptied memo";
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->SelLength(), 0);

    // A second undo brings the entry back.
    f.PPEditUndoClick();
    EXPECT_EQ(MemoText(), before + entry);
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->SelLength(), 0);
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->SelStart(), static_cast<int>(Named<gui::TRichEdit>(f, L"Edit")->Text().size()));
}

TEST_F(HisMemo, ARowDraggedAfterTheTextIsUndoneAndRedone) { DragThenUndoTwice(L"メモ: "); }

TEST_F(HisMemo, ARowDraggedIntoAnEmptyMemoIsUndoneAndRedone) { DragThenUndoTwice(L""); }

TEST_F(HisMemo, ARowIsTakenOnlyFromAListWithASelection) {
    WriteList(0, 1, {Path(L"his.txt")});
    WriteList(1, 1, {Path(L"fav.txt")});
    StartWithMemo();
    THisForm& f = His();
    SelectTab(1);
    struct Case {
        const char* name;
        int hisRow, favRow;
        gui::TControl* source;
        bool accepted;
    } cases[] = {
        {"history row selected", 0, -1, Named<gui::TListBox>(f, L"ListBoxHis"), true},
        {"history without selection", -1, 0, Named<gui::TListBox>(f, L"ListBoxHis"), false},
        {"favourite selected", -1, 0, Named<gui::TListBox>(f, L"ListBoxFav"), true},
        {"no favourite selected", 0, -1, Named<gui::TListBox>(f, L"ListBoxFav"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(c.hisRow);
        Named<gui::TListBox>(f, L"ListBoxFav")->SetItemIndex(c.favRow);
        bool accept = !c.accepted;
        ASSERT_TRUE(Named<gui::TRichEdit>(f, L"Edit")->OnDragOver);
        Named<gui::TRichEdit>(f, L"Edit")->OnDragOver(Named<gui::TRichEdit>(f, L"Edit"), c.source, 5, 5, accept);
        EXPECT_EQ(accept, c.accepted);
    }
    // A favourite dragged with the mouse is appended from the favourites.
    Named<gui::TRichEdit>(f, L"Edit")->SetText(L"");
    Named<gui::TListBox>(f, L"ListBoxHis")->SetItemIndex(-1);
    DragRowToMemo(Named<gui::TListBox>(f, L"ListBoxFav"), 0);
    ASSERT_TRUE(WaitApp([&] { return MemoText() == Path(L"fav.txt"); }, 15000)) << gui::WideToUtf8(MemoText());
    EXPECT_EQ(f.MEditDDUndo, THisForm::kEditDDUndoEmpty);
}

TEST_F(HisMemo, MenuItemsFollowTheSelectionTheRecordedClipboardAndTheText) {
    StartWithMemo();
    THisForm& f = His();
    // Right after the window opens nothing is offered but what the text allows.
    EXPECT_FALSE(Named<gui::TMenuItem>(f, L"PPEditCut")->Enabled());
    EXPECT_FALSE(Named<gui::TMenuItem>(f, L"PPEditCopy")->Enabled());
    Named<gui::TRichEdit>(f, L"Edit")->SetText(L"");
    EXPECT_FALSE(Offered(Named<gui::TMenuItem>(f, L"PPEditErase"))) << "an empty memo has nothing to erase";
    EXPECT_FALSE(Offered(Named<gui::TMenuItem>(f, L"PPEditUndo")));

    // Text on the clipboard that the capture has not recorded: no paste.
    f.Capture.MClipB.clear();
    ASSERT_TRUE(SetClipboardTextRetry(L"貼り付ける文字"));
    EXPECT_FALSE(Offered(Named<gui::TMenuItem>(f, L"PPEditPaste")));
    // Once the capture recorded it, the paste is offered and Ctrl+V pastes it.
    f.Capture.Proc_TimerHis(::GetForegroundWindow(), false);
    ASSERT_EQ(f.Capture.MClipB, L"貼り付ける文字");
    EXPECT_TRUE(Offered(Named<gui::TMenuItem>(f, L"PPEditPaste")));
    ClickAt(Centre(Named<gui::TRichEdit>(f, L"Edit")->Handle()));
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TRichEdit>(f, L"Edit")->Focused(); }, 10000));
    PressKey('V', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return MemoText() == L"貼り付ける文字"; }, 10000)) << gui::WideToUtf8(MemoText());
    EXPECT_TRUE(Offered(Named<gui::TMenuItem>(f, L"PPEditErase")));
    EXPECT_TRUE(Offered(Named<gui::TMenuItem>(f, L"PPEditUndo"))) << "the control can undo the paste";

    // A selection offers cut and copy; none takes them away again.
    Named<gui::TRichEdit>(f, L"Edit")->SetSel(0, 2);
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TMenuItem>(f, L"PPEditCut")->Enabled() && Named<gui::TMenuItem>(f, L"PPEditCopy")->Enabled(); }, 10000));
    f.PPEditCopyClick();
    EXPECT_EQ(ClipboardText(), L"貼り");
    f.PPEditCutClick();
    EXPECT_EQ(MemoText(), L"付ける文字");
    ASSERT_TRUE(WaitApp([&] { return !Named<gui::TMenuItem>(f, L"PPEditCut")->Enabled() && !Named<gui::TMenuItem>(f, L"PPEditCopy")->Enabled(); }, 10000));

    // The control's own undo comes first: the cut text returns.
    f.PPEditUndoClick();
    EXPECT_EQ(MemoText(), L"貼り付ける文字");
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->SelLength(), 0);

    f.PPEditEraseClick();
    EXPECT_EQ(MemoText(), L"");
    EXPECT_FALSE(Offered(Named<gui::TMenuItem>(f, L"PPEditErase")));
}

TEST_F(HisMemo, MemoLstIsReadAtStartAndWrittenAtClose) {
    {
        gui::TStringList memo;
        memo.Add(L"一行目");
        memo.Add(L"second line\twith a tab");
        memo.SaveToFile(Path(L"Memo.lst"), gui::TTextEncoding::Utf16LE);
    }
    StartWithMemo();
    THisForm& f = His();
    gui::TStringList shown;
    shown.SetText(MemoText());
    ASSERT_EQ(shown.Count(), 2);
    EXPECT_EQ(shown[0], L"一行目");
    EXPECT_EQ(shown[1], L"second line\twith a tab");
    EXPECT_TRUE(f.MEditDDUndo.empty()) << "loading leaves the memo's undo alone";

    Named<gui::TRichEdit>(f, L"Edit")->SetText(L"新しいメモ\r\n2行目");
    f.Close();
    gui::TStringList saved;
    saved.LoadFromFile(Path(L"Memo.lst"));
    ASSERT_EQ(saved.Count(), 2);
    EXPECT_EQ(saved[0], L"新しいメモ");
    EXPECT_EQ(saved[1], L"2行目");
}

TEST_F(HisMemo, TheMenuHoldsItsItemsInOrderWithTheirKeys) {
    StartWithMemo();
    THisForm& f = His();
    struct Item {
        const wchar_t* caption;
        const wchar_t* key;
    } expected[] = {{L"切り取り(&C)", L"Ctrl+X"}, {L"貼り付け(&V)", L"Ctrl+V"}, {L"コピー(&C)", L"Ctrl+C"},
                    {L"-", L""},             {L"元に戻す(&Z)", L"Ctrl+Z"}, {L"-", L""},
                    {L"消去(&E)", L"Ctrl+E"}};
    gui::TMenuItem* root = Named<gui::TPopupMenu>(f, L"PPEdit")->Items();
    ASSERT_EQ(root->Count(), 7);
    for (int i = 0; i < root->Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(root->Items(i)->Caption(), expected[i].caption);
        EXPECT_EQ(gui::ShortCutToText(root->Items(i)->ShortCut), expected[i].key);
    }
    EXPECT_EQ(Named<gui::TRichEdit>(f, L"Edit")->PopupMenu, Named<gui::TPopupMenu>(f, L"PPEdit"));
    EXPECT_FALSE(::GetWindowLongW(Named<gui::TRichEdit>(f, L"Edit")->Handle(), GWL_STYLE) & WS_TABSTOP) << "Tab navigation passes the memo by";
}

// Ctrl+Z belongs to the memo while it has the focus and to the favourites
// while they have it, though both menus have the key.
TEST_F(HisMemo, CtrlZUndoesWhereTheFocusIs) {
    WriteList(1, 1, {Path(L"a.txt"), Path(L"b.txt")});
    StartWithMemo();
    THisForm& f = His();
    SelectTab(1);
    f.Proc_SaveUndo(L"削除");
    f.Lists.Favourites(1).Delete(0);
    f.Proc_DispFav();
    ASSERT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Count(), 1);

    Named<gui::TRichEdit>(f, L"Edit")->SetText(L"");
    ClickAt(Centre(Named<gui::TRichEdit>(f, L"Edit")->Handle()));
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TRichEdit>(f, L"Edit")->Focused(); }, 10000));
    TypeText(L"abc");
    ASSERT_TRUE(WaitApp([&] { return MemoText() == L"abc"; }, 10000)) << gui::WideToUtf8(MemoText());
    PressKey('Z', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return MemoText() != L"abc"; }, 10000));
    EXPECT_EQ(Named<gui::TListBox>(f, L"ListBoxFav")->Count(), 1) << "the favourites are left alone";
    EXPECT_FALSE(f.Lists.MUndoList[1].Empty());
    EXPECT_TRUE(f.MEditDDUndo.empty()) << "typing leaves the memo's drop undo alone";

    const std::wstring memo = MemoText();
    Named<gui::TListBox>(f, L"ListBoxFav")->SetFocus();
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxFav")->Focused(); }, 10000));
    PressKey('Z', {VK_CONTROL});
    ASSERT_TRUE(WaitApp([&] { return Named<gui::TListBox>(f, L"ListBoxFav")->Count() == 2; }, 10000));
    EXPECT_EQ(MemoText(), memo);
}

}  // namespace
