// The registration window of TBtnForm: the candidates found in other
// programs' dialogs, the registered buttons, the message condition, the
// stop/resume hot key and the press sound. The window edits ListList in
// memory; only the save-and-close button writes "Btn.lst", and every close
// reads it again, so edits that were not saved are dropped.
#include "app/monitors/Btn.h"

#include <commctrl.h>

#include "app/Globals.h"
#include "gui/Dialogs.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/TaskBarList.h"
#include "toolkit/TextHelpers.h"

namespace {

using gui::Bounds;
using gui::TAlign;

const wchar_t kLineBreak[] = L"{改行}";

const wchar_t* const kColumns[] = {L"プログラム",         L"ウィンドウのキャプション", L"ウィンドウのクラス",
                                   L"ウィンドウサイズ(縦)", L"ウィンドウサイズ(横)",     L"ボタンのキャプション",
                                   L"ボタンのクラス",     L"メッセージ"};
const int kColumnWidths[] = {110, 170, 90, 110, 110, 130, 90, 200};

// A read-only report view of buttons with grid lines and whole-row
// selection; `runtime` 1-pixel columns follow the eight visible ones.
gui::TListView* NewButtonList(gui::TComponent* owner, gui::TWinControl* parent, const wchar_t* name,
                              const wchar_t* hint, int runtime) {
    gui::TListViewArgs report{.GridLines = true, .RowSelect = true};
    for (int i = 0; i < 8; ++i) report.Columns.push_back({kColumns[i], kColumnWidths[i]});
    report.Columns.insert(report.Columns.end(), static_cast<size_t>(runtime), {L"", 1});
    auto* view = gui::NewControl<gui::TListView>(
        owner, {.Parent = parent, .Name = name, .Align = TAlign::alClient, .Hint = hint}, report);
    view->ShowHint = true;
    return view;
}

}  // namespace

