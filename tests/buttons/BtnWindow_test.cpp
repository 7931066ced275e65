// The button registration window walked as a user: opened from the tray
// menu's item, candidates of another program's real message box picked
// with the mouse, registered, reordered and deleted, the hot key pressed
// into its edit, then saved or dropped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/monitors/Btn.h"
#include "gui/IniFile.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayRoad.h"
#include "tests/support/UserInput.h"
#include "tests/tray/TrayFixture.h"

using namespace testing_support;

namespace {

// Another program's real message box: "msg" and a second line, caption
// "Cap", OK and Cancel.
struct MessageBoxProgram {
    ChildProcess process;
    HWND box = nullptr;

    MessageBoxProgram() {
        process = ChildProcess::Start(BinDir() + L"BtnMsgBox.exe");
        const std::wstring caption = L"Cap";
        WaitUntil(
            [&] {
                for (HWND w : FindTopWindows(L"#32770", &caption))
                    if (WindowProcessId(w) == process.Pid() && ::IsWindowVisible(w)) box = w;
                return box != nullptr;
            },
            30000);
        // A new window is activated once more a moment after it shows: the
        // box settles in front, and its thread has handled what came before
        // a message sent now, before the test goes on.
        if (!box) return;
        WaitUntil([&] { return ::GetForegroundWindow() == box; }, 5000);
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    }
    std::wstring ButtonText(int id) const {
        wchar_t buf[260] = {};
        ::GetWindowTextW(::GetDlgItem(box, id), buf, 260);
        return buf;
    }
};

// The row of the candidates' view that holds the box's button of that text.
int CandidateRow(const std::wstring& buttonCaption) {
    gui::TListView* view = BtnForm->ListAddView;
    for (int i = 0; i < view->Count(); ++i)
        if (view->ItemText(i, bfCaption) == L"Cap" && view->ItemText(i, bfButtonCaption) == buttonCaption) return i;
    return -1;
}

// The registered rows as the view shows them: button caption, then size.
std::vector<std::wstring> Registered() {
    std::vector<std::wstring> rows;
    gui::TListView* view = BtnForm->ListListView;
    for (int i = 0; i < view->Count(); ++i)
        rows.push_back(view->ItemText(i, bfButtonCaption) + L"/" + view->ItemText(i, bfHeight) + L"/" +
                       view->ItemText(i, bfMessage));
    return rows;
}

TBtnEntry Entry(const std::wstring& n) {
    TBtnEntry e;
    e[bfProgram] = L"P" + n + L".EXE";
    e[bfCaption] = L"Caption " + n;
    e[bfClass] = L"#32770";
    e[bfButtonCaption] = L"OK";
    e[bfButtonClass] = L"Button";
    return e;
}

class ButtonWindow : public testing::Test, public TrayFormFixture {
protected:
    void SetUp() override { StartTray(); }
    void TearDown() override { StopTray(); }

