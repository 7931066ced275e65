// The settings window of TDriveForm: the present drives, what to start for
// the selected one (Explorer on a folder, or a program or file with
// options), and the registrations, each started at once by a double click
// or Enter. Registrations take effect as soon as they are added or deleted;
// "Drive.ini" is written at every close.
#include "app/monitors/Drive.h"

#include "app/ControlFont.h"
#include "app/Globals.h"
#include "gui/ExtCtrls.h"

namespace {

using gui::Bounds;
using gui::TAlign;

}  // namespace

void TDriveForm::CreateControls() {
    auto* top = gui::NewControl<gui::TPanel>(
        this, {.Name = L"PanelTop", .Bounds = Bounds(0, 0, 1184, 236), .Align = TAlign::alTop}, gui::kHolderPanel);

    ListViewDriveView = gui::NewControl<gui::TListView>(
        this, {.Parent = top, .Name = L"ListViewDrive", .Bounds = Bounds(8, 8, 400, 220)},
        {.GridLines = true, .RowSelect = true, .Columns = {{L"ドライブ", 80}, {L"ボリューム名", 180}, {L"種類", 100}}});
    ListViewDriveView->OnSelectItem = [this](gui::TListView*) { ListViewDriveClick(); };

    RadioGroup = gui::NewControl<gui::TRadioGroup>(
        this, {.Parent = top, .Name = L"RadioGroup", .Caption = L"[実行するプログラム(&B)]",
               .Bounds = Bounds(420, 4, 560, 52), .Enabled = false},
        {.Columns = 2});
    RadioGroup->SetItems({L"ドライブ/フォルダを開く", L"プログラムを実行/ファイルを開く"});
    RadioGroup->OnClick = [this](gui::TRadioGroup*) { RadioGroupClick(); };

    EditExe = gui::NewControl<gui::TEdit>(this, {.Parent = top, .Name = L"EditExe", .Bounds = Bounds(420, 66, 560, 26)});
    EditExe->OnChange = [this](gui::TEdit*) { EditExeChange(); };
    BtnRef = gui::NewControl<gui::TButton>(
        this, {.Parent = top, .Name = L"BtnRef", .Caption = L"プログラム/ファイル参照(&D)",
               .Bounds = Bounds(988, 64, 188, 30), .Enabled = false});
    BtnRef->OnClick = [this](gui::TButton*) { BtnRefClick(); };
    EditOpt = gui::NewControl<gui::TEdit>(this, {.Parent = top, .Name = L"EditOpt", .Bounds = Bounds(420, 102, 560, 26)});
    BtnDir = gui::NewControl<gui::TButton>(
        this, {.Parent = top, .Name = L"BtnDir", .Caption = L"フォルダ参照(&I)", .Bounds = Bounds(988, 100, 188, 30),
               .Enabled = false});
    BtnDir->OnClick = [this](gui::TButton*) { BtnDirClick(); };

    CHKConfirm = gui::NewControl<gui::TCheckBox>(
        this, {.Parent = top, .Name = L"CHKConfirm", .Caption = L"起動確認(&F)", .Bounds = Bounds(420, 140, 160, 24)});
    CHKTrayAnimateBox = gui::NewControl<gui::TCheckBox>(
        this, {.Parent = top, .Name = L"CHKTrayAnimate", .Caption = L"タスクトレイアニメーション(&J)",
               .Bounds = Bounds(600, 140, 300, 24)});
    CHKTrayAnimateBox->SetChecked(CHKTrayAnimate);
    CHKTrayAnimateBox->OnClick = [this](gui::TCheckBox* c) { CHKTrayAnimate = c->Checked(); };

    BtnAdd = gui::NewControl<gui::TButton>(
        this, {.Parent = top, .Name = L"BtnAdd", .Caption = L"追加(&E)", .Bounds = Bounds(420, 184, 120, 34),
               .Enabled = false});
    BtnAdd->OnClick = [this](gui::TButton*) { BtnAddClick(); };
    BtnDel = gui::NewControl<gui::TButton>(
        this, {.Parent = top, .Name = L"BtnDel", .Caption = L"削除(&G)", .Bounds = Bounds(548, 184, 120, 34),
               .Enabled = false});
    BtnDel->OnClick = [this](gui::TButton*) { BtnDelClick(); };
    BtnClose = gui::NewControl<gui::TButton>(
        this, {.Parent = top, .Name = L"BtnClose", .Caption = L"閉じる(&X)", .Bounds = Bounds(1056, 184, 120, 34)});
    BtnClose->OnClick = [this](gui::TButton*) { Close(); };

    ListViewExeView = gui::NewControl<gui::TListView>(
        this, {.Name = L"ListViewExe", .Align = TAlign::alClient},
        {.GridLines = true,
         .RowSelect = true,
         .Columns = {{L"ドライブ", 80}, {L"ボリューム名", 160}, {L"プログラム/ファイル", 480}, {L"オプション", 300},
                     {L"起動確認", 80}}});
    ListViewExeView->OnSelectItem = [this](gui::TListView*) { ListViewExeClick(); };
    ListViewExeView->OnItemDblClick = [this](gui::TListView*) { ListViewExeDblClick(); };
    ListViewExeView->OnKeyDown = [this](gui::TControl*, WORD& key, gui::TShiftState) {
        if (key == VK_RETURN) ListViewExeDblClick();
    };

    SetControlsFont(*this, IconTitleFontName(), 10);
}