void TBtnForm::CreateControls() {
    ToolBar = gui::NewControl<gui::TToolBar>(
        this, {.Name = L"ToolBar", .Bounds = Bounds(0, 0, 941, 26), .Align = TAlign::alTop});
    TBGet = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBGet", .Caption = L"すべてのウィンドウを再検索(&E)", .Hint = L"ボタンの再検索",
                        .OnClick = [this](gui::TToolButton*) { TBGetClick(); }});
    TBAct = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBAct", .Caption = L"アクティブなウィンドウを再検索(&W)",
                        .Hint = L"アクティブウィンドウのボタンを検索",
                        .OnClick = [this](gui::TToolButton*) { TBActClick(); }});
    TBAdd = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBAdd", .Caption = L"追加(&A)", .Hint = L"選択されているボタンを追加",
                        .OnClick = [this](gui::TToolButton*) { TBAddClick(); }});
    TBAddNoSize = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBAddNoSize", .Caption = L"追加(ウィンドウサイズを無視)(&O)",
                        .Hint = L"選択されているボタンを追加(ウィンドウサイズを無視)",
                        .OnClick = [this](gui::TToolButton*) { TBAddNoSizeClick(); }});
    TBDel = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBDel", .Caption = L"削除(&D)", .Hint = L"選択されているボタンを削除",
                        .OnClick = [this](gui::TToolButton*) { TBDelClick(); }});
    TBUp = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBUp", .Caption = L"上に移動(&R)", .Hint = L"選択されているボタンを上に移動",
                        .OnClick = [this](gui::TToolButton*) { TBUpClick(); }});
    TBDown = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBDown", .Caption = L"下に移動(&F)", .Hint = L"選択されているボタンを下に移動",
                        .OnClick = [this](gui::TToolButton*) { TBDownClick(); }});
    TBMoveCursor = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBMoveCursor", .Caption = L"ボタンにマウスカーソルを移動",
                        .Hint = L"ボタンにマウスカーソルを移動", .Style = gui::TToolButtonStyle::tbsCheck,
                        .OnClick = [this](gui::TToolButton* b) { Settings.TBMoveCursor = b->Down(); }});
    TBCloseSave = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBCloseSave", .Caption = L"保存して閉じる(&X)", .Hint = L"設定を保存して閉じる",
                        .OnClick = [this](gui::TToolButton*) { TBCloseSaveClick(); }});

    // The status bar shows the hint of the control or tool button under the mouse.
    StatusBar = gui::NewControl<gui::TStatusBar>(
        this, {.Name = L"StatusBar", .Bounds = Bounds(0, 0, 941, 22), .Align = TAlign::alBottom});
    StatusBar->AutoHint = true;

    PanelBottom = gui::NewControl<gui::TPanel>(
        this, {.Name = L"PanelBottom", .Bounds = Bounds(0, 0, 941, 62), .Align = TAlign::alBottom}, gui::kHolderPanel);
    GroupBoxHotKey = gui::NewControl<gui::TGroupBox>(
        this, {.Parent = PanelBottom, .Name = L"GroupBoxHotKey", .Caption = L"停止/再開　ホットキー(&K)",
               .Bounds = Bounds(6, 2, 260, 54)});
    EditHTKStop = gui::NewControl<gui::THotKeyEdit>(
        this, {.Parent = GroupBoxHotKey, .Name = L"EditHTKStop", .Bounds = Bounds(10, 22, 240, 22),
               .Hint = L"自動的に押すボタンの監視を停止/再開のホットキー"});
    EditHTKStop->OnKeyDown = [this](gui::TControl*, WORD& key, gui::TShiftState shift) {
        EditHTKStopKeyDown(key, shift);
    };
    GroupBoxWav = gui::NewControl<gui::TGroupBox>(
        this, {.Parent = PanelBottom, .Name = L"GroupBoxWav", .Bounds = Bounds(272, 2, 600, 54)});
    CHKWav = gui::NewControl<gui::TCheckBox>(
        this, {.Parent = GroupBoxWav, .Name = L"CHKWav", .Caption = L"効果音(&M)", .Bounds = Bounds(10, 24, 96, 20),
               .Hint = L"効果音の有効/無効"});
    CHKWav->OnClick = [this](gui::TCheckBox* c) { Settings.CHKWav = c->Checked(); };
    CHKWavRes = gui::NewControl<gui::TCheckBox>(
        this, {.Parent = GroupBoxWav, .Name = L"CHKWavRes", .Caption = L"内部音声(&R)",
               .Bounds = Bounds(110, 24, 110, 20)});
    CHKWavRes->OnClick = [this](gui::TCheckBox* c) { Settings.CHKWavRes = c->Checked(); };
    EditWav = gui::NewControl<gui::TEdit>(
        this, {.Parent = GroupBoxWav, .Name = L"EditWav", .Bounds = Bounds(226, 22, 270, 22), .Hint = L"wavファイル名"});
    EditWav->OnChange = [this](gui::TEdit* e) { Settings.EditWav = e->Text(); };
    BtnWav = gui::NewControl<gui::TButton>(
        this, {.Parent = GroupBoxWav, .Name = L"BtnWav", .Caption = L"参照(&S)", .Bounds = Bounds(504, 19, 86, 27),
               .Hint = L"wavファイルを参照"});
    BtnWav->OnClick = [this](gui::TButton*) { BtnWavClick(); };

    GroupBoxMessage = gui::NewControl<gui::TGroupBox>(
        this, {.Name = L"GroupBoxMessage", .Bounds = Bounds(0, 0, 941, 78), .Align = TAlign::alTop});
    CHKMessage = gui::NewControl<gui::TCheckBox>(
        this, {.Parent = GroupBoxMessage, .Name = L"CHKMessage", .Caption = L"メッセージを有効(&M)",
               .Bounds = Bounds(10, 22, 160, 20)});
    CHKMessage->OnClick = [this](gui::TCheckBox*) { CHKMessageClick(); };
    EditMessage = gui::NewControl<gui::TMemo>(
        this, {.Parent = GroupBoxMessage, .Name = L"EditMessage", .Bounds = Bounds(176, 14, 750, 58),
               .Style = WS_VSCROLL | WS_HSCROLL},
        {.WordWrap = false});

    PageControl = gui::NewControl<gui::TPageControl>(
        this, {.Name = L"PageControl", .Bounds = Bounds(0, 0, 941, 200), .Align = TAlign::alClient});
    TabSheetAdd = gui::NewControl<gui::TTabSheet>(
        this, {.Parent = PageControl, .Name = L"TabSheetAdd", .Caption = L"[登録できるボタン(&T)]"});
    TabSheetSave = gui::NewControl<gui::TTabSheet>(
        this, {.Parent = PageControl, .Name = L"TabSheetSave", .Caption = L"[登録されているボタン(&B)]"});
    PageControl->OnChange = [this](gui::TTabControl*) {
        if (!FTurningPage) PageControlChange();
    };
    ListAddView = NewButtonList(this, TabSheetAdd, L"ListAdd", L"ダブルクリックで追加", 1);
    ListAddView->OnSelectItem = [this](gui::TListView*) { ListAddClick(); };
    ListAddView->OnItemDblClick = [this](gui::TListView*) {
        if (TBAdd->Enabled()) TBAddClick();
    };
    ListListView = NewButtonList(this, TabSheetSave, L"ListList", L"ダブルクリックで削除", 2);
    ListListView->OnSelectItem = [this](gui::TListView*) { ListListClick(); };
    ListListView->OnItemDblClick = [this](gui::TListView*) {
        if (TBDel->Enabled()) TBDelClick();
    };

    OnResize = [this](gui::TControl*) { FormResize(); };
    FormResize();
}