    void Open(const std::function<void()>& scenario) {
        WhileModal(BtnForm, [] { TrayItem(L"PPBtn")->Click(); }, scenario);
    }
    bool StopChecked() {
        WaitApp([] { return false; }, 300);
        return TrayForm->PPBtnStop->Checked();
    }
};

TEST_F(ButtonWindow, CandidatesAreRegisteredReorderedDeletedAndSaved) {
    MessageBoxProgram p;
    ASSERT_TRUE(p.box);
    const std::wstring ok = p.ButtonText(IDOK), cancel = p.ButtonText(IDCANCEL);
    RECT r{};
    ::GetWindowRect(p.box, &r);
    const std::wstring height = std::to_wstring(r.bottom - r.top);
    TrayForm->TimerMain->SetEnabled(true);
    bool heartbeatStopped = false, stopKeyHeld = false;

    Open([&] {
        heartbeatStopped = !TrayForm->TimerMain->Enabled() && !TrayForm->TrayIcon->Enabled();
        ASSERT_TRUE(BringToFront(BtnForm->Handle())) << VisibleWindowsInZOrder();
        EXPECT_EQ(BtnForm->Caption(), L"Orvandel - 自動的に押すボタンの設定");
        EXPECT_EQ(BtnForm->PageControl->ActivePage(), BtnForm->TabSheetAdd);
        EXPECT_TRUE(BtnForm->GroupBoxMessage->Visible());
        EXPECT_FALSE(BtnForm->TBAdd->Enabled());
        EXPECT_EQ(BtnForm->EditHTKStop->Text(), L"Shift+Ctrl+B");

        // The stop key is not registered while the window is shown.
        const bool before = TrayForm->PPBtnStop->Checked();
        ClickControl(BtnForm->ListAddView);
        PressKeys({VK_SHIFT, VK_CONTROL, 'B'});
        stopKeyHeld = StopChecked() == before;

        // OK with the box's message as condition.
        int row = CandidateRow(ok);
        ASSERT_GE(row, 0) << "the box's OK button is a candidate";
        EXPECT_GE(CandidateRow(cancel), 0);
        ClickRow(BtnForm->ListAddView, row);
        ASSERT_TRUE(WaitApp([] { return BtnForm->TBAdd->Enabled() && BtnForm->TBAddNoSize->Enabled(); }, 5000));
        EXPECT_TRUE(BtnForm->CHKMessage->Enabled()) << "a dialog's candidate may carry its message";
        EXPECT_FALSE(BtnForm->CHKMessage->Checked());
        EXPECT_EQ(BtnForm->EditMessage->Text(), L"msg\r\nsecond line");
        ClickControl(BtnForm->CHKMessage);
        ASSERT_TRUE(BtnForm->CHKMessage->Checked());
        EXPECT_TRUE(BtnForm->EditMessage->Enabled());
        ClickToolButton(BtnForm->TBAdd);
        EXPECT_EQ(BtnForm->PageControl->ActivePage(), BtnForm->TabSheetSave);
        EXPECT_FALSE(BtnForm->GroupBoxMessage->Visible());
        EXPECT_EQ(Registered(), (std::vector<std::wstring>{ok + L"/" + height + L"/msg{改行}second line"}));

        // Back on the candidates page: Cancel by double click, OK for any size.
        ClickTab(BtnForm->PageControl, 0);
        ASSERT_EQ(BtnForm->PageControl->ActivePage(), BtnForm->TabSheetAdd);
        EXPECT_TRUE(BtnForm->GroupBoxMessage->Visible());
        ClickRow(BtnForm->ListAddView, CandidateRow(cancel), /*dbl=*/true);
        ASSERT_TRUE(WaitApp([] { return BtnForm->MListListC == 2; }, 5000));
        ClickTab(BtnForm->PageControl, 0);
        ClickRow(BtnForm->ListAddView, CandidateRow(ok));
        ClickToolButton(BtnForm->TBAddNoSize);
        // The first OK again, same size and message: it moves to the end.
        ClickTab(BtnForm->PageControl, 0);
        ClickRow(BtnForm->ListAddView, CandidateRow(ok));
        ClickControl(BtnForm->CHKMessage);
        ClickToolButton(BtnForm->TBAdd);
        EXPECT_EQ(Registered(), (std::vector<std::wstring>{cancel + L"/" + height + L"/", ok + L"//",
                                                           ok + L"/" + height + L"/msg{改行}second line"}));
        EXPECT_EQ(BtnForm->MListListC, 3);

        // Up and down follow the selection; the first row goes down one place.
        ClickRow(BtnForm->ListListView, 0);
        EXPECT_FALSE(BtnForm->TBUp->Enabled());
        EXPECT_TRUE(BtnForm->TBDown->Enabled());
        EXPECT_TRUE(BtnForm->TBDel->Enabled());
        EXPECT_FALSE(BtnForm->TBAdd->Enabled());
        ClickToolButton(BtnForm->TBDown);
        EXPECT_EQ(BtnForm->ListListView->ItemIndex(), 1);
        ClickRow(BtnForm->ListListView, 2);
        EXPECT_TRUE(BtnForm->TBUp->Enabled());
        EXPECT_FALSE(BtnForm->TBDown->Enabled());
        ClickToolButton(BtnForm->TBUp);
        // Now: OK any size, OK with size, Cancel. A double click deletes.
        ClickRow(BtnForm->ListListView, 2, /*dbl=*/true);
        EXPECT_EQ(Registered(),
                  (std::vector<std::wstring>{ok + L"//", ok + L"/" + height + L"/msg{改行}second line"}));

        // The new stop key, pressed into its edit; the sound switched on.
        ClickControl(BtnForm->EditHTKStop);
        PressKeys({VK_CONTROL, VK_MENU, 'K'});
        EXPECT_TRUE(WaitApp([] { return BtnForm->EditHTKStop->Text() == L"Ctrl+Alt+K"; }, 5000))
            << "the edit shows " << testing::PrintToString(BtnForm->EditHTKStop->Text());
        ClickControl(BtnForm->CHKWav);
        EXPECT_TRUE(BtnForm->CHKWav->Checked());
        ClickToolButton(BtnForm->TBMoveCursor);
        EXPECT_FALSE(BtnForm->TBMoveCursor->Down());

        ClickToolButton(BtnForm->TBCloseSave);
        EXPECT_TRUE(WaitApp([] { return BtnForm->ModalResult != gui::mrNone; }, 5000));
    });
    p.process.Terminate();

    EXPECT_TRUE(heartbeatStopped) << "the heartbeat and the icon rest while the window is open";
    EXPECT_TRUE(stopKeyHeld) << "Shift+Ctrl+B did nothing while the window was shown";
    EXPECT_FALSE(BtnForm->Visible());
    EXPECT_TRUE(TrayForm->TimerMain->Enabled());
    EXPECT_EQ(BtnForm->ListAddView->Count(), 0) << "the candidates are cleared at close";

    std::vector<TBtnEntry> saved;
    bool moveCursor = true;
    LoadBtnList(dir / L"Btn.lst", saved, moveCursor);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0][bfProgram], L"BTNMSGBOX.EXE");
    EXPECT_EQ(saved[0][bfButtonCaption], ok);
    EXPECT_TRUE(saved[0][bfHeight].empty() && saved[0][bfWidth].empty());
    EXPECT_EQ(saved[1][bfHeight], height);
    EXPECT_EQ(saved[1][bfMessage], L"msg{改行}second line");
    EXPECT_FALSE(moveCursor);
    gui::TMemIniFile ini(dir / L"Btn.ini");
    EXPECT_EQ(ini.ReadString(L"HotKey", L"Stop", L""), L"Ctrl+Alt+K");
    EXPECT_TRUE(ini.ReadBool(L"Sound", L"Enabled", false));

    // The new key works again after the close; the old one no more.
    const bool before = TrayForm->PPBtnStop->Checked();
    PressKeys({VK_SHIFT, VK_CONTROL, 'B'});
    EXPECT_EQ(StopChecked(), before);
    PressKeys({VK_CONTROL, VK_MENU, 'K'});
    EXPECT_TRUE(WaitApp([&] { return TrayForm->PPBtnStop->Checked() != before; }, 10000));
}