// --- what the lists show --------------------------------------------------------

void TDriveForm::ShowDrives() {
    if (!ListViewDriveView) return;
    ListViewDriveView->Clear();
    for (const TDriveRow& row : ListViewDrive) {
        const int i = ListViewDriveView->AddItem(row.Root);
        ListViewDriveView->SetSubItem(i, 1, row.Label);
        ListViewDriveView->SetSubItem(i, 2, row.Type);
    }
    ResetSelections();
}

void TDriveForm::ShowRegistrations() {
    if (!ListViewExeView) return;
    ListViewExeView->Clear();
    for (const TDriveEntry& e : ListViewExe) {
        const int i = ListViewExeView->AddItem(e.Drive);
        ListViewExeView->SetSubItem(i, 1, e.Label);
        ListViewExeView->SetSubItem(i, 2, e.Program);
        ListViewExeView->SetSubItem(i, 3, e.Options);
        ListViewExeView->SetSubItem(i, 4, e.Confirm);
    }
}

void TDriveForm::ResetSelections() {
    ListViewDriveView->SetItemIndex(-1);
    ListViewExeView->SetItemIndex(-1);
    RadioGroup->SetItemIndex(-1);
    RadioGroup->SetEnabled(false);
    for (gui::TButton* b : {BtnDir, BtnRef, BtnAdd, BtnDel}) b->SetEnabled(false);
    EditExe->SetText(L"");
    EditOpt->SetText(L"");
    BtnAdd->SetEnabled(false);
}

// --- handlers -------------------------------------------------------------------

void TDriveForm::ListViewDriveClick() {
    const bool selected = ListViewDriveView->ItemIndex() >= 0;
    if (!selected && !RadioGroup->Enabled()) return;
    RadioGroup->SetEnabled(selected);
    if (selected) ListViewExeView->SetItemIndex(-1);
    RadioGroup->SetItemIndex(-1);
    RadioGroupClick();
}

void TDriveForm::RadioGroupClick() {
    const int choice = RadioGroup->ItemIndex();
    const int drive = ListViewDriveView->ItemIndex();
    BtnRef->SetEnabled(choice == 1);
    BtnDir->SetEnabled(choice == 0);
    EditExe->SetText(L"");
    EditOpt->SetText(L"");
    if (choice == 0 && drive >= 0 && drive < static_cast<int>(ListViewDrive.size())) {
        EditExe->SetText(ExplorerPath);
        EditOpt->SetText(ListViewDrive[static_cast<size_t>(drive)].Root);
    }
    BtnAdd->SetEnabled(drive >= 0 && !EditExe->Text().empty());
}

void TDriveForm::EditExeChange() {
    bool optionsEnabled = false;
    BtnAdd->SetEnabled(ProgramEditState(ListViewDriveView->ItemIndex() >= 0, EditExe->Text(), optionsEnabled));
    EditOpt->SetEnabled(optionsEnabled);
}

void TDriveForm::BtnRefClick() {
    std::wstring fileName;
    if (ChooseProgram(fileName)) EditExe->SetText(fileName);
}

void TDriveForm::BtnDirClick() {
    std::wstring folder;
    if (ChooseFolder(EditOpt->Text(), folder)) EditOpt->SetText(folder);
}

void TDriveForm::BtnAddClick() {
    const int drive = ListViewDriveView->ItemIndex();
    if (drive < 0 || drive >= static_cast<int>(ListViewDrive.size())) return;
    AddRegistration(MakeRegistration(drive, EditExe->Text(), EditOpt->Text(), CHKConfirm->Checked()));
    ResetSelections();
}

void TDriveForm::ListViewExeClick() {
    const bool selected = ListViewExeView->ItemIndex() >= 0;
    BtnDel->SetEnabled(selected);
    if (!selected) return;
    BtnAdd->SetEnabled(false);
    ListViewDriveView->SetItemIndex(-1);
    RadioGroup->SetEnabled(false);
}

void TDriveForm::BtnDelClick() {
    const int row = ListViewExeView->ItemIndex();
    if (row < 0) return;
    DeleteRegistration(row);
    ResetSelections();
}

void TDriveForm::ListViewExeDblClick() { StartRegistration(ListViewExeView->ItemIndex()); }