void TBtnForm::FormResize() {
    if (!EditMessage) return;
    const RECT memo = EditMessage->BoundsRect();
    EditMessage->SetWidth(GroupBoxMessage->Width() - memo.left - 15);
}

LRESULT TBtnForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MOVE) WMMove();
    return TForm::WndProc(msg, wp, lp);
}

void TBtnForm::WMMove() {
    if (!Visible()) return;
    const int monitor = GetWindowMonitorIndex(Handle());
    if (monitor == MMonNo) return;
    // The button follows the window to that monitor's taskbar.
    MMonNo = monitor;
    TaskBarDeleteTab(Handle());
    ::Sleep(100);
    TaskBarAddTab(Handle());
}

void TBtnForm::FormClose(gui::TCloseAction&) {
    ListAdd.clear();
    ShowCandidates();
}

// --- what the controls show ---------------------------------------------------------

void TBtnForm::ShowSettings() {
    if (!EditHTKStop) return;
    EditHTKStop->SetText(Settings.EditHTKStop);
    CHKWav->SetChecked(Settings.CHKWav);
    CHKWavRes->SetChecked(Settings.CHKWavRes);
    const std::wstring wav = Settings.EditWav;
    EditWav->SetText(wav);
    Settings.EditWav = wav;
}

void TBtnForm::ShowList(gui::TListView* view, const std::vector<TBtnEntry>& rows, int columns) {
    if (!view) return;
    view->Clear();
    for (const TBtnEntry& row : rows) {
        const int i = view->AddItem(row[bfProgram]);
        for (int c = 1; c < columns; ++c) view->SetSubItem(i, c, row[static_cast<size_t>(c)]);
    }
}

void TBtnForm::ShowRegistered() { ShowList(ListListView, ListList, kBtnFieldCount); }

void TBtnForm::ShowCandidates() { ShowList(ListAddView, ListAdd, kBtnFieldCount - 1); }

void TBtnForm::SetActivePage(gui::TTabSheet* page) {
    FTurningPage = true;
    PageControl->SetActivePage(page);
    FTurningPage = false;
}

void TBtnForm::ResetCandidateSearch() {
    ListAdd.clear();
    ShowCandidates();
    FActiveOnly = false;
    CHKMessage->SetChecked(false);
    CHKMessage->SetEnabled(false);
    EditMessage->SetText(L"");
    EditMessage->SetEnabled(false);
}

// What showing the window does from the candidates page on, and what turning
// to that page does.
void TBtnForm::ShowCandidatesPage() {
    SetActivePage(TabSheetAdd);
    GroupBoxMessage->Show();
    for (gui::TToolButton* b : {TBAdd, TBAddNoSize, TBDel, TBUp, TBDown}) b->SetEnabled(false);
    ResetCandidateSearch();
    Proc_SearchButtons(false);
    ShowCandidates();
}

// --- handlers ---------------------------------------------------------------------

void TBtnForm::TBGetClick() {
    SetActivePage(TabSheetAdd);
    for (gui::TToolButton* b : {TBAdd, TBAddNoSize, TBDel}) b->SetEnabled(false);
    Proc_SearchButtons(false);
    ShowCandidates();
}

void TBtnForm::TBActClick() {
    SetActivePage(TabSheetAdd);
    for (gui::TToolButton* b : {TBAdd, TBAddNoSize, TBDel}) b->SetEnabled(false);
    Proc_SearchButtons(true);
    ShowCandidates();
}

void TBtnForm::PageControlChange() {
    if (PageControl->ActivePage() == TabSheetSave)
        ListListClick();
    else
        ShowCandidatesPage();
}

void TBtnForm::ListAddClick() {
    const int row = ListAddView->ItemIndex();
    const bool selected = row >= 0 && row < static_cast<int>(ListAdd.size());
    TBAdd->SetEnabled(selected);
    TBAddNoSize->SetEnabled(selected);
    for (gui::TToolButton* b : {TBDel, TBUp, TBDown}) b->SetEnabled(false);
    CHKMessage->SetChecked(false);
    CHKMessage->SetEnabled(false);
    EditMessage->SetText(L"");
    EditMessage->SetEnabled(false);
    if (!selected) return;
    const TBtnEntry& candidate = ListAdd[static_cast<size_t>(row)];
    const bool dialog = candidate[bfClass] == L"#32770";
    CHKMessage->SetEnabled(dialog);
    EditMessage->SetEnabled(dialog);
    EditMessage->SetText(ReplaceAll(candidate[bfMessage], kLineBreak, L"\r\n"));
}