TEST_F(ButtonWindow, LimitOfOneHundredAndUnsavedEditsDroppedAtClose) {
    std::vector<TBtnEntry> hundred;
    for (int i = 0; i < 100; ++i) hundred.push_back(Entry(std::to_wstring(i)));
    ASSERT_TRUE(SaveBtnList(dir / L"Btn.lst", hundred, true));
    const std::string fileBefore = ReadBytes(dir / L"Btn.lst");
    BtnForm->Proc_LoadList();
    ASSERT_EQ(BtnForm->ListListView->Count(), 100);
    MessageBoxProgram p;
    ASSERT_TRUE(p.box);
    MessageBoxAnswerer answerer;

    Open([&] {
        ASSERT_TRUE(BringToFront(BtnForm->Handle())) << VisibleWindowsInZOrder();
        int row = CandidateRow(p.ButtonText(IDOK));
        ASSERT_GE(row, 0);
        ClickRow(BtnForm->ListAddView, row);
        ClickToolButton(BtnForm->TBAdd);
        EXPECT_TRUE(WaitApp([&] { return answerer.Count() == 1; }, 10000));
        EXPECT_EQ(BtnForm->MListListC, 100) << "nothing registered over the limit";
        EXPECT_EQ(BtnForm->ListListView->Count(), 100);

        // One deleted, then the window closed with Alt+F4 instead of saving.
        ClickRow(BtnForm->ListListView, 0);
        ClickToolButton(BtnForm->TBDel);
        EXPECT_EQ(BtnForm->ListListView->Count(), 99);
        EXPECT_EQ(BtnForm->ListListView->ItemText(0), L"P1.EXE");
        PressKeys({VK_MENU, VK_F4});
        EXPECT_TRUE(WaitApp([] { return BtnForm->ModalResult != gui::mrNone; }, 5000));
    });
    p.process.Terminate();

    const std::vector<std::wstring> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], L"登録できるのは100までです。");
    EXPECT_EQ(ReadBytes(dir / L"Btn.lst"), fileBefore) << "only the save button writes the list";
    EXPECT_EQ(BtnForm->MListListC, 100) << "the list is read again at the close";
    EXPECT_EQ(BtnForm->ListListView->ItemText(0), L"P0.EXE");
}