void TBtnForm::ListListClick() {
    const int row = ListListView->ItemIndex();
    const bool selected = row >= 0 && row < MListListC;
    TBUp->SetEnabled(selected && row > 0);
    TBDown->SetEnabled(selected && row < MListListC - 1);
    TBDel->SetEnabled(selected);
    TBAdd->SetEnabled(false);
    TBAddNoSize->SetEnabled(false);
}

void TBtnForm::CHKMessageClick() { EditMessage->SetEnabled(CHKMessage->Checked()); }

void TBtnForm::TBAddClick() { Proc_AddCandidate(true); }

void TBtnForm::TBAddNoSizeClick() { Proc_AddCandidate(false); }

void TBtnForm::Proc_AddCandidate(bool withSize) {
    const int row = ListAddView->ItemIndex();
    GroupBoxMessage->Hide();
    SetActivePage(TabSheetSave);
    if (MListListC >= MMAXBtnData) {
        const std::wstring text = L"登録できるのは" + std::to_wstring(MMAXBtnData) + L"までです。";
        ::MessageBoxW(Handle(), text.c_str(), L"Orvandel - 警告", MB_OK | MB_ICONWARNING);
        return;
    }
    if (row < 0 || row >= static_cast<int>(ListAdd.size())) return;
    TBtnEntry entry = ListAdd[static_cast<size_t>(row)];
    entry[bfMessage] = CHKMessage->Checked() ? ReplaceAll(EditMessage->Text(), L"\r\n", kLineBreak) : L"";
    if (!withSize) {
        entry[bfHeight].clear();
        entry[bfWidth].clear();
    }
    entry[bfPressedIn].clear();
    entry[bfPressed].clear();
    // An equal entry (with the same size, or also without one) gives way to
    // the new one at the end.
    for (size_t i = ListList.size(); i-- > 0;) {
        bool same = true;
        for (int f = 0; f < kBtnStoredFields && same; ++f) same = ListList[i][f] == entry[f];
        if (same) ListList.erase(ListList.begin() + static_cast<std::ptrdiff_t>(i));
    }
    ListList.push_back(entry);
    MListListC = static_cast<int>(ListList.size());
    ShowRegistered();
    ListListClick();
}

void TBtnForm::TBDelClick() {
    const int row = ListListView->ItemIndex();
    if (row < 0 || row >= static_cast<int>(ListList.size())) return;
    ListList.erase(ListList.begin() + row);
    MListListC = static_cast<int>(ListList.size());
    ShowRegistered();
    ListListClick();
}

void TBtnForm::TBUpClick() {
    const int row = ListListView->ItemIndex();
    if (row <= 0 || row >= static_cast<int>(ListList.size())) return;
    std::swap(ListList[static_cast<size_t>(row)], ListList[static_cast<size_t>(row) - 1]);
    ShowRegistered();
    ListListView->SetItemIndex(row - 1);
    ListListClick();
}

void TBtnForm::TBDownClick() {
    const int row = ListListView->ItemIndex();
    if (row < 0 || row + 1 >= static_cast<int>(ListList.size())) return;
    std::swap(ListList[static_cast<size_t>(row)], ListList[static_cast<size_t>(row) + 1]);
    ShowRegistered();
    ListListView->SetItemIndex(row + 1);
    ListListClick();
}

void TBtnForm::TBCloseSaveClick() {
    // A list that could not be written keeps the window open with the
    // edits, so that closing does not read the old list back over them.
    if (!DataFolder.empty() && !Proc_SaveList()) {
        const std::wstring text = BtnListFileName(DataFolder) + L"\r\n" + L"に保存できません。";
        ::MessageBoxW(Handle(), text.c_str(), L"Orvandel - 警告", MB_OK | MB_ICONSTOP);
        return;
    }
    Close();
}

void TBtnForm::BtnWavClick() {
    std::wstring windows;
    GetWindowsDir(windows);
    gui::TOpenDialog dialog(nullptr);
    dialog.InitialDir = windows + L"\\Media";
    dialog.Filter = L"音声ファイル|*.wav";
    dialog.FileName.clear();
    if (!dialog.Execute()) return;
    if (LowerExt(dialog.FileName) == L".wav") EditWav->SetText(dialog.FileName);
}

void TBtnForm::EditHTKStopKeyDown(WORD& key, gui::TShiftState shift) {
    HotKeyEditKeyDown(EditHTKStop->Handle(), key, shift);
    Settings.EditHTKStop = EditHTKStop->Text();
}