TEST_F(ButtonWindow, AListThatCannotBeSavedIsReportedAndTheEditsStay) {
    ASSERT_TRUE(SaveBtnList(dir / L"Btn.lst", {Entry(L"0"), Entry(L"1")}, true));
    const std::string fileBefore = ReadBytes(dir / L"Btn.lst");
    BtnForm->Proc_LoadList();
    ASSERT_EQ(BtnForm->ListListView->Count(), 2);
    MessageBoxAnswerer answerer;
    bool stillOpen = false;
    int rowsAfterFailure = -1;
    std::string fileWhileHeld;
    Open([&] {
        ASSERT_TRUE(WaitApp([&] { return ::GetForegroundWindow() == BtnForm->Handle(); }, 10000));
        ClickTab(BtnForm->PageControl, 1);
        ASSERT_TRUE(WaitApp([] { return BtnForm->PageControl->ActivePage() == BtnForm->TabSheetSave; }, 5000));
        ClickRow(BtnForm->ListListView, 0);
        ClickToolButton(BtnForm->TBDel);
        ASSERT_TRUE(WaitApp([] { return BtnForm->ListListView->Count() == 1; }, 5000))
            << BtnForm->ListListView->Count() << " rows, selected " << BtnForm->ListListView->ItemIndex();
        {
            // Another program holds the list open without sharing it.
            gui::FileHandle held(::CreateFileW((dir / L"Btn.lst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
            ClickToolButton(BtnForm->TBCloseSave);
            EXPECT_TRUE(WaitApp([&] { return answerer.Count() == 1; }, 10000));
            WaitApp([] { return false; }, 300);
            stillOpen = BtnForm->Visible() && BtnForm->ModalResult == gui::mrNone;
            rowsAfterFailure = BtnForm->ListListView->Count();
        }
        fileWhileHeld = ReadBytes(dir / L"Btn.lst");
        // Released: the same button saves the edits and closes.
        ClickToolButton(BtnForm->TBCloseSave);
        EXPECT_TRUE(WaitApp([] { return BtnForm->ModalResult != gui::mrNone; }, 5000));
    });
    const std::vector<std::wstring> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], dir / L"Btn.lst" + L"\r\nに保存できません。");
    EXPECT_TRUE(stillOpen) << "the window stays open with the edits";
    EXPECT_EQ(rowsAfterFailure, 1);
    EXPECT_EQ(fileWhileHeld, fileBefore) << "the file keeps its bytes";
    std::vector<TBtnEntry> saved;
    bool moveCursor = false;
    LoadBtnList(dir / L"Btn.lst", saved, moveCursor);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0][bfProgram], L"P1.EXE");
}

// The status bar shows the hint of the control or tool button under the
// mouse; the window closed maximised keeps its normal bounds in "Btn.ini".
TEST_F(ButtonWindow, StatusBarHintsAndPlacementKeptWhileMaximised) {
    Open([&] {
        ASSERT_TRUE(BringToFront(BtnForm->Handle())) << VisibleWindowsInZOrder();
        BtnForm->SetBounds(120, 90, 900, 600);
        auto status = [] { return BtnForm->StatusBar->PanelText(0); };
        RECT r{};
        ASSERT_TRUE(::SendMessageW(BtnForm->ToolBar->Handle(), TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r)));
        POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ClientToScreen(BtnForm->ToolBar->Handle(), &pt);
        MouseAt(pt);
        EXPECT_TRUE(WaitApp([&] { return status() == L"選択されているボタンを追加"; }, 15000));
        RECT e{};
        ::GetWindowRect(BtnForm->EditWav->Handle(), &e);
        MouseAt(POINT{(e.left + e.right) / 2, (e.top + e.bottom) / 2});
        EXPECT_TRUE(WaitApp([&] { return status() == L"wavファイル名"; }, 15000));

        ::ShowWindow(BtnForm->Handle(), SW_MAXIMIZE);
        ASSERT_TRUE(WaitApp([] { return ::IsZoomed(BtnForm->Handle()) != FALSE; }, 10000));
        PressKey(VK_F4, {VK_MENU});
        EXPECT_TRUE(WaitApp([] { return BtnForm->ModalResult != gui::mrNone; }, 5000));
    });
    EXPECT_FALSE(BtnForm->Settings.Normal);
    EXPECT_EQ(BtnForm->Settings.Left, 120);
    EXPECT_EQ(BtnForm->Settings.Top, 90);
    EXPECT_EQ(BtnForm->Settings.Width, 900);
    EXPECT_EQ(BtnForm->Settings.Height, 600);
    gui::TMemIniFile ini(dir / L"Btn.ini");
    EXPECT_FALSE(ini.ReadBool(L"Window", L"Normal", true));
}

}  // namespace
